#!/usr/bin/env bash
# Installs what is missing, builds the fountain and runs every test: unit,
# scene and end-to-end tests (the latter start their own X server, so no
# display is needed).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh"
cd "$root/build"
ctest --output-on-failure "$@"
