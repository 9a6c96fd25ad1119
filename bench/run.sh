#!/usr/bin/env bash
# Runs every benchmark built in a build folder: bash bench/run.sh build/release [ARGS...]
# The benchmarks want a Release build; their figures go by hand into bench/RESULTS.md.
set -euo pipefail

build=${1:-build/release}
shift || true
if [[ ! -d "$build/bench" ]]; then
    echo "run.sh: no bench folder in $build (build it first)" >&2
    exit 1
fi
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
if [[ "$type" != "Release" ]]; then
    echo "run.sh: warning: $build is a '${type:-unknown}' build; figures are meant for Release" >&2
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

found=0
for bench in "$build"/bench/bench_*; do
    [[ -f "$bench" && -x "$bench" ]] || continue
    found=1
    echo "== $(basename "$bench")"
    "$bench" "$@"
done
if [[ $found == 0 ]]; then
    echo "run.sh: no benchmark binaries in $build/bench" >&2
    exit 1
fi
