#!/usr/bin/env bash
# Builds the Windows version into build-win64/ and runs its tests under Wine,
# the whole show included; then compiles the 32-bit version (build-win32/).
# Called by test.sh inside the X server the tests use (Wine's window tests
# need it, and the Wine prefix's desktop is tied to the display it started on).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
demo_build_windows -DDEMO_BUILD_TESTS=ON
status=0
ctest --test-dir build-win64 --output-on-failure -LE long -j "$(nproc)" || status=$?
# The whole show, from the set-up window to the end, under Wine.
ctest --test-dir build-win64 --output-on-failure -L long || status=$?
demo_wine_stop
demo_build_windows32 || status=$?
exit $status
