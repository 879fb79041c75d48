#!/usr/bin/env bash
# Converts a batch of 2,000 small files (1-20 KB, about 21 MB, cut from the
# edict corpora in the five codes that nkf reads too, in turn) in place to
# UTF-8 with ruv-cli (all cores, and -j 1), with ruv-cli under a shim that turns fsync and fdatasync
# into no-ops (what the fsyncs cost), and with nkf --overwrite -w (which does
# not fsync). Every run starts from a fresh copy of the files, flushed to disk
# beforehand; the tools take turns; prints the median wall time of RUNS runs.
#
# usage: bench/batch_speed.sh [RUNS] [FILES]      e.g. bench/batch_speed.sh 5 2000
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
count=${2:-2000}

source bench/common.sh
bench_install nkf:nkf
bench_build ruv-cli
cli=$PWD/$build/cli/ruv-cli

nosync=$(bench_nosync)

python3 bench/make_small_files.py "$corpus/edict.utf8" "$work/src" "$count" 5 jis sjis euc unicode utf8
cd "$work"
bytes=$(cat src/* | wc -c)

# Line ends stay LF, as nkf leaves them, so that both write the same bytes.
declare -A command=(
  [ruv]="$cli --to utf8 --newline lf run"
  [ruv1]="$cli -j 1 --to utf8 --newline lf run"
  [nosync]="LD_PRELOAD=$nosync $cli --to utf8 --newline lf run"
  [nkf]="nkf --overwrite -w run/*"
)
tools=(ruv ruv1 nosync nkf)
declare -A times
for _ in $(seq "$runs"); do
  for tool in "${tools[@]}"; do
    rm -rf run && cp -a src run && sync
    start=$(date +%s%N)
    eval "${command[$tool]}" >/dev/null 2>&1 || { echo "$tool failed" >&2; exit 1; }
    times[$tool]+="$(( ($(date +%s%N) - start) / 1000 )) "
    rm -rf "out.$tool" && mv run "out.$tool"
  done
done
median() { printf '%s\n' $1 | sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }
same=0
for f in src/*; do cmp -s "out.ruv/${f#src/}" "out.nkf/${f#src/}" && same=$((same + 1)); done

echo
echo "$count files, $(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }') MB in, median of $runs runs;" \
  "ruv and nkf wrote the same bytes for $same of $count files"
echo
ruv_us=$(median "${times[ruv]}")
nkf_us=$(median "${times[nkf]}")
printf '| %-40s | %8s | %8s | %8s | %7s |\n' command "s" "ms/file" "MB/s" "vs nkf"
printf '|%s|\n' "------------------------------------------|----------|----------|----------|---------"
for tool in "${tools[@]}"; do
  us=$(median "${times[$tool]}")
  case $tool in
    ruv) what="ruv-cli --to utf8 DIR" ;; ruv1) what="ruv-cli -j 1 --to utf8 DIR" ;; nosync) what="ruv-cli --to utf8 DIR, fsync a no-op" ;;
    nkf) what="nkf --overwrite -w FILES (no fsync)" ;;
  esac
  printf '| %-40s | %8.3f | %8.3f | %8.1f | %6.2fx |\n' "$what" \
    "$(awk -v u="$us" 'BEGIN { print u / 1e6 }')" "$(awk -v u="$us" -v n="$count" 'BEGIN { print u / 1000 / n }')" \
    "$(awk -v u="$us" -v b="$bytes" 'BEGIN { print b / u }')" "$(awk -v u="$us" -v r="$nkf_us" 'BEGIN { print u / r }')"
done
echo
awk -v a="$ruv_us" -v b="$(median "${times[nosync]}")" -v n="$count" \
  'BEGIN { printf "the fsyncs cost %.3f s in all, %.3f ms a file (%.0f%% of the run)\n", (a - b) / 1e6, (a - b) / 1000 / n, 100 * (a - b) / a }'
