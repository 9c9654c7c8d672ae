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
# Link-time optimisation lets the batch loop of web/wasm inline the stream's Next; SIMD and
# bulk memory (in every engine since 2021: Node 16.4, Chrome 91, Firefox 89, Safari 16.4) make
# the composer's fixed-size fragment and slot copies a few wide moves. Together they give about
# a seventh more names a second in Node (web/bench).
set(wasm_features "-flto -msimd128 -mbulk-memory")
set(CMAKE_C_FLAGS_INIT "-fvisibility=hidden ${wasm_features}")
set(CMAKE_CXX_FLAGS_INIT "-fvisibility=hidden -fno-exceptions -fno-rtti ${wasm_features}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${wasm_features}")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(NORVATHEL_WASM ON CACHE BOOL "Build the composer and the C interface for WebAssembly only")
set(NORVATHEL_STATIC_ONLY ON CACHE BOOL "No shared libraries in WebAssembly")
set(NORVATHEL_TESTS OFF CACHE BOOL "The WebAssembly module is tested from Node (web/test)")
