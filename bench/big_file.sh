#!/usr/bin/env bash
# Converts one file of about 1 GB (the Shift_JIS edict corpus repeated) in place
# to UTF-8 with ruv-cli, with ruv-cli under a shim that turns fsync and
# fdatasync into no-ops, and with `uconv -f windows-932 -t UTF-8 in > tmp &&
# mv tmp in`; prints the median wall time of RUNS runs (the tools taking turns,
# each from a fresh copy flushed to disk beforehand) and the largest peak RSS.
#
# usage: bench/big_file.sh [RUNS] [MB]      e.g. bench/big_file.sh 3 1000
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
megabytes=${2:-1000}

source bench/common.sh

# The source, the copy under way, its temporary output and both kept outputs.
need=$(( megabytes * 5 + 500 ))
free=$(df -Pm "$work" | awk 'NR == 2 { print $4 }')
[ "$free" -ge "$need" ] || { echo "$work: $free MB free, $need MB needed" >&2; exit 1; }

bench_install uconv:icu-devtools
bench_build ruv-cli
cli=$PWD/$build/cli/ruv-cli
nosync=$(bench_nosync)

cd "$work"
piece=$(stat -c %s "$corpus/edict.sjis")
for _ in $(seq $(( (megabytes * 1000000 + piece - 1) / piece ))); do cat "$corpus/edict.sjis"; done > src.sjis
bytes=$(stat -c %s src.sjis)

# Line ends stay LF, as uconv leaves them, so that both write the same bytes.
declare -A command=(
  [ruv]="$cli --to utf8 --newline lf in"
  [nosync]="env LD_PRELOAD=$nosync $cli --to utf8 --newline lf in"
  [uconv]="sh -c 'uconv -f windows-932 -t UTF-8 in > tmp && mv tmp in'"
)
tools=(ruv nosync uconv)
declare -A times peak
for tool in "${tools[@]}"; do peak[$tool]=0; done
for _ in $(seq "$runs"); do
  for tool in "${tools[@]}"; do
    cp src.sjis in && sync
    line=$(eval "/usr/bin/time -f '%e %M' ${command[$tool]}" 2>&1 >/dev/null | tail -n 1)
    t=${line% *}; m=${line#* }
    times[$tool]+="$t "; [ "$m" -gt "${peak[$tool]}" ] && peak[$tool]=$m
    mv in "out.$tool"
  done
  rm -f out.nosync
done
median() { printf '%s\n' $1 | sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }
cmp -s out.ruv out.uconv && same="the same bytes" || same="DIFFERENT bytes"
out=$(stat -c %s out.ruv)

echo
echo "$(awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1e6 }') MB of Shift_JIS to $(awk -v b="$out" 'BEGIN { printf "%.0f", b / 1e6 }') MB of UTF-8," \
  "median of $runs runs; ruv and uconv wrote $same"
echo
uconv_s=$(median "${times[uconv]}")
printf '| %-44s | %7s | %7s | %12s | %8s |\n' command "s" "MB/s" "peak RSS MB" "vs uconv"
printf '|%s|\n' "----------------------------------------------|---------|---------|--------------|----------"
for tool in "${tools[@]}"; do
  s=$(median "${times[$tool]}")
  case $tool in
    ruv) what="ruv-cli --to utf8 in" ;; nosync) what="ruv-cli --to utf8 in, fsync a no-op" ;;
    uconv) what="uconv -f windows-932 -t UTF-8 in > tmp && mv" ;;
  esac
  printf '| %-44s | %7.2f | %7.0f | %12.1f | %7.2fx |\n' "$what" "$s" \
    "$(awk -v s="$s" -v b="$bytes" 'BEGIN { print b / 1e6 / (s > 0 ? s : 0.01) }')" \
    "$(awk -v k="${peak[$tool]}" 'BEGIN { print k / 1024 }')" "$(awk -v s="$s" -v u="$uconv_s" 'BEGIN { print s / u }')"
done
