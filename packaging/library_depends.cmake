# CPACK_PROJECT_CONFIG_FILE: run by cpack before it packs. The run-time library's Depends, from
# dpkg-shlibdeps as for the other packages, but worked out here: CPack's own dependency scan
# would also add ldconfig calls to the library's maintainer scripts, which the ldconfig
# trigger makes redundant (and lintian reports).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
include(${CPACK_NORVATHEL_LIBRARY_FILE_LIST})   # sets norvathel_library_file
set(work ${CPACK_NORVATHEL_BINARY_DIR}/shlibdeps)
file(MAKE_DIRECTORY ${work}/debian)
file(WRITE ${work}/debian/control "")   # dpkg-shlibdeps wants one to exist
execute_process(COMMAND dpkg-shlibdeps -O ${norvathel_library_file}
                WORKING_DIRECTORY ${work} RESULT_VARIABLE code OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT out MATCHES "^shlibs:Depends=([^\n]*)")
  message(FATAL_ERROR "dpkg-shlibdeps on ${norvathel_library_file} failed:\n${out}${err}")
endif()
set(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
