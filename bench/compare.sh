#!/usr/bin/env bash
# Converts the edict corpora whole-file with ruv, glibc iconv, ICU uconv and nkf,
# side by side in one run, and prints MB/s of input (median of RUNS runs) and
# peak memory for every pair of codes; ruv on all cores, and on one thread.
# RUV_BEFORE=path/to/an/older/ruv_convert_file adds that build's figures (all
# cores) in a column of their own, measured in the same run.
#
# usage: bench/compare.sh [RUNS] [PAIRS...]     e.g. bench/compare.sh 5 sjis:utf8 euc:jis
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
shift || true

source bench/common.sh
bench_install iconv:libc-bin uconv:icu-devtools nkf:nkf
bench_build ruv_convert_file

codes=(jis sjis euc unicode utf8 utf7)
declare -A iconv_name=([jis]=ISO-2022-JP [sjis]=CP932 [euc]=EUC-JP [unicode]=UTF-16LE [utf8]=UTF-8 [utf7]=UTF-7)
declare -A uconv_name=([jis]=ISO-2022-JP [sjis]=windows-932 [euc]=EUC-JP [unicode]=UTF-16LE [utf8]=UTF-8 [utf7]=UTF-7)
declare -A nkf_in=([jis]=ISO-2022-JP [sjis]=CP932 [euc]=EUC-JP [unicode]=UTF-16LE [utf8]=UTF-8)
declare -A nkf_out=([jis]=ISO-2022-JP [sjis]=CP932 [euc]=EUC-JP [unicode]=UTF-16LE-BOM [utf8]=UTF-8)

# Runs "$@" RUNS times; prints the median wall seconds (timed to the
# microsecond) and the largest peak RSS (MB).
measure() {
  local times=() peak=0 start t m
  for _ in $(seq "$runs"); do
    # Every tool writes a new file, as a conversion in place does: replacing
    # the pages of an old output would time the file system's truncation too.
    rm -f "$work"/*.out
    start=$(date +%s%N)
    /usr/bin/time -o "$work/time" -f "%M" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    t=$(( ($(date +%s%N) - start) / 1000 ))
    read -r m <"$work/time"
    times+=("$(awk -v us="$t" 'BEGIN { printf "%.6f", us / 1e6 }')"); [ "$m" -gt "$peak" ] && peak=$m
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")" "$((peak / 1024))"
}

rate() { awk -v b="$1" -v t="$2" 'BEGIN { if (t <= 0) t = 0.005; printf "%.0f", b / 1e6 / t }'; }

# Each corpus repeated REPEAT times (default 4, about 80 MB), so that a run takes
# long enough to time well.
repeat=${RUV_BENCH_REPEAT:-4}
for code in "${codes[@]}"; do
  if [ "$code" = unicode ]; then
    { cat "$corpus/edict.unicode"; for _ in $(seq 2 "$repeat"); do tail -c +3 "$corpus/edict.unicode"; done; } >"$work/edict.$code"
    # iconv and uconv take FF FE for a character (U+FEFF), which most codes cannot hold.
    tail -c +3 "$work/edict.$code" >"$work/edict.$code.nomark"
  else
    for _ in $(seq "$repeat"); do cat "$corpus/edict.$code"; done >"$work/edict.$code"
  fi
done

pairs=("$@")
if [ ${#pairs[@]} -eq 0 ]; then
  for s in "${codes[@]}"; do for t in "${codes[@]}"; do pairs+=("$s:$t"); done; done
fi

before=${RUV_BEFORE:-}
before_head=""; before_rule=""
[ -n "$before" ] && before_head=" before       |" && before_rule="--------------|"
printf '| %-14s | %7s | %-12s | %-12s |%s %-12s | %-12s | %-12s | %9s | %7s |\n' pair "in MB" "ruv MB/s (MB)" "1 thread" "$before_head" "iconv" "uconv" "nkf" "ruv/best" "ruv/nkf"
printf '|%s|\n' "----------------|---------|---------------|--------------|$before_rule--------------|--------------|--------------|-----------|---------"
for pair in "${pairs[@]}"; do
  s=${pair%:*}; t=${pair#*:}
  in="$work/edict.$s"
  bytes=$(stat -c %s "$in")
  read -r rt rm < <(measure $build/bench/ruv_convert_file "$s" "$t" "$in" "$work/ruv.out")
  read -r r1t r1m < <(measure env RUV_THREADS=1 $build/bench/ruv_convert_file "$s" "$t" "$in" "$work/ruv1.out")
  before_cell=""
  if [ -n "$before" ]; then
    read -r bt bm < <(measure "$before" "$s" "$t" "$in" "$work/before.out")
    before_cell=" $(printf '%-12s' "$(rate "$bytes" "$bt") ($bm)") |"
  fi
  plain=$in; [ "$s" = unicode ] && plain="$in.nomark"
  read -r it im < <(measure sh -c "iconv -f ${iconv_name[$s]} -t ${iconv_name[$t]} '$plain' > '$work/iconv.out'")
  read -r ut um < <(measure uconv -f "${uconv_name[$s]}" -t "${uconv_name[$t]}" -o "$work/uconv.out" "$plain")
  if [ -n "${nkf_in[$s]:-}" ] && [ -n "${nkf_out[$t]:-}" ]; then
    read -r nt nm < <(measure sh -c "nkf -x --ic=${nkf_in[$s]} --oc=${nkf_out[$t]} '$in' > '$work/nkf.out'")
    nkf="$(rate "$bytes" "$nt") ($nm)"; vs_nkf=$(awk -v a="$nt" -v b="$rt" 'BEGIN { printf "%.1fx", a / (b > 0 ? b : 0.005) }')
  else
    nkf="n/a"; vs_nkf="-"
  fi
  best=$(awk -v a="$it" -v b="$ut" 'BEGIN { print (a < b ? a : b) }')
  vs_best=$(awk -v a="$best" -v b="$rt" 'BEGIN { printf "%.2fx", a / (b > 0 ? b : 0.005) }')
  printf '| %-14s | %7.1f | %-13s | %-12s |%s %-12s | %-12s | %-12s | %9s | %7s |\n' "$s->$t" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" \
    "$(rate "$bytes" "$rt") ($rm)" "$(rate "$bytes" "$r1t") ($r1m)" "$before_cell" "$(rate "$bytes" "$it") ($im)" "$(rate "$bytes" "$ut") ($um)" "$nkf" "$vs_best" "$vs_nkf"
done
