# Cross build for 32-bit Windows, compiled and linked only: 32-bit Wine
# cannot run on these machines, so nothing built here is run, and the data
# files are not generated (take them from a 64-bit or native build):
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DDEMO_BUILD_TESTS=OFF
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Float arithmetic in SSE registers as on 64-bit: the x87 unit would keep
# intermediate results in 80 bits and give other pixels. Windows calls back
# (window procedure, sound thread) with a stack aligned to 4 bytes only, while
# SSE code assumes 16: realign it on entry to every function that needs it.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
