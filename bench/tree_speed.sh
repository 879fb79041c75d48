#!/usr/bin/env bash
# A tree of small files (1-20 KB, Shift_JIS, EUC-JP and UTF-8 in turn, cut from
# the edict corpora) spread over 200 folders, half of them one level deeper, is
# converted in place to UTF-8 five ways, each from a fresh copy: ruv-cli -r
# (all cores, and -j 1),
# the same with fsync turned into a no-op (nkf does not flush its files), nkf
# run once a file by find, and nkf given many files at once by find.  Then
# each tool runs a second time over the tree it has just converted (nothing
# left to do).  Prints wall time and peak memory (maximum resident set) of each
# run, and how many files ruv and nkf wrote alike.  ruv-cli writes LF line ends
# here, as nkf keeps them, so that both write the same bytes.  Last, ruv-cli
# looks without writing: -n over the original tree, and --check over the tree
# it converted (which must pass: status 0).
#
# usage: bench/tree_speed.sh [FILES]      e.g. bench/tree_speed.sh 20000
# RUV_CLI=path uses that ruv-cli instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-20000}

source bench/common.sh
bench_install nkf:nkf
if [ -n "${RUV_CLI:-}" ]; then
  cli=$(realpath "$RUV_CLI")
  [ -f "$corpus/edict.utf8" ] || python3 bench/prepare_corpus.py "$corpus"
else
  bench_build ruv-cli
  cli=$PWD/$build/cli/ruv-cli
fi

nosync=$(bench_nosync)

python3 bench/make_small_files.py "$corpus/edict.utf8" "$work/flat" "$count" 7 sjis euc utf8
cd "$work"
# 200 folders: d000-d099 hold their files directly, d100-d199 in a sub-folder.
i=0
for f in flat/*; do
  d=$(printf 'd%03d' $((i % 200)))
  ((i % 200 >= 100)) && d=$d/sub
  mkdir -p "src/$d" && mv "$f" "src/$d/"
  i=$((i + 1))
done
bytes=$(find src -type f -exec cat {} + | wc -c)

declare -A command=(
  [ruv]="$cli --to utf8 --newline lf -r run"
  [ruv1]="$cli -j 1 --to utf8 --newline lf -r run"
  [nosync]="env LD_PRELOAD=$nosync $cli --to utf8 --newline lf -r run"
  [nkf1]="find run -type f -exec nkf --overwrite -w {} ';'"
  [nkf]="find run -type f -exec nkf --overwrite -w {} +"
)
declare -A what=(
  [ruv]="ruv-cli --to utf8 --newline lf -r DIR"
  [ruv1]="the same, -j 1"
  [nosync]="the same, fsync a no-op"
  [nkf1]="find DIR -exec nkf --overwrite -w {} ';'"
  [nkf]="find DIR -exec nkf --overwrite -w {} +"
)
# run TOOL: wall seconds and peak KB (the largest process of the run) into $s $kb.
run() {
  local t0 log=$work/time.log
  : >"$log"
  t0=$(date +%s%N)
  eval "/usr/bin/time -a -o $log -f %M ${command[$1]}" >/dev/null 2>&1 ||
    { echo "$1 failed" >&2; exit 1; }
  s=$(awk -v n="$(( $(date +%s%N) - t0 ))" 'BEGIN { printf "%.3f", n / 1e9 }')
  kb=$(sort -n "$log" | tail -1)
}

printf '%s files in 200 folders, %s MB in\n\n' "$count" "$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')"
printf '| %-44s | %9s | %9s | %9s | %9s |\n' command "1st s" "1st MB" "2nd s" "2nd MB"
printf '|%s|\n' "----------------------------------------------|-----------|-----------|-----------|----------"
for tool in ruv ruv1 nosync nkf1 nkf; do
  rm -rf run && cp -a src run && sync
  run "$tool"; s1=$s; kb1=$kb
  sync
  run "$tool"; s2=$s; kb2=$kb
  rm -rf "out.$tool" && mv run "out.$tool"
  printf '| %-44s | %9s | %9.1f | %9s | %9.1f |\n' "${what[$tool]}" "$s1" "$(awk -v k="$kb1" 'BEGIN { print k / 1024 }')" \
    "$s2" "$(awk -v k="$kb2" 'BEGIN { print k / 1024 }')"
done
command[dry]="$cli -n --to utf8 --newline lf -r src"
command[check]="$cli --check --to utf8 --newline lf -r out.ruv"
what[dry]="ruv-cli -n --to utf8 --newline lf -r DIR"
what[check]="ruv-cli --check ... -r DIR, once converted"
echo
printf '| %-44s | %9s | %9s |\n' "look without writing" "s" "MB"
printf '|%s|\n' "----------------------------------------------|-----------|----------"
for tool in dry check; do
  run "$tool"
  printf '| %-44s | %9s | %9.1f |\n' "${what[$tool]}" "$s" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')"
done
same=$(cd src && find . -type f | while read -r f; do cmp -s "../out.ruv/$f" "../out.nkf/$f" && echo; done | wc -l)
echo
echo "ruv and nkf wrote the same bytes for $same of $count files"
