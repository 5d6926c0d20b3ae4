# The browser build: the libraries with the SSE2 code on the compiler's
# emulation (over WebAssembly SIMD), exceptions that work (without
# -fexceptions a throw aborts), no tests or benchmarks, and web/ in place of
# the native programs and the data generator.
add_compile_options(-msimd128 -msse2 -fexceptions)
add_link_options(-fexceptions)
set(DEMO_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(DEMO_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(DEMO_SUBSYSTEMS platform console imageops engine3d effects music driver web)
set(DEMO_DATA_DIR "${CMAKE_SOURCE_DIR}/build/data" CACHE PATH "The generated data folder (a native build's data/)")
