#!/usr/bin/env bash
# Installs what is missing, builds ruv and runs it with the given paths.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec build/cli/ruv-cli "$@"
