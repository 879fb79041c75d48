#!/usr/bin/env bash
# Installs what is missing, builds ruv and opens its window with the given paths.
# Usage: scripts/run.sh [PATH...]          the window, with the paths registered
#        scripts/run.sh --cli ARGS...      ruv-cli (see: scripts/run.sh --cli --help)
# Paths are taken relative to the folder the script is run from.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

if [ "${1:-}" = "--cli" ]; then
  shift
  cmake --build "$root/build" -j"$(nproc)" --target ruv-cli >/dev/null
  exec "$root/build/cli/ruv-cli" "$@"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "ruv: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open." >&2
  echo "The same conversions run from the terminal with ruv-cli:" >&2
  echo "  scripts/run.sh --cli --detect PATH...       show each file's kanji code" >&2
  echo "  scripts/run.sh --cli --to utf8 PATH...      convert in place (see --cli --help)" >&2
  exit 1
fi
cmake --build "$root/build" -j"$(nproc)" --target ruv >/dev/null
exec "$root/build/app/ruv" "$@"
