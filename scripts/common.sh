# Shared by run.sh and test.sh: installs what is missing and builds.

# Debian packages the build, the tests and the data generator need. clang
# and its runtime libraries build the fuzz targets, whose short runs are part
# of the test suite; ffmpeg encodes the recorder's videos.
DEMO_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libfltk1.3-dev ffmpeg \
libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libpixman-1-dev \
libfreetype-dev fonts-dejavu-core xvfb xauth xdotool clang libclang-rt-14-dev lib3ds-dev"

demo_install_packages() {
    local missing=""
    for p in $DEMO_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

demo_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
    cmake --build build
}

# The browser build's tools: Debian's emscripten and chromium; node and npm
# (for the headless test's puppeteer-core) unless some node is already there.
DEMO_WEB_PACKAGES="emscripten chromium python3"

demo_install_web_packages() {
    local missing=""
    for p in $DEMO_WEB_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    command -v node >/dev/null || missing="$missing nodejs"
    command -v npm >/dev/null || missing="$missing npm"
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:$missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
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
