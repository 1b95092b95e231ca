// Interval: emptiness, membership and duration, including the infinite intervals.
#include <gtest/gtest.h>

#include "host/Interval.h"

namespace {

TEST(Interval, MembershipAndDuration) {
  struct Case {
    Interval iv;
    bool empty;
    TimeValue duration;
  };
  const Case cases[] = {
      {Interval(0, 159), false, 160},
      {Interval(10, 10), false, 1},
      {Interval(10, 9), true, 0},
      {NEVER, true, 0},
      {Interval(), true, 0},
      {FOREVER, false, TIME_PosInfinity},  // more ticks than an int holds: limited
      {Interval(-100, TIME_PosInfinity), false, TIME_PosInfinity},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.iv.Empty(), c.empty) << c.iv.Start() << ".." << c.iv.End();
    EXPECT_EQ(c.iv.Duration(), c.duration) << c.iv.Start() << ".." << c.iv.End();
  }
  EXPECT_TRUE(Interval(0, 159).InInterval(159));
  EXPECT_FALSE(Interval(0, 159).InInterval(160));
  EXPECT_FALSE(NEVER.InInterval(TIME_NegInfinity));
  EXPECT_TRUE(FOREVER.InInterval(0));
}

}  // namespace
