#!/usr/bin/env bash
# Installs what is missing, builds the fountain and starts it. The program
# reads its textures through relative paths, so it runs from build/, which
# holds a copy of textures/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh"
cd "$root/build"
exec ./fountain
