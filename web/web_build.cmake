# The browser build: the libraries with the SSE2 code on the compiler's
# emulation (over WebAssembly SIMD), exceptions that work (without
# -fexceptions a throw aborts), no tests or benchmarks, and web/ in place of
# the native programs and the data generator. DEMO_WEB_SSE2=OFF builds the
# code's SSE2-free forms instead (the plain family).
option(DEMO_WEB_SSE2 "Use the SSE2 code through Emscripten's emulation" ON)
add_compile_options(-msimd128 -fexceptions)
if(DEMO_WEB_SSE2)
  add_compile_options(-msse2)
endif()
add_link_options(-fexceptions)
set(DEMO_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(DEMO_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(DEMO_SUBSYSTEMS platform console imageops engine3d effects music driver web)
set(DEMO_DATA_DIR "${CMAKE_SOURCE_DIR}/build/data" CACHE PATH "The generated data folder (a native build's data/)")
