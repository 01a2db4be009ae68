#!/usr/bin/env bash
# Static analysis of the program's own code (app/, wave/, drops/, viewer/):
# cppcheck, then clang-tidy with the checks of .clang-tidy. Any finding
# fails. clang-tidy reads the compile commands of a tree configured with
# clang (no build needed) in build-lint/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FOUNTAIN_LINT_BUILD:-$root/build-lint}"
jobs="${FOUNTAIN_JOBS:-2}"
cd "$root"

echo "== cppcheck"
# __SSE2__ as the compiler defines it on x86-64, so the build's own variant
# of the wave step is checked.
cppcheck --quiet --enable=warning,style,performance,portability --std=c++17 \
  --language=c++ --inline-suppr --error-exitcode=1 -D__SSE2__ \
  -I . -I viewer --suppress=missingIncludeSystem app wave drops viewer
echo "cppcheck: no findings"

echo "== clang-tidy"
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DFOUNTAIN_BUILD_TESTS=OFF -DFOUNTAIN_BUILD_BENCH=OFF -DFOUNTAIN_BUILD_VIEWER=ON >/dev/null
log="$build/clang-tidy.log"
status=0
run-clang-tidy -p "$build" -j "$jobs" -quiet "$root/(app|wave|drops|viewer)/" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ] || grep -q -E '(warning|error):' "$log"; then
  grep -E -A3 '(warning|error):' "$log" || cat "$log"
  echo "clang-tidy: findings above" >&2
  exit 1
fi
echo "clang-tidy: no findings"
