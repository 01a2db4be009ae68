#include "CoreStalls.h"

#include <algorithm>
#include <utility>

StallSummary
summarizeStalls(const std::vector<CoreStall> & stalls, std::size_t cores)
{
  StallSummary summary;
  summary.countPerCore.assign(cores, 0);
  summary.longestPerCore.assign(cores, 0.0);

  // Each stall starts (+1) and ends (-1) once; where the count of standing
  // cores reaches all of them, every core stood still. At one time, ends
  // come before starts: stalls that only touch do not overlap.
  std::vector<std::pair<double, int>> edges;
  for (const CoreStall & stall : stalls) {
    if (stall.core >= cores || !(stall.end > stall.start)) continue;
    summary.countPerCore[stall.core]++;
    summary.longestPerCore[stall.core] =
      std::max(summary.longestPerCore[stall.core], stall.end - stall.start);
    edges.emplace_back(stall.start, +1);
    edges.emplace_back(stall.end, -1);
  }
  std::sort(edges.begin(), edges.end());

  std::size_t standing = 0;
  for (const auto & edge : edges) {
    if (edge.second > 0) {
      if (++standing == cores) {
        summary.everyCore.push_back(CoreStall{ cores, edge.first, edge.first });
      }
    } else {
      if (standing-- == cores) summary.everyCore.back().end = edge.first;
    }
  }
  return summary;
}
