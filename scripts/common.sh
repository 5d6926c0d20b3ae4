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
