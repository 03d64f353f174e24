# The version texts live in the C++ constants; the resources take them from there.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/app/product_constants.h constant_lines
     REGEX "(PRODUCT_VERSION|BUILD_CODE) = \"")
foreach(line IN LISTS constant_lines)
  if(line MATCHES "(PRODUCT_VERSION|BUILD_CODE) = \"([^\"]*)\"")
    set(KORAVALE_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()
if(NOT KORAVALE_PRODUCT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$" OR NOT KORAVALE_BUILD_CODE)
  message(FATAL_ERROR "cannot read PRODUCT_VERSION and BUILD_CODE from src/app/product_constants.h")
endif()
set(KORAVALE_VERSION_COMMAS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
set(KORAVALE_VERSION_QUAD "${KORAVALE_PRODUCT_VERSION}.0")
