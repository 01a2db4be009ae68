#ifndef FOUNTAIN_BENCH_FRAMEINTERVALS_H
#define FOUNTAIN_BENCH_FRAMEINTERVALS_H

// How evenly the frames follow one another. The average frame rate hides a
// frame now and then that takes three times as long, which a viewer sees as
// a jerk in the water; the times between consecutive frames show it.

#include <cstddef>
#include <vector>

struct FrameIntervalSummary {
  std::size_t count = 0;     // intervals summarized
  double median = 0.0;       // milliseconds
  double percentile95 = 0.0; // 95 % of the intervals are this long or shorter
  double percentile99 = 0.0;
  double longest = 0.0;
  double shareWithin = 0.0;  // fraction of the intervals within the limit given
};

// Summarizes intervals in milliseconds, in any order; percentiles by nearest
// rank, so each is one of the intervals. limit is the interval a frame rate
// asks for (1000 / 60 ms for 60 frames a second). No intervals give zeros.
FrameIntervalSummary summarizeFrameIntervals(std::vector<double> intervals, double limit);

#endif
