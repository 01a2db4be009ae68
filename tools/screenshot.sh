#!/usr/bin/env bash
# Runs the real program on a virtual X server for a few seconds and saves
# what it shows as docs/fountain.png (trimmed to the fountain). Builds first
# if build/fountain is missing.
#   tools/screenshot.sh [seconds to wait, default 8]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
wait_seconds="${1:-8}"
out="$root/docs/fountain.png"

[ -x "$root/build/fountain" ] || "$root/tools/build.sh"
mkdir -p "$root/docs"

# A free display number: Xvfb refuses one that is taken, so try the next.
xvfb_pid=
for n in $(seq 200 260); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$xvfb_pid" 2>/dev/null; then display=":$n"; break; fi
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no X server could be started" >&2; exit 1; }

fountain_pid=
cleanup() {
  [ -n "$fountain_pid" ] && kill "$fountain_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

cd "$root/build"
DISPLAY="$display" QT_QPA_PLATFORM=xcb ./fountain &
fountain_pid=$!
sleep "$wait_seconds"
kill -0 "$fountain_pid" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }

DISPLAY="$display" import -window root png:- \
  | convert - -trim +repage -bordercolor black -border 24 -resize '900x900>' "$out"
echo "saved $out"
