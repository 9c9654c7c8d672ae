# The composer for WebAssembly: Debian's clang with lld, wasi-libc and libc++ for wasm32-wasi,
# all prebuilt packages (nothing is compiled into a cache on first use). The C++ runtime has no
# exceptions; web/wasm/ turns running out of memory into a result the JavaScript side throws.
# Only names/, capi/ and web/ are built (NORVATHEL_WASM).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
# Only the C interface is visible, so only it is exported and everything else can be dropped.
set(CMAKE_C_FLAGS_INIT "-fvisibility=hidden")
set(CMAKE_CXX_FLAGS_INIT "-fvisibility=hidden -fno-exceptions -fno-rtti")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(NORVATHEL_WASM ON CACHE BOOL "Build the composer and the C interface for WebAssembly only")
set(NORVATHEL_STATIC_ONLY ON CACHE BOOL "No shared libraries in WebAssembly")
set(NORVATHEL_TESTS OFF CACHE BOOL "The WebAssembly module is tested from Node (web/test)")
