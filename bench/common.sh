# Shared by the benchmark scripts (source it): the work folder, the tools of
# the comparison, the Release build and the corpora.
build=build-bench
corpus=${RUV_BENCH_CORPUS:-/tmp/ruv-corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# bench_install COMMAND:PACKAGE...: installs each package whose command is missing.
bench_install() {
  scripts/install-deps.sh
  local pair
  for pair in "$@"; do
    command -v "${pair%%:*}" >/dev/null && continue
    echo "installing ${pair#*:}"
    apt-get install -y -qq --no-install-recommends "${pair#*:}" >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${pair#*:}" >/dev/null; }
  done
}

# bench_build TARGET...: a Release build of the targets; prepares the corpora.
bench_build() {
  cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release -DRUV_BUILD_BENCH=ON -DRUV_BUILD_TESTS=OFF \
    -DRUV_BUILD_GUI=OFF >/dev/null
  cmake --build $build -j"$(nproc)" --target "$@" >/dev/null
  [ -f "$corpus/edict.utf8" ] || python3 bench/prepare_corpus.py "$corpus"
}

# bench_nosync: builds a shim whose fsync and fdatasync succeed without
# flushing anything; prints its path, for LD_PRELOAD.
bench_nosync() {
  cc -O2 -shared -fPIC -o "$work/nosync.so" -x c - <<'C'
int fsync(int fd) { (void)fd; return 0; }
int fdatasync(int fd) { (void)fd; return 0; }
C
  echo "$work/nosync.so"
}
