# Script mode: copies SETUP_EXE to DIST_DIR/RELEASE_NAME and writes
# RELEASE_NAME.sha256 in the form `sha256sum -c` reads.
file(MAKE_DIRECTORY ${DIST_DIR})
file(COPY_FILE ${SETUP_EXE} ${DIST_DIR}/${RELEASE_NAME})
file(SHA256 ${DIST_DIR}/${RELEASE_NAME} digest)
file(WRITE ${DIST_DIR}/${RELEASE_NAME}.sha256 "${digest}  ${RELEASE_NAME}\n")
message(STATUS "${DIST_DIR}/${RELEASE_NAME}: SHA-256 ${digest}")
