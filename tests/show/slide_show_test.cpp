#include "show/slide_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace fq::show {
namespace {

constexpr int W = 1280, H = 1024;

TEST(SlideDestination, LargerPicturesAreReducedInBothModesSmallerEnlargedOnlyInFullSize) {
  for (int mode : {kSizeFullScreen, kSizeOwn}) {
    // Landscape wider than the screen: the width decides, centred vertically.
    EXPECT_EQ(SlideDestination(W, H, 2048, 1536, mode), (SlideRect{0, 32, 1280, 960})) << mode;
    // Landscape too tall once scaled to the width: the height decides,
    // centred horizontally at the top.
    EXPECT_EQ(SlideDestination(W, H, 1300, 1200, mode), (SlideRect{85, 0, 1109, 1024})) << mode;
    // Portrait: the height, centred horizontally at the top.
    EXPECT_EQ(SlideDestination(W, H, 1536, 2048, mode), (SlideRect{256, 0, 768, 1024})) << mode;
  }
  EXPECT_EQ(SlideDestination(W, H, 640, 480, kSizeFullScreen), (SlideRect{0, 32, 1280, 960}));
  EXPECT_EQ(SlideDestination(W, H, 480, 640, kSizeFullScreen), (SlideRect{256, 0, 768, 1024}));
  EXPECT_EQ(SlideDestination(W, H, 640, 480, kSizeOwn), (SlideRect{320, 272, 640, 480}));
  EXPECT_EQ(SlideDestination(W, H, 480, 640, kSizeOwn), (SlideRect{400, 192, 480, 640}));
  // The largest picture the program takes: no overflow on the way.
  EXPECT_EQ(SlideDestination(W, H, 65535, 65535, kSizeOwn), (SlideRect{128, 0, 1024, 1024}));
  // A portrait picture on a portrait screen narrower than its proportions
  // stays on the screen.
  const SlideRect r = SlideDestination(600, 1000, 800, 900, kSizeFullScreen);
  EXPECT_LE(r.x + r.width, 600);
  EXPECT_EQ(r.width, 600);
}

// A 24-bit picture whose pixel (x, y) (y from the bottom row) is (x, y, 7).
ImageRecord Numbered(int w, int h, int bits = 24) {
  auto r = ImageRecord::Create(w, h, static_cast<uint16_t>(bits), bits == 8 ? 3 : 0);
  EXPECT_TRUE(r.ok());
  const uint64_t stride = ImageRowStride(w, bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = ImageBits(*r) + y * stride + x * (bits / 8);
      if (bits == 24) {
        p[0] = static_cast<uint8_t>(x);
        p[1] = static_cast<uint8_t>(y);
        p[2] = 7;
      } else {
        p[0] = static_cast<uint8_t>((x + y) % 3);
      }
    }
  return std::move(r).value();
}

const uint8_t* At(const ImageRecord& r, int x, int y) {
  return ImageBits(r) + y * ImageRowStride(ImageWidth(r), ImageBitCount(r)) + x * (ImageBitCount(r) / 8);
}

// The colour-on-colour stretch repeats or drops whole pixels: enlarged by 3
// each source pixel fills a 3 × 3 block; halved, each output pixel is the
// source pixel under its centre; the same size is a copy.
TEST(ScaleForSlide, RepeatsOrDropsWholePixelsAndKeepsThePalette) {
  const ImageRecord src = Numbered(5, 4);
  auto big = ScaleForSlide(src, 15, 12);
  ASSERT_TRUE(big.ok());
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 15; ++x) {
      ASSERT_EQ(At(*big, x, y)[0], x / 3) << x << "," << y;
      ASSERT_EQ(At(*big, x, y)[1], y / 3) << x << "," << y;
    }
  const ImageRecord even = Numbered(6, 4);
  auto half = ScaleForSlide(even, 3, 2);
  ASSERT_TRUE(half.ok());
  EXPECT_EQ(At(*half, 0, 0)[0], 1);
  EXPECT_EQ(At(*half, 2, 1)[0], 5);
  EXPECT_EQ(At(*half, 2, 1)[1], 3);
  auto same = ScaleForSlide(src, 5, 4);
  ASSERT_TRUE(same.ok());
  EXPECT_TRUE(std::equal(ImageBits(*same), ImageBits(*same) + 4 * ImageRowStride(5, 24), ImageBits(src)));

  const ImageRecord pal = Numbered(2, 2, 8);
  auto p = ScaleForSlide(pal, 4, 4);
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(ImageBitCount(*p), 8);
  EXPECT_EQ(ImageColorCount(*p), 3u);
  EXPECT_EQ(*At(*p, 3, 3), (1 + 1) % 3);
  EXPECT_FALSE(ScaleForSlide(src, 0, 4).ok());
}

TEST(SlideOrder, AlbumOrderWrapsBothWaysAndOnePictureStays) {
  SlideOrder order(3, false, {});
  EXPECT_EQ(order.First(12345), 0);
  EXPECT_EQ(order.Previous(), 2);
  EXPECT_EQ(order.Previous(), 1);
  EXPECT_EQ(order.Next(), 2);
  EXPECT_EQ(order.Next(), 0);

  for (bool random : {false, true}) {
    SlideOrder one(1, random, [] { return 7u; });
    EXPECT_EQ(one.First(99), 0);
    EXPECT_EQ(one.Next(), 0);
    EXPECT_FALSE(one.Previous().has_value());
    EXPECT_EQ(one.current(), 0);
  }
}

// Three pictures in random order: each once, whatever the generator gives
// (also one stuck on a single value), then the first picture of the album.
TEST(SlideOrder, RandomOrderShowsEachPictureOnceThenTheFirst) {
  const std::vector<std::vector<uint32_t>> generators = {
      {5, 5, 5, 5, 5, 5, 5, 5}, {0, 1, 2, 0, 1, 2}, {2, 2, 1, 1, 0, 0, 7, 8}, {4, 9, 13, 40}};
  for (uint32_t ticks : {0u, 1u, 2u, 1000u}) {
    for (const auto& numbers : generators) {
      size_t at = 0;
      SlideOrder order(3, true, [&] { return numbers[at++ % numbers.size()]; });
      std::set<int> seen = {order.First(ticks)};
      EXPECT_EQ(order.current(), static_cast<int>(ticks % 3));
      int before = order.current();
      for (int i = 0; i < 2; ++i) {
        const int next = order.Next();
        EXPECT_NE(next, before);
        seen.insert(next);
        before = next;
      }
      EXPECT_EQ(seen.size(), 3u) << "ticks " << ticks;
      EXPECT_EQ(order.Next(), 0) << "ticks " << ticks;
      // Previous in random order moves on as Next does.
      const std::optional<int> prev = order.Previous();
      ASSERT_TRUE(prev.has_value());
      EXPECT_NE(*prev, 0);
    }
  }
}

TEST(SlidePeriod, TenSecondsAtZeroShortestAtTenAndOutOfRangeAsZero) {
  EXPECT_EQ(SlidePeriodMs(0), 10000);
  EXPECT_EQ(SlidePeriodMs(9), 1000);
  EXPECT_EQ(SlidePeriodMs(10), 0);
  EXPECT_EQ(SlidePeriodMs(11), 10000);
  settings::SlideShowOptions o;  // what the show reads for a stored 11
  EXPECT_EQ(SlidePeriodMs(o.speed), 10000);
}

}  // namespace
}  // namespace fq::show
