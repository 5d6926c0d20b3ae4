#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]: builds the fuzz targets with clang into build/fuzz
# and runs each in turn for SECONDS (default 60), one process at a time. The
# corpus each run grows is kept in build/fuzz-corpus/<target> and used again
# by the next run; findings and libFuzzer's output go to
# build/fuzz-findings/<target>. Prints per target the executions, the
# coverage and the findings; the exit status is 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DDEMO_BUILD_TESTS=OFF -DDEMO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/fuzz --target fuzz_all
targets=$(sed -n 's/^set(DEMO_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/targets.cmake)
status=0
for name in $targets; do
    cmake -DNAME="$name" -DBUILD="$PWD/build/fuzz" -DSECONDS="$seconds" -DCORPUS="$PWD/build/fuzz-corpus/$name" \
        -DFINDINGS="$PWD/build/fuzz-findings/$name" -P fuzz/run_target.cmake || status=1
done
exit $status
