// The host's share of the machine's time that the fountain benchmark prints.

#include "HostTime.h"

#include <gtest/gtest.h>

TEST(HostTime, ReadsTheAggregateLineAndItsSteal)
{
  // A whole /proc/stat: only the first line counts, and the guest columns
  // (already in user and nice) are not added again.
  const MachineTimes t = parseMachineTimes(
      "cpu  100 5 40 800 20 1 4 30 7 0\ncpu0 50 2 20 400 10 0 2 15 3 0\nintr 12345\n");
  ASSERT_TRUE(t.valid);
  EXPECT_EQ(t.total, 1000u);
  EXPECT_EQ(t.idle, 820u);
  EXPECT_EQ(t.steal, 30u);

  // A kernel without the steal column: no steal, the rest still counts.
  const MachineTimes old = parseMachineTimes("cpu  100 0 50 850 0 0 0\ncpu0 1 2 3 4 5 6 7 8\n");
  ASSERT_TRUE(old.valid);
  EXPECT_EQ(old.total, 1000u);
  EXPECT_EQ(old.steal, 0u);

  EXPECT_FALSE(parseMachineTimes("").valid);
  EXPECT_FALSE(parseMachineTimes("cpu0 1 2 3 4 5 6 7 8\n").valid);
  EXPECT_FALSE(parseMachineTimes("cpu  1 2\n").valid);
}

TEST(HostTime, SharesOnlyBetweenTwoValidReadingsInOrder)
{
  MachineTimes before, after;
  before.valid = after.valid = true;
  before.total = 1000;
  before.idle = 300;
  before.steal = 10;
  after.total = 1400;
  after.idle = 400;
  after.steal = 50;

  double steal = -1.0, idle = -1.0;
  ASSERT_TRUE(hostShares(before, after, steal, idle));
  EXPECT_DOUBLE_EQ(steal, 0.1);
  EXPECT_DOUBLE_EQ(idle, 0.25);

  // No time between them, the readings swapped, or one unreadable: no
  // figure rather than a division by zero or a wrapped difference.
  EXPECT_FALSE(hostShares(before, before, steal, idle));
  EXPECT_FALSE(hostShares(after, before, steal, idle));
  after.valid = false;
  EXPECT_FALSE(hostShares(before, after, steal, idle));
}
