#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the tests through CTest;
# the run of the whole show (label "long") is left to: ctest --test-dir build -L long.
# The browser version is built too (build-web/) and tested in headless
# chromium (label "web").
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
demo_install_packages
demo_install_web_packages
demo_build -DDEMO_BUILD_TESTS=ON -DDEMO_BUILD_BENCH=ON
demo_build_web
export DEMO_WEB_REQUIRED=1
# The window tests need an X display; without one, tests run under Xvfb.
if [ -n "${DISPLAY:-}" ]; then
    ctest --test-dir build --output-on-failure -LE long -j "$(nproc)"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -LE long -j "$(nproc)"
fi
