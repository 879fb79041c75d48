#!/usr/bin/env bash
# Converts a batch of 2,000 small files (1-20 KB, about 21 MB, cut from the
# edict corpora in the five codes that nkf reads too, in turn) in place to
# UTF-8 with ruv-cli, with ruv-cli under a shim that turns fsync and fdatasync
# into no-ops (what the fsyncs cost), and with nkf --overwrite -w (which does
# not fsync). Every run starts from a fresh copy of the files, flushed to disk
# beforehand; the tools take turns; prints the median wall time of RUNS runs.
#
# usage: bench/batch_speed.sh [RUNS] [FILES]      e.g. bench/batch_speed.sh 5 2000
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
count=${2:-2000}

build=build-bench
corpus=${RUV_BENCH_CORPUS:-/tmp/ruv-corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

scripts/install-deps.sh
command -v nkf >/dev/null || apt-get install -y -qq --no-install-recommends nkf >/dev/null 2>&1 ||
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends nkf >/dev/null; }
cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DRUV_BUILD_BENCH=ON -DRUV_BUILD_TESTS=OFF -DRUV_BUILD_GUI=OFF >/dev/null
cmake --build $build -j2 --target ruv-cli >/dev/null
[ -f "$corpus/edict.utf8" ] || python3 bench/prepare_corpus.py "$corpus"
cli=$PWD/$build/cli/ruv-cli

# fsync and fdatasync that succeed without flushing anything.
cc -O2 -shared -fPIC -o "$work/nosync.so" -x c - <<'C'
int fsync(int fd) { (void)fd; return 0; }
int fdatasync(int fd) { (void)fd; return 0; }
C

# Files src/NNNNN.CODE: runs of whole edict lines from a random place, each
# file 1-20 KB in its own code (UTF-16LE with its FF FE mark).
python3 - "$corpus/edict.utf8" "$work/src" "$count" <<'PY'
import os, random, sys
codecs = {"jis": "iso2022_jp", "sjis": "cp932", "euc": "euc_jp",
          "unicode": "utf-16-le", "utf8": "utf-8"}
lines = open(sys.argv[1], encoding="utf-8").read().splitlines(keepends=True)
os.makedirs(sys.argv[2])
rng = random.Random(5)
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
bytes=$(cat src/* | wc -c)

# Line ends stay LF, as nkf leaves them, so that both write the same bytes.
declare -A command=(
  [ruv]="$cli --to utf8 --newline lf run"
  [nosync]="LD_PRELOAD=$work/nosync.so $cli --to utf8 --newline lf run"
  [nkf]="nkf --overwrite -w run/*"
)
tools=(ruv nosync nkf)
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
    ruv) what="ruv-cli --to utf8 DIR" ;; nosync) what="ruv-cli --to utf8 DIR, fsync a no-op" ;;
    nkf) what="nkf --overwrite -w FILES (no fsync)" ;;
  esac
  printf '| %-40s | %8.3f | %8.3f | %8.1f | %6.2fx |\n' "$what" \
    "$(awk -v u="$us" 'BEGIN { print u / 1e6 }')" "$(awk -v u="$us" -v n="$count" 'BEGIN { print u / 1000 / n }')" \
    "$(awk -v u="$us" -v b="$bytes" 'BEGIN { print b / u }')" "$(awk -v u="$us" -v r="$nkf_us" 'BEGIN { print u / r }')"
done
echo
awk -v a="$ruv_us" -v b="$(median "${times[nosync]}")" -v n="$count" \
  'BEGIN { printf "the fsyncs cost %.3f s in all, %.3f ms a file (%.0f%% of the run)\n", (a - b) / 1e6, (a - b) / 1000 / n, 100 * (a - b) / a }'
