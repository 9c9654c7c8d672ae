# toml++ (header-only) for the style-file reader, as the target norvathel_toml.
#
# Visual Studio builds find it through vcpkg (vcpkg.json names it). Everywhere else the
# headers come from the build machine (Debian's libtomlplusplus-dev): they are copied into a
# private folder of the build tree, so that a cross build (MinGW) never puts the host's
# /usr/include on its include path. Built header-only and without exceptions, so that the same
# reader serves the Windows and web builds.
add_library(norvathel_toml INTERFACE)
target_compile_definitions(norvathel_toml INTERFACE TOML_HEADER_ONLY=1 TOML_EXCEPTIONS=0
                           TOML_ENABLE_FORMATTERS=0)

find_package(tomlplusplus CONFIG QUIET)
if(tomlplusplus_FOUND AND MSVC)
  target_link_libraries(norvathel_toml INTERFACE tomlplusplus::tomlplusplus)
  return()
endif()

find_path(NORVATHEL_TOML_HEADERS toml++/toml.h
          PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT NORVATHEL_TOML_HEADERS)
  message(FATAL_ERROR "toml++ headers not found: run scripts/install-deps.sh "
                      "(Debian: libtomlplusplus-dev), or set NORVATHEL_TOML_HEADERS to the folder "
                      "that holds toml++/toml.h")
endif()
set(private_include ${PROJECT_BINARY_DIR}/private-include)
set(TOML_SOURCE ${NORVATHEL_TOML_HEADERS})
set(TOML_DESTINATION ${private_include})
include(${CMAKE_CURRENT_LIST_DIR}/tomlplusplus_patch.cmake)
# SYSTEM: the parser's own warnings are not ours to fix.
target_include_directories(norvathel_toml SYSTEM INTERFACE $<BUILD_INTERFACE:${private_include}>)
