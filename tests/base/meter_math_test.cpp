#include "base/meter_math.h"

#include <gtest/gtest.h>

namespace fq::meter {
namespace {

TEST(MeterMath, PartOfTheRange) {
  MeterView v = ComputeMeter(25, 13, 200);
  EXPECT_EQ(v.percent, 52);
  EXPECT_EQ(v.split_x, 104);  // 52 % of 200
  EXPECT_EQ(MeterText(v.percent), "52%");
  v = ComputeMeter(25, 13, 201);
  EXPECT_EQ(v.split_x, 104);  // 13 * 201 / 25 = 104.52, truncated
  v = ComputeMeter(3, 1, 100);
  EXPECT_EQ(v.percent, 33);
  EXPECT_EQ(v.split_x, 33);
}

TEST(MeterMath, EmptyFullAndZeroRange) {
  EXPECT_EQ(ComputeMeter(100, 0, 150).split_x, 0);
  EXPECT_EQ(ComputeMeter(100, 100, 150).split_x, 150);
  EXPECT_EQ(MeterText(ComputeMeter(100, 100, 150).percent), "100%");
  MeterView z = ComputeMeter(0, 13, 150);  // painted as range 100, position 0
  EXPECT_EQ(z.percent, 0);
  EXPECT_EQ(z.split_x, 0);
  EXPECT_EQ(MeterText(z.percent), "0%");
  EXPECT_EQ(ComputeMeter(-5, 3, 150).split_x, 0);
}

TEST(MeterMath, LargeAndOverfullPositions) {
  // Block counts of large files: no overflow in position * width.
  MeterView v = ComputeMeter(262144, 131072, 40000);
  EXPECT_EQ(v.percent, 50);
  EXPECT_EQ(v.split_x, 20000);
  v = ComputeMeter(25, 30, 200);  // past the end: text says so, bar stays inside
  EXPECT_EQ(v.percent, 120);
  EXPECT_EQ(v.split_x, 200);
  EXPECT_EQ(ComputeMeter(25, 13, 0).split_x, 0);
}

TEST(MeterMath, TextIsCentredVertically) {
  EXPECT_EQ(TextTop(20, 12), 4);
  EXPECT_EQ(TextTop(21, 12), 4);
  EXPECT_EQ(TextTop(10, 16), -3);
}

}  // namespace
}  // namespace fq::meter
