// The summary of the times between frames that the fountain benchmark prints.

#include "FrameIntervals.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FrameIntervals, PercentilesAreIntervalsByNearestRankInAnyOrder)
{
  // 1 .. 100 ms, shuffled by a fixed stride: the 95th percentile of a
  // hundred intervals is the 95th smallest, not one interpolated beside it.
  std::vector<double> intervals;
  for (int i = 0; i < 100; i++) intervals.push_back(double((i * 37) % 100 + 1));
  const FrameIntervalSummary s = summarizeFrameIntervals(intervals, 16.7);
  EXPECT_EQ(s.count, 100u);
  EXPECT_EQ(s.median, 50.0);
  EXPECT_EQ(s.percentile95, 95.0);
  EXPECT_EQ(s.percentile99, 99.0);
  EXPECT_EQ(s.longest, 100.0);
  EXPECT_DOUBLE_EQ(s.shareWithin, 0.16);

  // Few intervals: each percentile still names one of them, the longest at
  // the top, never a place past the end.
  const FrameIntervalSummary three = summarizeFrameIntervals({30.0, 10.0, 20.0}, 20.0);
  EXPECT_EQ(three.median, 20.0);
  EXPECT_EQ(three.percentile95, 30.0);
  EXPECT_EQ(three.percentile99, 30.0);
  EXPECT_DOUBLE_EQ(three.shareWithin, 2.0 / 3.0);  // an interval at the limit is within it

  const FrameIntervalSummary one = summarizeFrameIntervals({12.5}, 16.7);
  EXPECT_EQ(one.median, 12.5);
  EXPECT_EQ(one.percentile99, 12.5);
}

TEST(FrameIntervals, NoFramesGiveZeros)
{
  const FrameIntervalSummary s = summarizeFrameIntervals({}, 16.7);
  EXPECT_EQ(s.count, 0u);
  EXPECT_EQ(s.median, 0.0);
  EXPECT_EQ(s.longest, 0.0);
  EXPECT_EQ(s.shareWithin, 0.0);
}
