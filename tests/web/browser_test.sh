#!/usr/bin/env bash
# browser_test.sh RECORD BUILD_WEB SERVE_PY RUN_MJS OUTPUT_DIR
# The native recorder's checksums at three demo times (one early in the
# first scene, one in the middle, one near the end) and its scene starts,
# then the page driven in headless chromium. Run from build/, where data/ is. The screenshots stay in
# OUTPUT_DIR.
set -euo pipefail
record=$1 web=$2 serve=$3 runner=$4 out=$5
if [ ! -f "$web/demo.js" ] || [ ! -d "$web/browser_test/node_modules/puppeteer-core" ]; then
    echo "$web is not built (./run.sh --web or ./test.sh builds it)"
    [ -n "${DEMO_WEB_REQUIRED:-}" ] && exit 1
    exit 77
fi
mkdir -p "$out"
"$record" --checksums 5000,50000,170000 2>/dev/null | grep -E '^[0-9.]+ [0-9a-f]{8} frame' > "$out/native_checksums.txt"
cat "$out/native_checksums.txt"
"$record" --bench --from 8 --seconds 10 2>/dev/null | grep -E '^scene [0-9]+ from frame' > "$out/native_scenes.txt"
# The runner is copied beside its node_modules so that its import resolves.
cp "$runner" "$web/browser_test/run.mjs"
node "$web/browser_test/run.mjs" "$serve" "$web" "$out/native_checksums.txt" "$out/native_scenes.txt" "$out"
