# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers; the
# programs run here under wine64:
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Built programs (tests, the data generator) run under Wine, in a Wine prefix
# of the build folder's own, without Wine's debug channels, and with ALSA's
# null device as the default sound device (no sound card needed). Debian keeps
# wine64 outside the PATH; the wrapper `wine` would pick a 32-bit loader when
# one is installed. scripts/common.sh starts the prefix's wineserver before
# the build (demo_wine_start), so that no test waits for Wine to start or end.
find_program(WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:${CMAKE_CURRENT_LIST_DIR}/alsa-null.conf
      ${WINE64})
endif()
