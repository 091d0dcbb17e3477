#include "base/status_timing.h"

#include <gtest/gtest.h>

namespace fq::camera {
namespace {

TEST(StatusTiming, QuietPeriodBetweenConnections) {
  EXPECT_EQ(QuietPeriodLeft(false, 1000, 1500), 0u);  // first connection of the run
  EXPECT_EQ(QuietPeriodLeft(true, 1000, 1500), 7500u);
  EXPECT_EQ(QuietPeriodLeft(true, 1000, 9000), 0u);
  EXPECT_EQ(QuietPeriodLeft(true, 1000, 20000), 0u);
  // The tick counter wrapped between removal and the next connection.
  EXPECT_EQ(QuietPeriodLeft(true, 0xFFFFFF00u, 0x100u), 8000u - 0x200u);
}

TEST(StatusTiming, BlinkOnOddTicks) {
  EXPECT_TRUE(BlinkShowsText(1));
  EXPECT_FALSE(BlinkShowsText(2));
  EXPECT_TRUE(BlinkShowsText(3));
  EXPECT_FALSE(BlinkShowsText(4));
}

}  // namespace
}  // namespace fq::camera
