#!/usr/bin/env bash
# Counts the instructions ruv executes per byte of input (valgrind's callgrind,
# one thread) for every pair of codes, over the first 3 MB of each edict
# corpus: a figure that, unlike time, does not move with the machine's load.
# RUV_BEFORE=path/to/an/older/ruv_convert_file adds that build's count beside.
#
# usage: bench/instructions.sh [PAIRS...]        e.g. bench/instructions.sh sjis:utf8
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/common.sh
bench_install valgrind:valgrind
bench_build ruv_convert_file
before=${RUV_BEFORE:-}
codes=(jis sjis euc unicode utf8 utf7)

# The corpus's first 3 MB (6 MB of UTF-16), cut after its last whole line.
for code in "${codes[@]}"; do
  python3 - "$corpus/edict.$code" "$work/in.$code" "$code" <<'PY'
import sys
source, target, code = sys.argv[1:]
data = open(source, "rb").read(6_000_000 if code == "unicode" else 3_000_000)
end = data.rfind(b"\n\x00" if code == "unicode" else b"\n")
while code == "unicode" and end % 2:
    end = data.rfind(b"\n\x00", 0, end)
open(target, "wb").write(data[: end + (2 if code == "unicode" else 1)])
PY
done

# per_byte PROGRAM FROM TO: instructions per input byte.
per_byte() {
  local ir
  ir=$(RUV_THREADS=1 valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$1" "$2" "$3" "$work/in.$2" "$work/out" 2>&1 | awk '/Collected/ { print $NF }')
  awk -v i="$ir" -v s="$(stat -c %s "$work/in.$2")" 'BEGIN { printf "%.1f", i / s }'
}

pairs=("$@")
if [ ${#pairs[@]} -eq 0 ]; then
  for s in "${codes[@]}"; do for t in "${codes[@]}"; do pairs+=("$s:$t"); done; done
fi
if [ -n "$before" ]; then
  printf '| %-16s | %8s | %8s |\n|------------------|----------|----------|\n' pair before ruv
else
  printf '| %-16s | %8s |\n|------------------|----------|\n' pair ruv
fi
for pair in "${pairs[@]}"; do
  s=${pair%:*}; t=${pair#*:}
  now=$(per_byte "$build/bench/ruv_convert_file" "$s" "$t")
  if [ -n "$before" ]; then
    printf '| %-16s | %8s | %8s |\n' "$s->$t" "$(per_byte "$before" "$s" "$t")" "$now"
  else
    printf '| %-16s | %8s |\n' "$s->$t" "$now"
  fi
done
