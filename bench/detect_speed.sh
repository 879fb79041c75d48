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

build=build-bench
corpus=${RUV_BENCH_CORPUS:-/tmp/ruv-corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

scripts/install-deps.sh
for tool in nkf uchardet; do
  command -v $tool >/dev/null && continue
  echo "installing $tool"
  apt-get install -y -qq --no-install-recommends $tool >/dev/null 2>&1 ||
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends $tool >/dev/null; }
done
cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DRUV_BUILD_BENCH=ON -DRUV_BUILD_TESTS=OFF -DRUV_BUILD_GUI=OFF >/dev/null
cmake --build $build -j2 --target ruv_detect_files ruv-cli >/dev/null
[ -f "$corpus/edict.utf8" ] || python3 bench/prepare_corpus.py "$corpus"
detect_files=$PWD/$build/bench/ruv_detect_files
cli=$PWD/$build/cli/ruv-cli

# Files d/NNNNN.CODE: runs of whole edict lines from a random place, each file
# 1-20 KB in its own code (UTF-16LE with its FF FE mark).
python3 - "$corpus/edict.utf8" "$work/d" "$count" <<'PY'
import os, random, sys
codecs = {"jis": "iso2022_jp", "sjis": "cp932", "euc": "euc_jp",
          "unicode": "utf-16-le", "utf8": "utf-8", "utf7": "utf-7"}
lines = open(sys.argv[1], encoding="utf-8").read().splitlines(keepends=True)
os.makedirs(sys.argv[2])
rng = random.Random(3)
names = list(codecs)
for i in range(int(sys.argv[3])):
    name = names[i % len(names)]
    target, at, piece, size = rng.randint(1024, 20480), rng.randrange(len(lines)), [], 0
    while True:
        size += len(lines[at].encode(codecs[name]))
        if piece and size > target:
            break
        piece.append(lines[at])
        at = (at + 1) % len(lines)
    data = "".join(piece).encode(codecs[name])
    if name == "unicode":
        data = b"\xff\xfe" + data
    with open(os.path.join(sys.argv[2], f"{i:05d}.{name}"), "wb") as f:
        f.write(data)
PY
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
