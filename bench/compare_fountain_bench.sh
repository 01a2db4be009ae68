#!/usr/bin/env bash
# Compares two builds of the fountain on this machine: runs fountain-bench
# from each build in turn, alternating them, so that both see the same
# drifts in the machine's speed, and prints each run's frames per second and
# processor time per frame, then the medians.
#
#   bench/compare_fountain_bench.sh BUILD_A BUILD_B [ROUNDS] [SECONDS]
#
# ROUNDS (default 5) pairs of runs of SECONDS (default 6) each, at the size
# given by SIZE (default 1280x1024). Each build directory must hold
# bench/fountain-bench and its textures/ copy, as a normal build does.
set -euo pipefail

[ $# -ge 2 ] || { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
builds=("$1" "$2")
rounds="${3:-5}"
seconds="${4:-6}"
size="${SIZE:-1280x1024}"

results="$(mktemp)"
trap 'rm -f "$results"' EXIT

for round in $(seq "$rounds"); do
  for which in 0 1; do
    out="$(SIZES="$size" "$root/bench/run_fountain_bench.sh" "${builds[$which]}" "$seconds")"
    fps="$(awk '/^frames per second/ { print $4 }' <<< "$out")"
    cpu="$(awk '/^processor per frame/ { print $4 }' <<< "$out")"
    label="$([ "$which" = 0 ] && echo A || echo B)"
    echo "round $round  $label  ${fps:-?} fps  ${cpu:-?} ms per frame"
    echo "$label ${fps:-nan} ${cpu:-nan}" >> "$results"
  done
done

awk -v a="${builds[0]}" -v b="${builds[1]}" '
  function median(list, n,    i, j, t) {
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  { if ($1 == "A") { fa[++na] = $2; ca[na] = $3 } else { fb[++nb] = $2; cb[nb] = $3 } }
  END {
    printf "median  A %.1f fps, %.2f ms per frame  (%s)\n", median(fa, na), median(ca, na), a
    printf "median  B %.1f fps, %.2f ms per frame  (%s)\n", median(fb, nb), median(cb, nb), b
  }' "$results"
