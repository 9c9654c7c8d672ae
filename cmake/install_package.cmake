# Installed, the composer is found like any library:
#   find_package(Norvathel CONFIG REQUIRED)
#   target_link_libraries(game PRIVATE Norvathel::names)   # C++, static
#   target_link_libraries(tool PRIVATE Norvathel::c)       # C, shared
# or through pkg-config (norvathel.pc: the C interface). On Linux, `cpack -G DEB` in a build
# configured with CMAKE_INSTALL_PREFIX=/usr makes the Debian package (scripts/package.sh).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(NORVATHEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Norvathel)
install(EXPORT NorvathelTargets NAMESPACE Norvathel:: DESTINATION ${NORVATHEL_CMAKE_DIR})
configure_package_config_file(packaging/NorvathelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/NorvathelConfig.cmake INSTALL_DESTINATION ${NORVATHEL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/NorvathelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/NorvathelConfig.cmake
              ${PROJECT_BINARY_DIR}/NorvathelConfigVersion.cmake
        DESTINATION ${NORVATHEL_CMAKE_DIR})

# The prefix is found from where the .pc file lies, so the files work wherever they are
# installed (--prefix at install time, a package, a copied tree).
file(RELATIVE_PATH NORVATHEL_PC_UP /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
set(NORVATHEL_PC_PREFIX "\${pcfiledir}/${NORVATHEL_PC_UP}")
set(NORVATHEL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
set(NORVATHEL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(packaging/norvathel.pc.in ${PROJECT_BINARY_DIR}/norvathel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/norvathel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(NOT UNIX)
  return()
endif()
# The Debian package: the tool, its manual and completion, both libraries and their headers,
# the CMake and pkg-config files, and the copyright file.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
find_program(NORVATHEL_GZIP gzip)
if(NORVATHEL_GZIP)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
    COMMAND ${NORVATHEL_GZIP} -9nc changelog > changelog.gz
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR} DEPENDS ${PROJECT_BINARY_DIR}/changelog VERBATIM)
  add_custom_target(norvathel-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvathel)
set(CPACK_PACKAGE_VENDOR "The Norvathel authors")
set(CPACK_PACKAGE_CONTACT "The Norvathel authors <names@norvathel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "invents personal names")
set(CPACK_PACKAGE_DESCRIPTION "Norvathel composes personal names from weighted fragment tables
with a seeded generator. This package holds the norvathel-names tool
(unique names, lengths, endings, excluded pieces; text, JSON or CSV) and
the composer as a C++ library and a C library.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared library's shlibs entry and an ldconfig trigger, written out rather than generated:
# CPack's own would call ldconfig from maintainer scripts, which Debian no longer wants.
file(WRITE ${PROJECT_BINARY_DIR}/shlibs
     "libnorvathel ${PROJECT_VERSION_MAJOR} norvathel (>= ${PROJECT_VERSION})\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/shlibs
                                       ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY norvathel)
include(CPack)
