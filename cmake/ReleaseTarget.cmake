# `cmake --build --preset windows --target release` leaves the setup program
# under its release name in dist/, with its SHA-256 beside it and the
# package-manager manifests for it in dist/winget/ (written by
# scripts/winget-manifests, which also serves a release signed after the build).
set(KORAVALE_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the release target leaves the setup program")
set(KORAVALE_RELEASE_NAME KoraValeSetup-${KORAVALE_PRODUCT_VERSION}.exe)
set(KORAVALE_INSTALLER_URL "${KORAVALE_PRODUCT_URL}download/${KORAVALE_RELEASE_NAME}" CACHE STRING
    "Where package managers download the release program from (the manifests' InstallerUrl)")
set(KORAVALE_RELEASE_ARGUMENTS
  -DSETUP_EXE=$<TARGET_FILE:KoraValeSetup>
  -DRELEASE_NAME=${KORAVALE_RELEASE_NAME}
  -DINSTALLER_URL=${KORAVALE_INSTALLER_URL}
  -DWINGET_MANIFESTS=${PROJECT_SOURCE_DIR}/scripts/winget-manifests)
set(KORAVALE_WRITE_RELEASE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/write-release.cmake)
add_custom_target(release
  COMMAND ${CMAKE_COMMAND} ${KORAVALE_RELEASE_ARGUMENTS} -DDIST_DIR=${KORAVALE_DIST_DIR} -P ${KORAVALE_WRITE_RELEASE_SCRIPT}
  DEPENDS KoraValeSetup
  VERBATIM)
