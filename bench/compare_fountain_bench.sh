#!/usr/bin/env bash
# Compares two builds of the fountain on this machine: runs fountain-bench
# from each build in turn, alternating them, so that both see the same
# drifts in the machine's speed, and prints each run's frames per second,
# processor time per frame, the machine's yardstick before it (a fixed
# piece of work: a run at a slower moment shows a longer one) and the share
# of the cores' time the host took, then the medians and how many pairs B
# led. A pair in which one run had the host take much more is a poor pair.
#
#   bench/compare_fountain_bench.sh BUILD_A BUILD_B [ROUNDS] [SECONDS] [-- ARGUMENTS]
#
# ROUNDS (default 5) pairs of runs of SECONDS (default 6) each, at the size
# given by SIZE (default 1280x1024). ARGUMENTS go to fountain-bench in every
# run of both builds (for instance --stir). Each build directory must hold
# bench/fountain-bench and its textures/ copy, as a normal build does.
set -euo pipefail

# Without two builds, the comment above is the usage.
[ $# -ge 2 ] || { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
builds=("$1" "$2")
shift 2
rounds=5
seconds=6
if [ $# -gt 0 ] && [ "$1" != "--" ]; then rounds="$1"; shift; fi
if [ $# -gt 0 ] && [ "$1" != "--" ]; then seconds="$1"; shift; fi
[ "${1:-}" = "--" ] && shift
size="${SIZE:-1280x1024}"

results="$(mktemp)"
trap 'rm -f "$results"' EXIT

labels=(A B)
for round in $(seq "$rounds"); do
  for which in 0 1; do
    out="$(SIZES="$size" "$root/bench/run_fountain_bench.sh" "${builds[$which]}" "$seconds" -- "$@")"
    fps="$(awk '/^frames per second/ { print $4 }' <<< "$out")"
    cpu="$(awk '/^processor per frame/ { print $4 }' <<< "$out")"
    yardstick="$(awk '/^machine yardstick/ { print $3 }' <<< "$out")"
    host="$(awk '/^taken by the host/ { print $5 }' <<< "$out")"
    echo "round $round  ${labels[$which]}  ${fps:-?} fps  ${cpu:-?} ms per frame  yardstick ${yardstick:-?} ms  host ${host:-?} %"
    echo "${labels[$which]} ${fps:-nan} ${cpu:-nan}" >> "$results"
  done
done

# The median of column $2 of the lines of build $1.
median() {
  awk -v label="$1" -v column="$2" '$1 == label { print $column }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

for which in 0 1; do
  label="${labels[$which]}"
  printf "median  %s %.1f fps, %.2f ms per frame  (%s)\n" \
    "$label" "$(median "$label" 2)" "$(median "$label" 3)" "${builds[$which]}"
done

# Pair by pair: in how many rounds B drew more frames, and in how many it
# took less processor time a frame (rounds with a failed run are left out).
paste <(awk '$1 == "A"' "$results") <(awk '$1 == "B"' "$results") |
  awk '$2 != "nan" && $5 != "nan" && $3 != "nan" && $6 != "nan" {
         n++; if ($5 > $2) faster++; if ($6 < $3) cheaper++
       }
       END { printf "pairs   B ahead in %d of %d, less processor time in %d of %d\n",
                    faster, n, cheaper, n }'
