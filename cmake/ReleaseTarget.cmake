# `cmake --build --preset windows --target release` leaves the setup program
# under its release name in dist/, with its SHA-256 beside it.
set(KORAVALE_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the release target leaves the setup program")
set(KORAVALE_RELEASE_NAME KoraValeSetup-${KORAVALE_PRODUCT_VERSION}.exe)
add_custom_target(release
  COMMAND ${CMAKE_COMMAND} -DSETUP_EXE=$<TARGET_FILE:KoraValeSetup> -DDIST_DIR=${KORAVALE_DIST_DIR}
          -DRELEASE_NAME=${KORAVALE_RELEASE_NAME} -P ${CMAKE_CURRENT_LIST_DIR}/write-release.cmake
  DEPENDS KoraValeSetup
  VERBATIM)
