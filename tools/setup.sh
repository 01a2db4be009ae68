#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the
# fountain need -- only those that are missing, so a prepared machine is
# left alone and needs no network.
set -euo pipefail

packages=(
  build-essential g++ cmake pkg-config
  libcoin-dev libsoqt520-dev libsimage-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick libgl1-mesa-dri
  python3 python3-xlib
  clang
  # Reliability stages of tools/test.sh: libFuzzer and clang's sanitizer
  # runtimes, and the static analysers of tools/lint.sh.
  libclang-rt-14-dev clang-tidy cppcheck
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
