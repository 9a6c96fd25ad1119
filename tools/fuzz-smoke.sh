#!/usr/bin/env bash
# A short run of every fuzz target over its seed corpus, so that a reader that starts to crash or
# to lose bytes fails the test command. Builds the fuzz configuration (clang, libFuzzer, ASan,
# UBSan; only the libraries that read files) in build/fuzz; a finding is left there as crash-*.
# Longer runs: tests/fuzz/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/fuzz
cmake -S . -B "$dir" -G Ninja -DQJS_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build "$dir" -j "${JOBS:-2}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  # New inputs go to the scratch folder; the corpus in the repository stays as it is.
  mkdir "$scratch/$target"
  "$dir/tests/fuzz/$target" -max_total_time=5 -max_len=4096 -artifact_prefix="$dir/" \
    "$scratch/$target" "$seeds" 2>"$scratch/$target.log" ||
    { tail -n 40 "$scratch/$target.log" >&2; echo "fuzz-smoke: $target found a fault" >&2; exit 1; }
  grep -h '^Done' "$scratch/$target.log" | sed "s/^/$target: /"
done
