#!/usr/bin/env bash
# Builds the fuzz target of the water-surface kit with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz/ and runs
# it for a bounded time, starting from the corpus kept in fuzz/corpus/.
#   tools/fuzz.sh [seconds, default 45] [more libFuzzer options]
# Inputs that find new paths go to build-fuzz/corpus/; fold them into the
# kept corpus with
#   build-fuzz/fuzz/wave_kit_fuzz -merge=1 fuzz/corpus build-fuzz/corpus
# A crash, a sanitizer report or a broken water check stops the run with a
# failure and leaves the input as build-fuzz/crash-*.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FOUNTAIN_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${FOUNTAIN_JOBS:-2}"
seconds="${1:-45}"
shift || true

export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DFOUNTAIN_BUILD_FUZZ=ON -DFOUNTAIN_BUILD_TESTS=OFF \
  -DFOUNTAIN_BUILD_VIEWER=OFF -DFOUNTAIN_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs" --target wave_kit_fuzz

mkdir -p "$build/corpus"
cd "$build"
# -timeout: one input may take long on a 2048 x 2048 grid under the
# sanitizers, but never this long; -rss_limit_mb leaves room for three such
# grids and the library's copy of the coordinates.
"$build/fuzz/wave_kit_fuzz" -max_total_time="$seconds" -max_len=512 -timeout=60 \
  -rss_limit_mb=3072 -print_final_stats=1 "$@" "$build/corpus" "$root/fuzz/corpus"
