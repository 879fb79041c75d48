#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
# Usage: scripts/fuzz.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${1:-build-fuzz}
seconds=${2:-60}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRUV_BUILD_FUZZ=ON -DRUV_BUILD_TESTS=OFF -DRUV_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "-- $name"
  if ! "$target" "$corpus" fuzz/seeds -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 \
      >"$build/$name.log" 2>&1; then
    tail -n 40 "$build/$name.log"
    status=1
  fi
done
exit $status
