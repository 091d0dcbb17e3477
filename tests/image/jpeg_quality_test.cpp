#include <gtest/gtest.h>

#include "image/jpeg_quality.h"

namespace fq {
namespace {

TEST(JpegQuality, ScaleFollowsTheLibrarysRule) {
  EXPECT_EQ(JpegQualityScale(55), 90);
  EXPECT_EQ(JpegQualityScale(75), 50);
  EXPECT_EQ(JpegQualityScale(95), 10);
  EXPECT_EQ(JpegQualityScale(100), 0);
  EXPECT_EQ(JpegQualityScale(49), 102);
  EXPECT_EQ(JpegQualityScale(1), 5000);
  EXPECT_EQ(JpegQualityScale(0), 5000);  // clamped to 1
  EXPECT_EQ(JpegQualityScale(-20), 5000);
  EXPECT_EQ(JpegQualityScale(130), 0);
}

TEST(JpegQuality, ScaledTablesStayWithinBaseline) {
  auto low = ScaledQuantTable(kJpegLuminanceBase, 55);
  EXPECT_EQ(low[0], 7);   // (8 × 90 + 50) / 100
  EXPECT_EQ(low[60], 55);  // 61, the largest
  auto high = ScaledQuantTable(kJpegLuminanceBase, 95);
  EXPECT_EQ(high[1], 1);  // 5
  EXPECT_EQ(high[0], 1);  // 8
  EXPECT_EQ(high[13], 3);  // 29 → 3.4
  auto worst = ScaledQuantTable(kJpegChrominanceBase, 1);
  EXPECT_EQ(worst[0], 255);  // 8 × 5000 / 100 = 400, clamped
  auto best = ScaledQuantTable(kJpegChrominanceBase, 100);
  for (auto v : best) EXPECT_EQ(v, 1);
}

TEST(JpegQuality, SamplingStrings) {
  using F = SamplingFactors;
  using A = std::array<F, 3>;
  EXPECT_EQ(ParseSampling("2x1,1x1,1x1"), (A{F{2, 1}, F{1, 1}, F{1, 1}}));
  EXPECT_EQ(ParseSampling("4x1,1x1,1x1"), (A{F{4, 1}, F{1, 1}, F{1, 1}}));
  EXPECT_EQ(ParseSampling("1X4,2x2"), (A{F{1, 4}, F{2, 2}, F{1, 1}}));
  for (const char* bad : {"", "2", "2x", "x1", "2x1,", ",2x1", "2x1,1x1,1x1,1x1", "0x1", "5x1",
                          "2x9", "2x1 ,1x1", "-2x1", "2x1;1x1", "22x1", "2*1"})
    EXPECT_FALSE(ParseSampling(bad).has_value()) << bad;
}

TEST(JpegQuality, MeterPositions) {
  EXPECT_EQ(DecodeMeterPosition(0, 1536), 0);
  EXPECT_EQ(DecodeMeterPosition(30, 1536), 0);  // 0.49 steps
  EXPECT_EQ(DecodeMeterPosition(31, 1536), 1);  // 0.50 rounds up
  EXPECT_EQ(DecodeMeterPosition(768, 1536), 13);  // 12.5 rounds up
  EXPECT_EQ(DecodeMeterPosition(1536, 1536), 25);
  EXPECT_EQ(DecodeMeterPosition(3000, 1536), 25);
  EXPECT_EQ(DecodeMeterPosition(1, 1), 25);
  EXPECT_EQ(DecodeHalfMeterPosition(1536, 1536), 12);
  EXPECT_EQ(DecodeHalfMeterPosition(768, 1536), 6);
  EXPECT_EQ(RangeMeterPosition(0, 25, 768, 1536), 13);
  EXPECT_EQ(RangeMeterPosition(12, 25, 0, 100), 12);
  EXPECT_EQ(RangeMeterPosition(12, 25, 100, 100), 25);
  EXPECT_EQ(RangeMeterPosition(40, 70, 50, 100), 55);
  EXPECT_EQ(RangeMeterPosition(10, 20, 300, 100), 30);  // capped at 2 × to − from
  EXPECT_EQ(RangeMeterPosition(0, 50, 65500, 65500), 50);  // no overflow on tall pictures
}

TEST(JpegQuality, SizeClasses) {
  EXPECT_EQ(SizeClassOfLength(0), kSizeClassUnusable);
  EXPECT_EQ(SizeClassOfLength(1), 0);
  EXPECT_EQ(SizeClassOfLength(21504), 0);
  EXPECT_EQ(SizeClassOfLength(21505), 1);
  EXPECT_EQ(SizeClassOfLength(64512), 1);
  EXPECT_EQ(SizeClassOfLength(64513), 2);
  EXPECT_EQ(SizeClassOfLength(131072), 2);
  EXPECT_EQ(SizeClassOfLength(131073), 3);
  EXPECT_EQ(SizeClassOfLength(262144), 3);
  EXPECT_EQ(SizeClassOfLength(262145), kSizeClassUnusable);
}

TEST(JpegQuality, NextQualityFindsTheClassWindow) {
  // Class 1: 70000 is 13680 above the target: 80 lowered by 10.
  QualityStep s = NextQuality(1, 80, 0, 0, 70000);
  EXPECT_FALSE(s.done);
  EXPECT_EQ(s.quality, 70);
  EXPECT_EQ(s.step, -10);
  // 58000 lies inside 51200..64512: done.
  EXPECT_TRUE(NextQuality(1, 70, -10, 0, 58000).done);
  // Still far above after a step of −10: the step shrinks to 5.
  s = NextQuality(1, 70, -10, 0, 70000);
  EXPECT_EQ(s.step, -5);
  EXPECT_EQ(s.quality, 65);
  // Below the target: raised; 5 → 2 → 1 as the previous step shrinks.
  s = NextQuality(1, 60, -5, 0, 40000);
  EXPECT_EQ(s.step, 2);
  EXPECT_EQ(s.quality, 62);
  EXPECT_EQ(NextQuality(1, 60, 2, 0, 40000).step, 1);
  EXPECT_EQ(NextQuality(1, 60, 1, 0, 40000).step, 10);
  // Middle distances (only class 1 has sizes there outside its window).
  EXPECT_EQ(NextQuality(1, 90, 0, 0, 50000).step, 5);
  EXPECT_EQ(NextQuality(1, 90, -5, 0, 65000).step, -2);
  EXPECT_EQ(NextQuality(1, 90, 2, 0, 50000).step, 1);
  EXPECT_EQ(NextQuality(1, 90, 0, 0, 51200).step, 2);  // 5120 from the target
  // Near the target: 2, or 0 after a step of 2 (tried again unchanged).
  EXPECT_EQ(NextQuality(0, 50, 0, 0, 21600).step, -2);
  s = NextQuality(0, 50, -2, 0, 21600);
  EXPECT_FALSE(s.done);
  EXPECT_EQ(s.step, 0);
  EXPECT_EQ(s.quality, 50);
  // Classes 2 and 3 are far from their targets whenever they miss.
  EXPECT_EQ(NextQuality(2, 90, 0, 0, 102400).step, 10);
  EXPECT_EQ(NextQuality(3, 90, 0, 0, 262145).step, -10);
  EXPECT_TRUE(NextQuality(3, 90, 0, 0, 204801).done);
  // Larger than the old file but inside the class: done.
  EXPECT_TRUE(NextQuality(1, 80, 0, 30000, 40000).done);
  EXPECT_FALSE(NextQuality(1, 80, 0, 0, 40000).done);
  EXPECT_FALSE(NextQuality(1, 80, 0, 30000, 70000).done);
  // Class 0: done below 21504, otherwise always lowered.
  EXPECT_TRUE(NextQuality(0, 55, 0, 0, 21503).done);
  s = NextQuality(0, 55, 0, 0, 21504);
  EXPECT_FALSE(s.done);
  EXPECT_EQ(s.step, -2);
  EXPECT_EQ(NextQuality(0, 55, 0, 0, 40000).quality, 45);
  // Never above 100; a quality of 0 counts as done; below 0 is passed on.
  EXPECT_EQ(NextQuality(2, 98, 0, 0, 50000).quality, 100);
  EXPECT_TRUE(NextQuality(0, 10, 0, 0, 90000).done);
  s = NextQuality(0, 5, 0, 0, 90000);
  EXPECT_FALSE(s.done);
  EXPECT_EQ(s.quality, -5);
  // Unknown classes are always done.
  EXPECT_TRUE(NextQuality(7, 80, 0, 0, 1).done);
}

}  // namespace
}  // namespace fq
