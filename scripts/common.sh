# Shared by run.sh and test.sh: installs what is missing and builds.

# Debian packages the build, the tests and the data generator need. clang
# and its runtime libraries build the fuzz targets, whose short runs are part
# of the test suite; ffmpeg encodes the recorder's videos.
DEMO_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libfltk1.3-dev ffmpeg \
libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libpixman-1-dev \
libfreetype-dev fonts-dejavu-core xvfb xauth xdotool clang libclang-rt-14-dev lib3ds-dev"

# The Windows build: the MinGW-w64 cross compiler (posix threads, which
# std::thread needs), GoogleTest's sources, and the 64-bit Wine that runs its
# tests. Installed without recommended packages: those would pull in the
# 32-bit Wine, which needs another architecture and cannot run here.
DEMO_WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine64 googletest"

# demo_install_packages [--no-install-recommends] PACKAGE...
# (without packages: DEMO_PACKAGES)
demo_install_packages() {
    local options=""
    if [ "${1:-}" = "--no-install-recommends" ]; then
        options=$1
        shift
    fi
    local wanted="${*:-$DEMO_PACKAGES}"
    local missing=""
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $options $missing
}

demo_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
    cmake --build build
}

# The Windows build's Wine prefix lives in build-win64/wine-prefix (the same
# place cmake/mingw-x86_64.cmake runs the programs in).
demo_wine_env() {
    export WINEPREFIX="$PWD/build-win64/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Starts the prefix's wineserver for good (-p) and lets wineboot set the
# prefix up, before anything runs in it: otherwise every program waits
# seconds for Wine to start and to end, and a Wine started from inside the
# build can hang it. Windows of the test programs are unmanaged, so that they
# show under Xvfb without a window manager.
demo_wine_start() {
    demo_wine_env
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wineserver -p
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    # Sound through ALSA (the tests point its default device at the null one).
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 || true
}

demo_wine_stop() {
    demo_wine_env
    /usr/lib/wine/wineserver -k 2>/dev/null || true
}

# Cross-compiles the Windows build into build-win64/ (its data files are
# generated there by the Windows generator under Wine).
demo_build_windows() {
    demo_install_packages --no-install-recommends $DEMO_WINDOWS_PACKAGES
    demo_wine_start
    cmake -S . -B build-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake "$@"
    cmake --build build-win64
}

# Compiles and links the 32-bit Windows version into build-win32/: nothing of
# it runs here (32-bit Wine cannot), but it keeps the source building for
# 32-bit x86 with SSE arithmetic.
demo_build_windows32() {
    demo_install_packages --no-install-recommends g++-mingw-w64-i686-posix
    cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DDEMO_BUILD_TESTS=OFF "$@"
    cmake --build build-win32
}

# Packs build-win64/demo-win64.zip: a folder "demo" with demo.exe and the data
# files beside it, ready to unpack and run on Windows.
demo_pack_windows() {
    local stage=build-win64/package
    rm -rf "$stage" build-win64/demo-win64.zip
    mkdir -p "$stage/demo/data"
    cp build-win64/demo.exe "$stage/demo/"
    find build-win64/data -maxdepth 1 -type f ! -name '.*' -exec cp {} "$stage/demo/data/" \;
    (cd "$stage" && cmake -E tar cf ../demo-win64.zip --format=zip demo)
    echo "Packed build-win64/demo-win64.zip"
}

# The browser build's tools: Debian's emscripten and chromium; node and npm
# (for the headless test's puppeteer-core) unless some node is already there.
DEMO_WEB_PACKAGES="emscripten chromium python3"

demo_install_web_packages() {
    local extra=""
    command -v node >/dev/null || extra="$extra nodejs"
    command -v npm >/dev/null || extra="$extra npm"
    demo_install_packages $DEMO_WEB_PACKAGES $extra
}

# Builds the browser version into build-web/ (the data comes from build/data,
# which the native build generates) and installs the headless test's packages.
demo_build_web() {
    # Debian's emscripten runs its JavaScript tools with node, which must find
    # Debian's acorn module.
    export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
    emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEMO_DATA_DIR="$PWD/build/data"
    cmake --build build-web
    if [ ! -d build-web/browser_test/node_modules/puppeteer-core ]; then
        mkdir -p build-web/browser_test
        cp tests/web/package.json build-web/browser_test/
        (cd build-web/browser_test && npm install --no-audit --no-fund --loglevel=error)
    fi
    # The browser scripts beside their node_modules, so that their imports resolve.
    cp tests/web/*.mjs build-web/browser_test/
}
