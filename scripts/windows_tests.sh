#!/usr/bin/env bash
# Builds the Windows version into build-win64/ and runs its tests under Wine.
# Called by test.sh inside the X server the tests use (Wine's window tests
# need it, and the Wine prefix's desktop is tied to the display it started on).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
demo_build_windows -DDEMO_BUILD_TESTS=ON
status=0
ctest --test-dir build-win64 --output-on-failure -LE long -j "$(nproc)" || status=$?
demo_wine_stop
exit $status
