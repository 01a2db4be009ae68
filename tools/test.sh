#!/usr/bin/env bash
# Installs what is missing, builds the fountain and runs every test.
#
# Without arguments, in this order (each stage runs even if one before it
# failed; the status is that of all of them):
#   1. ctest in build/: unit, scene and end-to-end tests and the four-minute
#      soak test (the latter two start X servers of their own, so no display
#      is needed); the five-minute soak test (label soak-long) is left out;
#   2. tools/lint.sh: cppcheck and clang-tidy on the program's code;
#   3. tools/sanitize.sh: the unit, scene and end-to-end tests built with
#      AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/);
#   4. tools/fuzz.sh: the kit's fuzz target for 45 seconds (build-fuzz/).
#
# With arguments, only the tests of build/ run, and the arguments go to
# ctest: tools/test.sh -L e2e, or tools/test.sh -L soak-long for the
# five-minute soak test.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh"
cd "$root/build"

if [ $# -gt 0 ]; then
  exec ctest --output-on-failure "$@"
fi

failed=()
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
stage() {
  local name="$1"
  shift
  echo "==== $name"
  if "$@" 2>&1 | tee -a "$log"; then
    echo "==== $name: passed"
  else
    echo "==== $name: FAILED"
    failed+=("$name")
  fi
}

stage "tests" ctest --output-on-failure -LE soak-long
stage "lint" "$root/tools/lint.sh"
stage "sanitizers" "$root/tools/sanitize.sh"
stage "fuzz" "$root/tools/fuzz.sh" 45

# One closing line over the ctest runs of all stages, with each other stage
# (lint, fuzzing) counted as one test.
summary() {
  awk -v stages="$1" -v bad="$2" '
    / tests failed out of / { total += $NF; failedTests += $(NF - 5) }
    END { printf "%d passed, %d failed\n", total - failedTests + stages - bad, failedTests + bad }
  ' "$log"
}
otherStages=2
otherFailed=0
for name in "${failed[@]+"${failed[@]}"}"; do
  case "$name" in lint|fuzz) otherFailed=$((otherFailed + 1)) ;; esac
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed stages: ${failed[*]}" >&2
  echo "summary: $(summary "$otherStages" "$otherFailed")"
  exit 1
fi
echo "all stages passed"
echo "summary: $(summary "$otherStages" "$otherFailed")"
