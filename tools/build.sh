#!/usr/bin/env bash
# Configures and builds the fountain (Release) into build/ of the checkout.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
jobs="${FOUNTAIN_JOBS:-2}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$jobs"
