# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the posix
# thread flavour, which std::thread needs). Programs are linked statically, so
# they import only Windows system DLLs, and run here under wine64:
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Libraries and headers come from the MinGW tree only, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} /usr/lib/gcc/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The host's pkg-config would describe Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${mingw_triple}/lib/pkgconfig)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

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
