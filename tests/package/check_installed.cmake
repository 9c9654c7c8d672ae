# Runs as: cmake -DBUILD_DIR=... -DSCRATCH=... -DCONSUMER=... -DGENERATOR=... -DPKG_CONFIG=...
#          -DCC=... -P check_installed.cmake
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "failed (${code}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
set(prefix ${SCRATCH}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Only the public headers are installed, and the libraries speak no command line: no option
# spelling in their headers or their binaries (the tool words their answers itself).
file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/*)
list(SORT headers)
set(public norvathel/additive_random.h norvathel/name_composer.h norvathel/name_stream.h
           norvathel/norvathel_c.h norvathel/style.h norvathel/style_learning.h)
if(NOT headers STREQUAL public)
  message(FATAL_ERROR "installed headers: ${headers}")
endif()
file(GLOB_RECURSE libraries ${prefix}/lib*/*norvathel*.a ${prefix}/lib*/*norvathel*.so*)
list(TRANSFORM headers PREPEND ${prefix}/include/)
set(option_spelling "--(seed|clock|show-seed|male|female|prefix|count|boards|keys|unique|min-length|max-length|ends-with|exclude|exclude-file|exclude-names|format)")
foreach(file IN LISTS headers libraries)
  file(STRINGS ${file} spoken REGEX "${option_spelling}")
  if(spoken)
    message(FATAL_ERROR "${file} names an option: ${spoken}")
  endif()
endforeach()

# CMake: find_package(Norvathel CONFIG REQUIRED), Norvathel::names and Norvathel::c.
run(${CMAKE_COMMAND} -S ${CONSUMER} -B ${SCRATCH}/consumer -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${SCRATCH}/consumer)
run(${SCRATCH}/consumer/game)
if(NOT output STREQUAL "Glicia Sojazheta Sheowandra\n")
  message(FATAL_ERROR "game printed '${output}'")
endif()
run(${SCRATCH}/consumer/ctool)
if(NOT output MATCHES "^El[a-z]*ia\n$")
  message(FATAL_ERROR "ctool printed '${output}'")
endif()

# pkg-config: the C interface with only the compiler and the .pc file.
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} "")
  file(GLOB pc_dirs ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
  list(JOIN pc_dirs ":" pc_path)
  set(ENV{PKG_CONFIG_PATH} "${pc_path}")
  # Plain paths: the prefix installed to, not one worked out from the .pc file's folder.
  run(${PKG_CONFIG} --cflags norvathel)
  string(STRIP "${output}" cflags)
  if(NOT cflags STREQUAL "-I${prefix}/include")
    message(FATAL_ERROR "pkg-config --cflags gave '${cflags}', not -I${prefix}/include")
  endif()
  # As README.md says for a tree under a prefix: linked with an rpath to pkg-config's libdir,
  # the program runs without LD_LIBRARY_PATH.
  run(${PKG_CONFIG} --cflags --libs norvathel)
  string(STRIP "${output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(${PKG_CONFIG} --variable=libdir norvathel)
  string(STRIP "${output}" libdir)
  unset(ENV{LD_LIBRARY_PATH})
  run(${CC} -std=c99 ${CONSUMER}/ctool.c ${flags} -Wl,-rpath,${libdir} -o ${SCRATCH}/ctool-pc)
  run(${SCRATCH}/ctool-pc)
  if(NOT output MATCHES "^El[a-z]*ia\n$")
    message(FATAL_ERROR "ctool through pkg-config printed '${output}'")
  endif()
endif()
message(STATUS "installed package: CMake and pkg-config consumers built and ran")
