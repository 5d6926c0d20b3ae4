#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the demo from there.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
demo_install_packages
demo_build -DDEMO_BUILD_TESTS=OFF -DDEMO_BUILD_BENCH=OFF
cd build
exec ./demo
