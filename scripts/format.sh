#!/usr/bin/env bash
# Formats the C++ sources with clang-format (.clang-format), or with --check
# fails, naming the places, when any source is not formatted.  The generated
# code page 932 tables are left as their generator writes them.
# Usage: scripts/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '^platform/cp932_tables\.cpp$')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
