#!/usr/bin/env bash
# Runs fountain-bench on a virtual X server (Xvfb, software OpenGL through
# Mesa's llvmpipe) at 1280 x 1024 and at 1920 x 1080, one server per size,
# and prints its figures with the X server's own processor time beside them.
#
#   bench/run_fountain_bench.sh [BUILD_DIR] [SECONDS] [-- extra fountain-bench arguments]
#
# BUILD_DIR defaults to build/ (it must hold bench/fountain-bench and the
# textures/ copy); SECONDS, the measured time per size, defaults to 10.
# SIZES="640x512 1280x1024" overrides the window sizes.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
seconds="${2:-10}"
shift $(( $# < 2 ? $# : 2 ))
[ "${1:-}" = "--" ] && shift
bench="$build/bench/fountain-bench"
[ -x "$bench" ] || { echo "no $bench: build the project first" >&2; exit 1; }
command -v Xvfb > /dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }

# Software rendering on every machine, whatever GPU it has.
export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

xvfbPid=""
stopServer() {
  if [ -n "$xvfbPid" ]; then
    kill "$xvfbPid" 2> /dev/null || true
    wait "$xvfbPid" 2> /dev/null || true
    xvfbPid=""
  fi
}
trap stopServer EXIT

# Processor seconds (user + system) of a running process.
cpuSeconds() {
  awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1-3 /proc/loadavg)"
for size in ${SIZES:-1280x1024 1920x1080}; do
  # A display number nobody uses.
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp > /dev/null 2>&1 &
  xvfbPid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  echo
  echo "== ${size}"
  serverBefore="$(cpuSeconds "$xvfbPid")"
  start="$(date +%s.%N)"
  (cd "$build" && DISPLAY=":$display" "$bench" --size "$size" --seconds "$seconds" "$@") 2> /dev/null
  end="$(date +%s.%N)"
  serverAfter="$(cpuSeconds "$xvfbPid")"
  awk -v a="$serverBefore" -v b="$serverAfter" -v t0="$start" -v t1="$end" \
    'BEGIN { printf "X server              %.0f %% of one core over the whole run (%.1f s)\n", 100 * (b - a) / (t1 - t0), t1 - t0 }'
  stopServer
done
