#include "FrameIntervals.h"

#include <algorithm>

namespace {

// The smallest interval with at least percent % of all at or below it.
double
nearestRank(const std::vector<double> & sorted, std::size_t percent)
{
  const std::size_t rank = (percent * sorted.size() + 99) / 100;
  return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}

FrameIntervalSummary
summarizeFrameIntervals(std::vector<double> intervals, double limit)
{
  FrameIntervalSummary summary;
  if (intervals.empty()) return summary;
  std::sort(intervals.begin(), intervals.end());
  summary.count = intervals.size();
  summary.median = nearestRank(intervals, 50);
  summary.percentile95 = nearestRank(intervals, 95);
  summary.percentile99 = nearestRank(intervals, 99);
  summary.longest = intervals.back();
  const auto within = std::upper_bound(intervals.begin(), intervals.end(), limit);
  summary.shareWithin = double(within - intervals.begin()) / double(intervals.size());
  return summary;
}
