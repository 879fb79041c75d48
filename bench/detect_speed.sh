#!/usr/bin/env bash
# Detects the code of 10,000 small files (1-20 KB, cut from the edict corpora,
# the six codes in turn) with ruv, nkf --guess and uchardet, each over all the
# files in one process, and prints ms a file (median of RUNS runs, the tools
# taking turns) and how many files each tool named rightly. Open and read are
# included; the files are in the page cache.
#
# usage: bench/detect_speed.sh [RUNS] [FILES]      e.g. bench/detect_speed.sh 7 10000
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
count=${2:-10000}

source bench/common.sh
bench_install nkf:nkf uchardet:uchardet
bench_build ruv_detect_files ruv-cli
detect_files=$PWD/$build/bench/ruv_detect_files
cli=$PWD/$build/cli/ruv-cli

python3 bench/make_small_files.py "$corpus/edict.utf8" "$work/d" "$count" 3 jis sjis euc unicode utf8 utf7
cd "$work"
cat d/* >/dev/null
bytes=$(cat d/* | wc -c)

# The names each tool gives to the six codes, folded to ours (upper case,
# no "-" or "_"): ISO-2022-JP -> jis, Shift_JIS/CP932 -> sjis, ...
fold() {
  awk -F'[\t:]' -v col="$1" '{
    path = col == 1 ? $2 : $1; name = col == 1 ? $1 : $2
    sub(/ *\(.*\)$/, "", name); gsub(/^ +| +$/, "", name); name = toupper(name); gsub(/[-_]/, "", name)
    if (name ~ /^(ISO2022JP|JIS)/) got = "jis"
    else if (name ~ /^(SHIFTJIS|CP932|WINDOWS31J)/) got = "sjis"
    else if (name ~ /^EUC/) got = "euc"
    else if (name ~ /^(UTF16|UNICODE)/) got = "unicode"
    else if (name ~ /^UTF8/) got = "utf8"
    else if (name ~ /^UTF7/) got = "utf7"
    else got = "other"
    n = split(path, parts, "."); if (parts[n] == got) right++
  } END { printf "%d", right }'
}

# Runs the command of every tool RUNS times, the tools taking turns, and
# prints each tool's median wall time in ms.
declare -A command=(
  [ruv]="$detect_files d/*"
  [ruv-cli]="$cli --detect d"
  [nkf]="nkf --guess d/*"
  [uchardet]="uchardet d/*"
)
tools=(ruv ruv-cli nkf uchardet)
declare -A times
for _ in $(seq "$runs"); do
  for tool in "${tools[@]}"; do
    start=$(date +%s%N)
    eval "${command[$tool]}" >/dev/null 2>&1
    times[$tool]+="$(( ($(date +%s%N) - start) / 1000 )) "
  done
done
median() { printf '%s\n' $1 | sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }

right_ruv=$("$cli" --detect d | fold 1)
right_nkf=$(nkf --guess d/* | fold 2)
right_uchardet=$(uchardet d/* | fold 2)
declare -A right=([ruv]=$right_ruv [ruv-cli]=$right_ruv [nkf]=$right_nkf [uchardet]=$right_uchardet)

echo
echo "$count files, $(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }') MB, median of $runs runs; goal: ruv under 0.050 ms a file"
echo
ruv_ms=$(median "${times[ruv]}")
printf '| %-22s | %8s | %10s | %7s | %-19s |\n' tool "ms/file" "files/s" "vs ruv" "named rightly"
printf '|%s|\n' "------------------------|----------|------------|---------|---------------------"
for tool in "${tools[@]}"; do
  us=$(median "${times[$tool]}")
  case $tool in
    ruv) what="ruv (DetectFileLabel)" ;; ruv-cli) what="ruv-cli --detect DIR" ;;
    nkf) what="nkf --guess" ;; uchardet) what="uchardet" ;;
  esac
  printf '| %-22s | %8.4f | %10.0f | %6.2fx | %5d of %-10d |\n' "$what" \
    "$(awk -v u="$us" -v n="$count" 'BEGIN { print u / 1000 / n }')" \
    "$(awk -v u="$us" -v n="$count" 'BEGIN { print n / (u / 1e6) }')" \
    "$(awk -v u="$us" -v r="$ruv_ms" 'BEGIN { print u / r }')" "${right[$tool]}" "$count"
done
