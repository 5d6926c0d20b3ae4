#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the tests through CTest;
# then cross-builds the Windows version into build-win64/ and runs its tests
# under Wine, the whole show included, and compiles the 32-bit Windows version
# into build-win32/ (DEMO_SKIP_WINDOWS=1 leaves the Windows part out). The browser version is
# built too (build-web/) and tested in headless chromium (label "web").
# The run of the whole show (label "long") is left to: ctest --test-dir build -L long
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
demo_install_packages
demo_install_web_packages
demo_build -DDEMO_BUILD_TESTS=ON -DDEMO_BUILD_BENCH=ON
demo_build_web
export DEMO_WEB_REQUIRED=1
# The window tests need an X display; without one, tests run under Xvfb.
in_x() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
    fi
}
in_x ctest --test-dir build --output-on-failure -LE long -j "$(nproc)"
if [ "${DEMO_SKIP_WINDOWS:-0}" != 1 ]; then
    in_x bash scripts/windows_tests.sh
fi
