#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running ruv need.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev python3
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n xvfb xauth
  dpkg-dev file
  edict skkdic
  acl util-linux clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
