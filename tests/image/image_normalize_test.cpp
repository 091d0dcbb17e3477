#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
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

// A run-length 8-bit record with `colors` palette entries (entry i is
// (i, i, i)) followed by the stream.
ImageRecord Rle8(int32_t w, int32_t h, uint32_t colors, std::initializer_list<uint8_t> stream) {
  Bytes b = InfoHeader(w, h, 8, kBiRle8, colors, static_cast<uint32_t>(stream.size()), 11, 22);
  for (uint32_t i = 0; i < (colors ? colors : 256); ++i) {
    const auto v = static_cast<uint8_t>(i);
    b.bgr0(v, v, v);
  }
  b.raw(stream);
  return b.record();
}

ImageRecord Rle4(int32_t w, int32_t h, uint32_t colors, std::initializer_list<uint8_t> stream) {
  Bytes b = InfoHeader(w, h, 4, kBiRle4, colors, static_cast<uint32_t>(stream.size()));
  for (uint32_t i = 0; i < (colors ? colors : 16); ++i) b.bgr0(static_cast<uint8_t>(i), 0, 0);
  b.raw(stream);
  return b.record();
}

ImageRecord Decoded(const ImageRecord& r) {
  auto n = NormalizeImage(r);
  EXPECT_TRUE(n.ok());
  if (!n.ok() || n->same()) {
    ADD_FAILURE() << "not decoded";
    return ImageRecord();
  }
  return std::move(n->record());
}

TEST(RunLength8, RunsLiteralsEndOfRowAndEarlyEnd) {
  // Colours used 4: index 9 is beyond the palette and becomes 0.
  const ImageRecord src = Rle8(4, 4, 4,
                               {3, 1, 0, 0,                 // row 0: 1 1 1, rest zero
                                0, 3, 2, 3, 9, 0, 1, 3, 0, 0,  // row 1: literal 2 3 9 (+pad), run 3
                                0, 1,                        // end of picture before rows 2, 3
                                5, 5});
  const ImageRecord r = Decoded(src);
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(ImageCompression(r), 0u);
  EXPECT_EQ(ImageBitCount(r), 8);
  EXPECT_EQ(GetU32(r.data() + 20), 16u);  // image size: the decoded size
  EXPECT_EQ(GetI32(r.data() + 24), 11);
  EXPECT_EQ(GetU32(r.data() + 32), 4u);
  EXPECT_EQ(ImagePaletteEntry(r, 3), (Rgb{3, 3, 3}));
  EXPECT_EQ(r.size(), 40u + 16u + 16u);
  EXPECT_EQ(RowBytes(r, 0), (Row{1, 1, 1, 0}));
  EXPECT_EQ(RowBytes(r, 1), (Row{2, 3, 0, 3}));
  EXPECT_EQ(RowBytes(r, 2), (Row{0, 0, 0, 0}));
  EXPECT_EQ(RowBytes(r, 3), (Row{0, 0, 0, 0}));
}

TEST(RunLength8, OddLiteralsArePaddedToWholePairs) {
  const ImageRecord r = Decoded(Rle8(8, 1, 0, {0, 3, 10, 11, 12, 0xEE, 0, 4, 13, 14, 15, 16, 2, 17, 0, 1}));
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(RowBytes(r, 0), (Row{10, 11, 12, 13, 14, 15, 16, 17}));
}

TEST(RunLength8, RunsAndLiteralsAreClippedToTheirRow) {
  // Width 3 (stride 4): a run of 5 must neither fill the pad byte nor spill
  // into the next row; likewise a literal of 4.
  const ImageRecord r = Decoded(Rle8(3, 3, 0, {5, 7, 0, 0, 2, 8, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1}));
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(RowBytes(r, 0), (Row{7, 7, 7, 0}));
  EXPECT_EQ(RowBytes(r, 1), (Row{8, 8, 0, 0}));
  EXPECT_EQ(RowBytes(r, 2), (Row{1, 2, 3, 0}));

  // Without any end-of-row, pixels beyond the width are dropped, not wrapped.
  const ImageRecord r2 = Decoded(Rle8(2, 2, 0, {255, 9, 255, 9, 0, 4, 1, 2, 3, 4}));
  ASSERT_FALSE(r2.empty());
  EXPECT_EQ(RowBytes(r2, 0), (Row{9, 9, 0, 0}));
  EXPECT_EQ(RowBytes(r2, 1), (Row{0, 0, 0, 0}));
}

TEST(RunLength8, DeltaMovesRightAndUpLeavingZeros) {
  const ImageRecord r = Decoded(Rle8(4, 3, 0, {1, 1, 0, 2, 2, 1, 1, 2, 0, 0, 1, 3, 0, 1}));
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(RowBytes(r, 0), (Row{1, 0, 0, 0}));
  EXPECT_EQ(RowBytes(r, 1), (Row{0, 0, 0, 2}));
  EXPECT_EQ(RowBytes(r, 2), (Row{3, 0, 0, 0}));

  // A delta beyond the picture ends decoding; one beyond the row drops the
  // rest of that row.
  const ImageRecord out = Decoded(Rle8(2, 2, 0, {1, 4, 0, 2, 0, 9, 1, 5}));
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(RowBytes(out, 0), (Row{4, 0, 0, 0}));
  EXPECT_EQ(RowBytes(out, 1), (Row{0, 0, 0, 0}));
  const ImageRecord wide = Decoded(Rle8(2, 2, 0, {0, 2, 200, 0, 1, 6, 0, 0, 1, 7}));
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(RowBytes(wide, 0), (Row{0, 0, 0, 0}));
  EXPECT_EQ(RowBytes(wide, 1), (Row{7, 0, 0, 0}));
}

TEST(RunLength8, TruncatedStreamsKeepWhatTheyHeld) {
  // Delta cut after its first byte.
  const ImageRecord a = Decoded(Rle8(2, 1, 0, {1, 6, 0, 2, 1}));
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(RowBytes(a, 0), (Row{6, 0, 0, 0}));
  // Literal of 5 with only 2 bytes left.
  const ImageRecord b = Decoded(Rle8(6, 1, 0, {0, 5, 3, 4}));
  ASSERT_FALSE(b.empty());
  EXPECT_EQ(RowBytes(b, 0), (Row{3, 4, 0, 0, 0, 0, 0, 0}));
  // A lone trailing byte and a stream without any end marker.
  const ImageRecord c = Decoded(Rle8(2, 3, 0, {2, 1, 0, 0, 1, 2, 0}));
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(RowBytes(c, 0), (Row{1, 1, 0, 0}));
  EXPECT_EQ(RowBytes(c, 1), (Row{2, 0, 0, 0}));
  // More rows in the stream than the picture has.
  const ImageRecord d = Decoded(Rle8(1, 1, 0, {1, 1, 0, 0, 1, 2, 0, 0, 1, 3}));
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(RowBytes(d, 0), (Row{1, 0, 0, 0}));
  // Palette cut short: no stream at all, missing entries black.
  Bytes e = InfoHeader(2, 2, 8, kBiRle8);
  e.bgr0(1, 2, 3).zeros(10);
  const ImageRecord re = Decoded(e.record());
  ASSERT_FALSE(re.empty());
  EXPECT_EQ(ImagePaletteEntry(re, 0), (Rgb{1, 2, 3}));
  EXPECT_EQ(ImagePaletteEntry(re, 4), Rgb{});
  EXPECT_EQ(RowBytes(re, 1), (Row{0, 0, 0, 0}));
}

TEST(RunLength4, NibblesAlternateHighFirst) {
  const ImageRecord r = Decoded(Rle4(8, 2, 0,
                                     {5, 0x12, 0, 3, 0x34, 0x50, 0, 0,          // 1 2 1 2 1 | 3 4 5
                                      0, 5, 0x67, 0x89, 0xA0, 0, 3, 0xBC, 0, 1}));  // 6 7 8 9 A | B C B
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(ImageBitCount(r), 4);
  EXPECT_EQ(ImageCompression(r), 0u);
  EXPECT_EQ(GetU32(r.data() + 20), 8u);
  EXPECT_EQ(ImagePaletteEntry(r, 15), (Rgb{15, 0, 0}));
  EXPECT_EQ(RowBytes(r, 0), (Row{0x12, 0x12, 0x13, 0x45}));
  EXPECT_EQ(RowBytes(r, 1), (Row{0x67, 0x89, 0xAB, 0xCB}));
}

TEST(RunLength4, ClippingAndIndexesBeyondThePalette) {
  // Width 3: the fourth nibble of the run is dropped. Colours used 3: the
  // literal's 5 and 15 become 0.
  const ImageRecord r = Decoded(Rle4(3, 2, 3, {4, 0x12, 0, 0, 0, 3, 0x25, 0xF0, 0, 1}));
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(RowBytes(r, 0), (Row{0x12, 0x10, 0, 0}));
  EXPECT_EQ(RowBytes(r, 1), (Row{0x20, 0x00, 0, 0}));
}

TEST(NormalizeImage, LeavesOtherRecordsAlone) {
  const ImageRecord plain = InfoHeader(1, 1, 24).zeros(4).record();
  auto n = NormalizeImage(plain);
  ASSERT_TRUE(n.ok());
  EXPECT_TRUE(n->same());
  // Compression and bit count disagree.
  EXPECT_TRUE(NormalizeImage(InfoHeader(2, 2, 4, kBiRle8).zeros(70).record())->same());
  EXPECT_TRUE(NormalizeImage(InfoHeader(2, 2, 8, kBiRle4).zeros(1030).record())->same());
  // The core form is converted elsewhere, even at 16 bits.
  EXPECT_TRUE(NormalizeImage(CoreHeader(1, 1, 16).zeros(4).record())->same());
  EXPECT_TRUE(NormalizeImage(ImageRecord())->same());
  // A run-length picture stored top-down cannot be decoded.
  EXPECT_EQ(NormalizeImage(Rle8(2, -2, 0, {0, 1})).message(), err::kCreateBitmap);
}

// 16 and 32-bit pictures -----------------------------------------------------

TEST(NormalizeMasks, FiveSixFiveToFullColour) {
  // Width 5: 10 pixel bytes + 2 pad; the pad must not become a pixel.
  Bytes b = InfoHeader(5, 1, 16, kBiBitfields, 0, 0, 100, 200);
  b.u32(0xF800).u32(0x07E0).u32(0x001F);
  b.u16(0xFFFF).u16(0xF800).u16(0x07E0).u16(0x001F).u16(0x0821).u16(0xFFFF);
  auto n = NormalizeImage(b.record());
  ASSERT_TRUE(n.ok());
  ASSERT_FALSE(n->same());
  const ImageRecord& r = n->record();
  EXPECT_EQ(ImageHeaderSize(r), 40u);
  EXPECT_EQ(ImageBitCount(r), 24);
  EXPECT_EQ(ImageCompression(r), 0u);
  EXPECT_EQ(ImageColorCount(r), 0u);
  EXPECT_EQ(GetI32(r.data() + 28), 200);
  EXPECT_EQ(ImagePixelOffset(r), 40u);
  EXPECT_EQ(r.size(), 40u + 16u);
  EXPECT_EQ(Pixel24(r, 0, 0), (Rgb{248, 252, 248}));
  EXPECT_EQ(Pixel24(r, 1, 0), (Rgb{0, 0, 248}));
  EXPECT_EQ(Pixel24(r, 2, 0), (Rgb{0, 252, 0}));
  EXPECT_EQ(Pixel24(r, 3, 0), (Rgb{248, 0, 0}));
  EXPECT_EQ(Pixel24(r, 4, 0), (Rgb{8, 4, 8}));
  EXPECT_EQ(r.data()[40 + 15], 0);
}

TEST(NormalizeMasks, FiveFiveFiveByDefaultOrByMasks) {
  const uint16_t px[] = {0x7FFF, 0x7C00, 0x03E0, 0x0421};
  const Rgb expect[] = {{248, 248, 248}, {0, 0, 248}, {0, 248, 0}, {8, 8, 8}};
  Bytes plain = InfoHeader(4, 1, 16);
  Bytes masked = InfoHeader(4, 1, 16, kBiBitfields);
  masked.u32(0x7C00).u32(0x03E0).u32(0x001F);
  for (uint16_t v : px) {
    plain.u16(v);
    masked.u16(v);
  }
  for (const Bytes* b : {&plain, &masked}) {
    auto n = NormalizeImage(b->record());
    ASSERT_TRUE(n.ok());
    ASSERT_FALSE(n->same());
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel24(n->record(), x, 0), expect[x]) << x;
  }
  // Masks of any other layout are left as they are.
  Bytes other = InfoHeader(1, 1, 16, kBiBitfields);
  other.u32(0x0F00).u32(0x00F0).u32(0x000F).u16(0x0FFF).u16(0);
  EXPECT_TRUE(NormalizeImage(other.record())->same());
  // So is a record too short to hold its masks.
  EXPECT_TRUE(NormalizeImage(InfoHeader(1, 1, 16, kBiBitfields).u32(0xF800).record())->same());
}

TEST(NormalizeMasks, ThirtyTwoBitsAndLongHeaders) {
  Bytes plain = InfoHeader(2, 1, 32);
  plain.raw({1, 2, 3, 0xFF, 4, 5, 6, 0x80});
  auto a = NormalizeImage(plain.record());
  ASSERT_TRUE(a.ok() && !a->same());
  EXPECT_EQ(Pixel24(a->record(), 0, 0), (Rgb{1, 2, 3}));
  EXPECT_EQ(Pixel24(a->record(), 1, 0), (Rgb{4, 5, 6}));
  EXPECT_EQ(RowBytes(a->record(), 0), (Row{1, 2, 3, 4, 5, 6, 0, 0}));

  Bytes standard = InfoHeader(1, 1, 32, kBiBitfields);
  standard.u32(0xFF0000).u32(0xFF00).u32(0xFF).raw({7, 8, 9, 0});
  auto b = NormalizeImage(standard.record());
  ASSERT_TRUE(b.ok() && !b->same());
  EXPECT_EQ(Pixel24(b->record(), 0, 0), (Rgb{7, 8, 9}));

  Bytes swapped = InfoHeader(1, 1, 32, kBiBitfields);
  swapped.u32(0xFF).u32(0xFF00).u32(0xFF0000).raw({7, 8, 9, 0});
  EXPECT_TRUE(NormalizeImage(swapped.record())->same());

  // A 124-byte header carries its masks at the same place, inside itself.
  Bytes v5;
  v5.u32(124).i32(1).i32(1).u16(1).u16(16).u32(kBiBitfields).zeros(20);
  v5.u32(0xF800).u32(0x07E0).u32(0x001F).zeros(124 - 52).u16(0x001F).u16(0);
  auto c = NormalizeImage(v5.record());
  ASSERT_TRUE(c.ok() && !c->same());
  EXPECT_EQ(ImageHeaderSize(c->record()), 40u);
  EXPECT_EQ(Pixel24(c->record(), 0, 0), (Rgb{248, 0, 0}));
}

TEST(NormalizeMasks, ShortDataAndTopDownRows) {
  // 4 × 2 at 16 bits with only three pixels present.
  Bytes b = InfoHeader(4, 2, 16);
  b.u16(0x7FFF).u16(0x7FFF).u16(0x7FFF);
  auto n = NormalizeImage(b.record());
  ASSERT_TRUE(n.ok() && !n->same());
  EXPECT_EQ(Pixel24(n->record(), 2, 0), (Rgb{248, 248, 248}));
  EXPECT_EQ(Pixel24(n->record(), 3, 0), Rgb{});
  EXPECT_EQ(Pixel24(n->record(), 0, 1), Rgb{});

  // Top-down rows stay in stored order, and the height keeps its sign.
  Bytes td = InfoHeader(1, -2, 32);
  td.raw({1, 1, 1, 0, 2, 2, 2, 0});
  auto t = NormalizeImage(td.record());
  ASSERT_TRUE(t.ok() && !t->same());
  EXPECT_EQ(ImageHeight(t->record()), -2);
  EXPECT_EQ(Pixel24(t->record(), 0, 1), (Rgb{2, 2, 2}));
}

}  // namespace
}  // namespace fq

namespace fq {
namespace {

// Damaged records of every kind go through every operation; the sanitizers
// report any read or write outside a block.
TEST(ImageRecordRobustness, RandomDamageStaysInsideTheBlocks) {
  std::mt19937 rng(99);
  const uint16_t depths[] = {1, 4, 8, 16, 24, 32};
  for (int round = 0; round < 3000; ++round) {
    const uint16_t bits = depths[rng() % 6];
    const uint32_t compression = rng() % 4;
    Bytes b = rng() % 8 == 0 ? CoreHeader(static_cast<uint16_t>(1 + rng() % 9), static_cast<uint16_t>(1 + rng() % 9), bits)
                             : InfoHeader(static_cast<int32_t>(1 + rng() % 9), static_cast<int32_t>(rng() % 20) - 4, bits,
                                          compression, rng() % 3 == 0 ? rng() % 300 : 0);
    const size_t tail = rng() % 1400;
    for (size_t i = 0; i < tail; ++i) b.u8(static_cast<uint8_t>(rng() % 4 == 0 ? rng() % 4 : rng()));
    const ImageRecord r = b.record();
    (void)ImageBits(r);
    (void)ImageHasAllRows(r);
    (void)ImagePaletteEntry(r, static_cast<uint32_t>(rng() % 300));
    auto n = NormalizeImage(r);
    if (n.ok() && !n->same()) {
      EXPECT_TRUE(ImageHasAllRows(n->record()));
      EXPECT_EQ(ImageCompression(n->record()), 0u);
    }
    (void)Expand8To24(r);
    (void)CoreToInfo(r);
    auto s = ResampleBilinear(r, static_cast<int32_t>(1 + rng() % 12), static_cast<int32_t>(1 + rng() % 12));
    if (s.ok()) {
      EXPECT_TRUE(ImageHasAllRows(*s));
    }
    DeviceBitmapReader none;
    (void)ConvertForSave(r, rng() % 2 ? 8 : 24, none);
  }
}

}  // namespace
}  // namespace fq
