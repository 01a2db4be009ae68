// The summary of the cores' stalls that the stall probe prints.

#include "CoreStalls.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CoreStalls, EveryCoreStandsStillOnlyWhereAllStallsOverlap)
{
  // Core 0 stands 1.0-1.3 s and 5.0-5.1; core 1 stands 1.2-1.5, 3.0-3.2
  // and 5.1-5.2, given out of order. Only 1.2-1.3 has both standing; stalls
  // that merely touch at 5.1 do not overlap.
  const std::vector<CoreStall> stalls = {
    { 1, 3.0, 3.2 }, { 0, 5.0, 5.1 }, { 1, 1.2, 1.5 }, { 0, 1.0, 1.3 }, { 1, 5.1, 5.2 },
  };
  const StallSummary s = summarizeStalls(stalls, 2);
  EXPECT_EQ(s.countPerCore, (std::vector<std::size_t>{ 2, 3 }));
  EXPECT_DOUBLE_EQ(s.longestPerCore[0], 0.3);
  EXPECT_DOUBLE_EQ(s.longestPerCore[1], 0.3);
  ASSERT_EQ(s.everyCore.size(), 1u);
  EXPECT_EQ(s.everyCore[0].core, 2u);
  EXPECT_DOUBLE_EQ(s.everyCore[0].start, 1.2);
  EXPECT_DOUBLE_EQ(s.everyCore[0].end, 1.3);

  // A third core that never stalls: no time has all three standing.
  const StallSummary three = summarizeStalls(stalls, 3);
  EXPECT_TRUE(three.everyCore.empty());
  EXPECT_EQ(three.countPerCore[2], 0u);
  EXPECT_EQ(three.longestPerCore[2], 0.0);
}

TEST(CoreStalls, OneCoreAndStallsThatCannotBeCounted)
{
  // On one core each stall is the whole machine's. A stall of a core past
  // the count, or one that ends before it starts, is left out, not counted
  // on some other core.
  const StallSummary s =
    summarizeStalls({ { 0, 2.0, 2.5 }, { 0, 0.5, 0.6 }, { 1, 1.0, 9.0 }, { 0, 4.0, 3.0 } }, 1);
  EXPECT_EQ(s.countPerCore, (std::vector<std::size_t>{ 2 }));
  EXPECT_DOUBLE_EQ(s.longestPerCore[0], 0.5);
  ASSERT_EQ(s.everyCore.size(), 2u);
  EXPECT_DOUBLE_EQ(s.everyCore[0].start, 0.5);
  EXPECT_DOUBLE_EQ(s.everyCore[1].end, 2.5);

  EXPECT_TRUE(summarizeStalls({}, 2).everyCore.empty());
  EXPECT_TRUE(summarizeStalls({ { 0, 1.0, 2.0 } }, 0).countPerCore.empty());
}
