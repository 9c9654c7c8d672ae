# The portable parts (composer, image file reader, tool) for 32-bit x86 Linux: size_t is 32 bits,
# as in the release program, so size arithmetic that only overflows there is tested. Linked
# statically and run under qemu-i386-static called directly (no binfmt registration), which
# works even where the kernel cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER   i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: qemu-user then needs no i386 dynamic loader or libraries on the host.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
set(NORVATHEL_STATIC_ONLY ON CACHE BOOL "Build no shared libraries: executables are linked fully static")
