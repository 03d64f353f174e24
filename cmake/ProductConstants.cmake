# The product's texts live in the C++ constants; the resources and the
# release take them from there (scripts/winget-manifests reads them itself).
file(READ ${PROJECT_SOURCE_DIR}/src/product/identity/product_constants.h product_constants_text)
foreach(name PRODUCT_NAME PRODUCT_VERSION BUILD_CODE PRODUCT_URL)
  if(NOT product_constants_text MATCHES "[ \t]${name} =[ \t\r\n]*\"([^\"]*)\"")
    message(FATAL_ERROR "cannot read ${name} from src/product/identity/product_constants.h")
  endif()
  # C++ escapes a backslash by doubling it.
  string(REPLACE "\\\\" "\\" KORAVALE_${name} "${CMAKE_MATCH_1}")
endforeach()
if(NOT KORAVALE_PRODUCT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "PRODUCT_VERSION in src/product/identity/product_constants.h is not three numbers")
endif()
set(KORAVALE_VERSION_COMMAS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
set(KORAVALE_VERSION_QUAD "${KORAVALE_PRODUCT_VERSION}.0")
