#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the demo from there.
# With --web: builds the browser version into build-web/ and serves it on
# this machine at the address it prints (port 8000, or PORT).
# With --windows: cross-builds the Windows version into build-win64/ instead
# and packs build-win64/demo-win64.zip (demo.exe and its data/).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
demo_install_packages
if [ "${1:-}" = "--windows" ]; then
    demo_build_windows -DDEMO_BUILD_TESTS=OFF
    demo_wine_stop
    demo_pack_windows
    exit 0
elif [ "${1:-}" = "--web" ]; then
    demo_install_web_packages
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEMO_BUILD_TESTS=OFF -DDEMO_BUILD_BENCH=OFF
    cmake --build build --target data
    demo_build_web
    exec python3 web/serve.py build-web --port "${PORT:-8000}"
fi
demo_build -DDEMO_BUILD_TESTS=OFF -DDEMO_BUILD_BENCH=OFF
cd build
exec ./demo
