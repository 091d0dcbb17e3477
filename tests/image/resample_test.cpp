#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "image/image_record.h"
#include "image/record_test_bytes.h"

namespace fq {
namespace {

using test::Bytes;
using test::CoreHeader;
using test::InfoHeader;
using test::Pixel24;
using test::RowBytes;
using Row = std::vector<uint8_t>;

ImageRecord Random24(int w, int h, std::mt19937& rng) {
  Bytes b = InfoHeader(w, h, 24);
  const uint64_t stride = ImageRowStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (uint64_t i = 0; i < stride; ++i) b.u8(i < uint64_t(3 * w) ? static_cast<uint8_t>(rng()) : 0);
  return b.record();
}

// The interpolation written out pixel by pixel, straight from its definition.
uint8_t ReferenceChannel(const ImageRecord& s, int out_w, int out_h, int x, int y, int c) {
  const int w = ImageWidth(s), h = ImageHeight(s);
  const double sx = x / (static_cast<double>(out_w) / w);
  const double sy = y / (static_cast<double>(out_h) / h);
  const int ix = static_cast<int>(std::trunc(sx)), iy = static_cast<int>(std::trunc(sy));
  const double fx = sx - ix, fy = sy - iy;
  const int rx = ix == w - 1 ? ix : ix + 1;
  const int uy = iy == h - 1 ? iy : iy + 1;
  auto at = [&](int px, int py) -> double {
    const Rgb p = Pixel24(s, px, py);
    return c == 0 ? p.blue : c == 1 ? p.green : p.red;
  };
  const double v = fy * ((1 - fx) * at(ix, uy) + fx * at(rx, uy)) +
                   (1 - fy) * ((1 - fx) * at(ix, iy) + fx * at(rx, iy));
  return static_cast<uint8_t>(std::trunc(v));
}

void ExpectMatchesReference(const ImageRecord& src, int out_w, int out_h) {
  auto r = ResampleBilinear(src, out_w, out_h);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(ImageWidth(*r), out_w);
  ASSERT_EQ(ImageHeight(*r), out_h);
  int mismatches = 0;
  for (int y = 0; y < out_h; ++y) {
    for (int x = 0; x < out_w; ++x) {
      const Rgb got = Pixel24(*r, x, y);
      const uint8_t ch[3] = {got.blue, got.green, got.red};
      for (int c = 0; c < 3; ++c) {
        const uint8_t want = ReferenceChannel(src, out_w, out_h, x, y, c);
        if (ch[c] != want && ++mismatches < 5)
          ADD_FAILURE() << ImageWidth(src) << "x" << ImageHeight(src) << " -> " << out_w << "x" << out_h
                        << " at (" << x << "," << y << ") channel " << c << ": " << int(ch[c])
                        << " want " << int(want);
      }
    }
    // Row padding stays zero.
    const Row row = RowBytes(*r, y);
    for (size_t i = static_cast<size_t>(3 * out_w); i < row.size(); ++i) ASSERT_EQ(row[i], 0);
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(ResampleBilinear, TwoByTwoToFourByFour) {
  // Blue holds the corners 0, 100 (bottom row) and 200, 50 (top row);
  // green is flat; red is 255 everywhere.
  const ImageRecord src = InfoHeader(2, 2, 24)
                              .raw({0, 77, 255, 100, 77, 255, 0, 0})
                              .raw({200, 77, 255, 50, 77, 255, 0, 0})
                              .record();
  auto r = ResampleBilinear(src, 4, 4);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->size(), 40u + 4u * (4u * 3u + 4u));  // 4 spare bytes per row
  EXPECT_EQ(ImageHeaderSize(*r), 40u);
  EXPECT_EQ(ImageBitCount(*r), 24);
  EXPECT_EQ(ImageCompression(*r), 0u);
  EXPECT_EQ(ImageColorCount(*r), 0u);
  const int blue[4][4] = {{0, 50, 100, 100}, {100, 87, 75, 75}, {200, 125, 50, 50}, {200, 125, 50, 50}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(Pixel24(*r, x, y), (Rgb{static_cast<uint8_t>(blue[y][x]), 77, 255})) << x << "," << y;
    }
  }
  for (size_t i = 40 + 4 * 12; i < r->size(); ++i) EXPECT_EQ(r->data()[i], 0);
}

TEST(ResampleBilinear, MatchesTheFormulaOnRandomPictures) {
  std::mt19937 rng(20240607);
  const int sizes[][4] = {{7, 5, 3, 11},  {13, 9, 20, 4}, {1, 1, 5, 3},   {5, 3, 1, 1},
                          {64, 48, 101, 77}, {3, 7, 9, 21}, {100, 3, 33, 3}, {17, 19, 16, 18}};
  for (const auto& s : sizes) {
    const ImageRecord src = Random24(s[0], s[1], rng);
    ExpectMatchesReference(src, s[2], s[3]);
  }
}

TEST(ResampleBilinear, SameSizeIsAnExactCopy) {
  std::mt19937 rng(7);
  for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 4}, std::pair{31, 17}}) {
    const ImageRecord src = Random24(w, h, rng);
    auto r = ResampleBilinear(src, w, h);
    ASSERT_TRUE(r.ok());
    for (int y = 0; y < h; ++y) EXPECT_EQ(RowBytes(*r, y), RowBytes(src, y)) << w << "x" << h << " row " << y;
  }
}

TEST(ResampleBilinear, OtherSourceFormsAreConvertedFirst) {
  // 8 bits: expanded through the palette.
  Bytes b8 = InfoHeader(2, 1, 8, 0, 2);
  b8.bgr0(1, 2, 3).bgr0(4, 5, 6).raw({1, 0, 0, 0});
  auto r8 = ResampleBilinear(b8.record(), 2, 1);
  ASSERT_TRUE(r8.ok());
  EXPECT_EQ(Pixel24(*r8, 0, 0), (Rgb{4, 5, 6}));
  EXPECT_EQ(Pixel24(*r8, 1, 0), (Rgb{1, 2, 3}));

  // Core form at 24 bits.
  auto rc = ResampleBilinear(CoreHeader(1, 1, 24).raw({9, 8, 7, 0}).record(), 2, 2);
  ASSERT_TRUE(rc.ok());
  EXPECT_EQ(Pixel24(*rc, 1, 1), (Rgb{9, 8, 7}));

  // 5-6-5.
  Bytes b16 = InfoHeader(1, 1, 16, kBiBitfields);
  b16.u32(0xF800).u32(0x07E0).u32(0x001F).u16(0xF800).u16(0);
  auto r16 = ResampleBilinear(b16.record(), 1, 1);
  ASSERT_TRUE(r16.ok());
  EXPECT_EQ(Pixel24(*r16, 0, 0), (Rgb{0, 0, 248}));

  // A short block: the missing top row reads as black.
  const ImageRecord cut = InfoHeader(1, 2, 24).raw({50, 60, 70, 0}).record();
  auto rs = ResampleBilinear(cut, 1, 4);
  ASSERT_TRUE(rs.ok());
  EXPECT_EQ(Pixel24(*rs, 0, 0), (Rgb{50, 60, 70}));
  EXPECT_EQ(Pixel24(*rs, 0, 1), (Rgb{25, 30, 35}));
  EXPECT_EQ(Pixel24(*rs, 0, 3), Rgb{});
}

TEST(ResampleBilinear, RefusesWhatItCannotMake) {
  const ImageRecord src = InfoHeader(1, 1, 24).zeros(4).record();
  EXPECT_EQ(ResampleBilinear(src, 0, 4).message(), err::kCreateBitmap);
  EXPECT_EQ(ResampleBilinear(src, 4, -1).message(), err::kCreateBitmap);
  EXPECT_EQ(ResampleBilinear(src, 65536, 1).message(), err::kMemory);
  EXPECT_EQ(ResampleBilinear(ImageRecord(), 4, 4).message(), err::kCreateBitmap);
  Bytes odd = InfoHeader(1, 1, 16, kBiBitfields);
  odd.u32(0x0F00).u32(0x00F0).u32(0x000F).zeros(4);
  EXPECT_EQ(ResampleBilinear(odd.record(), 2, 2).message(), err::kCreateBitmap);
  EXPECT_EQ(ResampleBilinear(InfoHeader(1, -2, 24).zeros(8).record(), 2, 2).message(), err::kCreateBitmap);
}

}  // namespace
}  // namespace fq
