# Script mode: copies SETUP_EXE to DIST_DIR/RELEASE_NAME, writes
# RELEASE_NAME.sha256 in the form `sha256sum -c` reads, and has
# WINGET_MANIFESTS (scripts/winget-manifests) write the package-manager
# manifests for that file, downloaded from INSTALLER_URL, into
# DIST_DIR/winget/.
file(MAKE_DIRECTORY ${DIST_DIR})
file(COPY_FILE ${SETUP_EXE} ${DIST_DIR}/${RELEASE_NAME})
file(SHA256 ${DIST_DIR}/${RELEASE_NAME} digest)
file(WRITE ${DIST_DIR}/${RELEASE_NAME}.sha256 "${digest}  ${RELEASE_NAME}\n")
message(STATUS "${DIST_DIR}/${RELEASE_NAME}: SHA-256 ${digest}")

file(REMOVE_RECURSE ${DIST_DIR}/winget)
execute_process(
  COMMAND python3 ${WINGET_MANIFESTS} ${DIST_DIR}/${RELEASE_NAME} ${INSTALLER_URL} ${DIST_DIR}/winget
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the package-manager manifests were not written")
endif()
