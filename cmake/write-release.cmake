# Script mode: copies SETUP_EXE to DIST_DIR/RELEASE_NAME, writes
# RELEASE_NAME.sha256 in the form `sha256sum -c` reads, and the
# package-manager manifests for that file into DIST_DIR/winget/ (the
# multi-file form: version, default locale, installer), filled from the
# templates in WINGET_TEMPLATE_DIR with the -D values the release target
# passes: PRODUCT_NAME, PRODUCT_VERSION, PUBLISHER, DISPLAY_NAME,
# PRODUCT_URL, UNINSTALL_KEY_NAME, DEFAULT_INSTALL_LOCATION, INSTALLER_URL.
file(MAKE_DIRECTORY ${DIST_DIR})
file(COPY_FILE ${SETUP_EXE} ${DIST_DIR}/${RELEASE_NAME})
file(SHA256 ${DIST_DIR}/${RELEASE_NAME} digest)
file(WRITE ${DIST_DIR}/${RELEASE_NAME}.sha256 "${digest}  ${RELEASE_NAME}\n")
message(STATUS "${DIST_DIR}/${RELEASE_NAME}: SHA-256 ${digest}")

if(NOT INSTALLER_URL MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://.+$")
  message(FATAL_ERROR "KORAVALE_INSTALLER_URL must be an http or https address: ${INSTALLER_URL}")
endif()
string(TOUPPER ${digest} INSTALLER_SHA256)
set(PACKAGE_IDENTIFIER ${PUBLISHER}.${PRODUCT_NAME})
set(winget_dir ${DIST_DIR}/winget)
file(REMOVE_RECURSE ${winget_dir})
foreach(kind version installer locale.zh-CN)
  if(kind STREQUAL "version")
    set(manifest ${PACKAGE_IDENTIFIER}.yaml)
  else()
    set(manifest ${PACKAGE_IDENTIFIER}.${kind}.yaml)
  endif()
  configure_file(${WINGET_TEMPLATE_DIR}/${kind}.yaml.in ${winget_dir}/${manifest} @ONLY NEWLINE_STYLE UNIX)
endforeach()
message(STATUS "${winget_dir}: manifests of ${PACKAGE_IDENTIFIER} ${PRODUCT_VERSION}")
