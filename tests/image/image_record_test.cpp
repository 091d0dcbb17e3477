#include "image/image_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "image/record_test_bytes.h"

namespace fq {
namespace {

using test::Bytes;
using test::CoreHeader;
using test::InfoHeader;
using test::Pixel24;
using test::RowBytes;

TEST(ImageRecordHeader, InfoFormFieldsColoursUsedAndPixelStart) {
  // 3 × 2 at 8 bits with 17 colours: 68 palette bytes, pixels at 108.
  Bytes b = InfoHeader(3, 2, 8, 0, 17, 0, 2835, 2835);
  for (int i = 0; i < 17; ++i) b.bgr0(static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), 0xEE);
  b.raw({1, 2, 3, 0, 4, 5, 6, 0});
  const ImageRecord r = b.record();
  EXPECT_TRUE(ImageIsInfoForm(r));
  EXPECT_FALSE(ImageIsCoreForm(r));
  EXPECT_EQ(ImageHeaderSize(r), 40u);
  EXPECT_EQ(ImageWidth(r), 3);
  EXPECT_EQ(ImageHeight(r), 2);
  EXPECT_EQ(ImageBitCount(r), 8);
  EXPECT_EQ(ImageCompression(r), 0u);
  EXPECT_EQ(ImageColorCount(r), 17u);
  EXPECT_EQ(ImagePaletteBytes(r), 68u);
  EXPECT_EQ(ImagePixelOffset(r), 108u);
  EXPECT_EQ(ImageBits(r), r.data() + 108);
  EXPECT_EQ(ImageBits(r)[4], 4);
  EXPECT_TRUE(ImageHasAllRows(r));
  EXPECT_EQ(ImagePaletteEntry(r, 16), (Rgb{16, 32, 0xEE}));
  EXPECT_EQ(ImagePaletteEntry(r, 17), Rgb{});  // beyond the colour count
}

TEST(ImageRecordHeader, DefaultColourCountsByBitCount) {
  struct Case {
    uint16_t bits;
    uint32_t colors;
  } cases[] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}};
  for (const Case& c : cases) {
    const ImageRecord r = InfoHeader(1, 1, c.bits).zeros(2048).record();
    EXPECT_EQ(ImageColorCount(r), c.colors) << c.bits;
    EXPECT_EQ(ImagePixelOffset(r), 40 + 4 * c.colors) << c.bits;
  }
  // 8 bits, colours used 0: the full 256-entry palette of 1024 bytes.
  const ImageRecord r8 = InfoHeader(1, 1, 8).zeros(1024 + 4).record();
  EXPECT_EQ(ImagePaletteBytes(r8), 1024u);
  // A 24-bit record may carry a palette when colours used says so.
  const ImageRecord r24 = InfoHeader(1, 1, 24, 0, 3).zeros(12 + 4).record();
  EXPECT_EQ(ImagePixelOffset(r24), 52u);
}

TEST(ImageRecordHeader, CoreFormReadsItsOwnLayout) {
  Bytes b = CoreHeader(0x1234, 0x0102, 8);
  for (int i = 0; i < 256; ++i) b.raw({static_cast<uint8_t>(i), 7, 9});
  b.zeros(4);
  const ImageRecord r = b.record();
  EXPECT_TRUE(ImageIsCoreForm(r));
  EXPECT_EQ(ImageWidth(r), 0x1234);
  EXPECT_EQ(ImageHeight(r), 0x0102);
  EXPECT_EQ(ImageBitCount(r), 8);
  EXPECT_EQ(ImageCompression(r), kBiBitfields);  // "convert from the core form first"
  EXPECT_EQ(ImageColorCount(r), 256u);
  EXPECT_EQ(ImagePaletteBytes(r), 768u);
  EXPECT_EQ(ImagePixelOffset(r), 780u);
  EXPECT_EQ(ImagePaletteEntry(r, 200), (Rgb{200, 7, 9}));
}

TEST(ImageRecordHeader, ShortOrOddBlocksReadAsZero) {
  EXPECT_EQ(ImageWidth(ImageRecord()), 0);
  EXPECT_EQ(ImageBits(ImageRecord()), nullptr);
  EXPECT_EQ(ImageHeaderSize(Bytes().raw({40, 0, 0}).record()), 0u);

  std::vector<uint8_t> full;
  {
    const ImageRecord r = InfoHeader(5, 6, 24).zeros(8).record();
    full.assign(r.data(), r.data() + r.size());
  }
  // One byte short of the 40-byte header.
  const ImageRecord cut = ImageRecord::Adopt(std::vector<uint8_t>(full.begin(), full.begin() + 39));
  EXPECT_EQ(ImageHeaderSize(cut), 0u);
  EXPECT_EQ(ImageWidth(cut), 0);
  EXPECT_EQ(ImageHeight(cut), 0);
  EXPECT_EQ(ImageBitCount(cut), 0);
  EXPECT_EQ(ImagePixelOffset(cut), 0u);
  EXPECT_EQ(ImageBits(cut), nullptr);
  EXPECT_FALSE(ImageHasAllRows(cut));

  const ImageRecord core_cut = Bytes().u32(12).u16(4).u16(4).u16(1).record();  // 10 bytes
  EXPECT_EQ(ImageWidth(core_cut), 0);
  EXPECT_EQ(ImageBitCount(core_cut), 0);

  // A header size that is neither form.
  const ImageRecord odd = Bytes().u32(20).i32(9).i32(9).u16(1).u16(24).zeros(64).record();
  EXPECT_EQ(ImageWidth(odd), 0);
  EXPECT_EQ(ImageBits(odd), nullptr);

  // A header claiming more bytes than the block has.
  const ImageRecord longer = Bytes().u32(124).i32(9).i32(9).u16(1).u16(24).zeros(60).record();
  EXPECT_EQ(ImageWidth(longer), 0);
}

TEST(ImageRecordHeader, PixelStartPastTheBlock) {
  // 8 bits with the default palette but only 100 palette bytes present.
  const ImageRecord r = InfoHeader(2, 2, 8).zeros(100).record();
  EXPECT_EQ(ImageBits(r), nullptr);
  EXPECT_EQ(ImagePaletteEntry(r, 30), Rgb{});  // entry past the block
  EXPECT_FALSE(ImageHasAllRows(r));
  // The pixel start exactly at the end of the block is past it as well.
  const ImageRecord edge = InfoHeader(1, 1, 24).record();
  EXPECT_EQ(ImageBits(edge), nullptr);
  // An absurd colour count neither overflows nor reads past the block.
  const ImageRecord absurd = InfoHeader(1, 1, 8, 0, 0xFFFFFFFF).zeros(8).record();
  EXPECT_EQ(ImageColorCount(absurd), 0xFFFFFFFFu);
  EXPECT_GE(ImagePixelOffset(absurd), size_t{0xFFFFFFFF});
  EXPECT_EQ(ImageBits(absurd), nullptr);
  EXPECT_EQ(ImagePaletteEntry(absurd, 0x40000000), Rgb{});
}

TEST(ImageRecordHeader, RowStride) {
  EXPECT_EQ(ImageRowStride(1, 24), 4u);   // 3 pixel bytes + 1 pad
  EXPECT_EQ(ImageRowStride(4, 24), 12u);  // no padding
  EXPECT_EQ(ImageRowStride(5, 24), 16u);
  EXPECT_EQ(ImageRowStride(1, 1), 4u);
  EXPECT_EQ(ImageRowStride(32, 1), 4u);
  EXPECT_EQ(ImageRowStride(33, 1), 8u);
  EXPECT_EQ(ImageRowStride(9, 4), 8u);
  EXPECT_EQ(ImageRowStride(3, 8), 4u);
  EXPECT_EQ(ImageRowStride(3, 16), 8u);
  EXPECT_EQ(ImageRowStride(65535, 32), 262140u);
  EXPECT_EQ(ImageRowStride(0, 24), 0u);
  EXPECT_EQ(ImageRowStride(-4, 24), 0u);
}

TEST(ImageRecordHeader, ColourMasksMoveThePixelStart) {
  // 40-byte header, compression 3, 16 bits: three masks before the pixels.
  const ImageRecord r = InfoHeader(2, 1, 16, kBiBitfields)
                            .u32(0xF800).u32(0x07E0).u32(0x001F).u16(0xAAAA).u16(0xBBBB)
                            .record();
  EXPECT_EQ(ImageMaskBytes(r), 12u);
  EXPECT_EQ(ImagePixelOffset(r), 52u);
  EXPECT_EQ(GetU16(ImageBits(r)), 0xAAAA);
  EXPECT_TRUE(ImageHasAllRows(r));
  // A longer header holds its masks inside.
  Bytes v5;
  v5.u32(124).i32(2).i32(1).u16(1).u16(16).u32(kBiBitfields).zeros(124 - 20).u16(0xAAAA).u16(0xBBBB);
  const ImageRecord r5 = v5.record();
  EXPECT_EQ(ImageMaskBytes(r5), 0u);
  EXPECT_EQ(ImagePixelOffset(r5), 124u);
  // Compression 0 at 16 bits has no masks.
  EXPECT_EQ(ImageMaskBytes(InfoHeader(2, 1, 16).zeros(4).record()), 0u);
}

TEST(ImageRecordBlock, CreateWritesAFullHeaderAndZeroBlock) {
  auto r = ImageRecord::Create(5, 3, 8, 17);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->size(), 40u + 68u + 3u * 8u);
  const uint8_t* p = r->data();
  EXPECT_EQ(GetU32(p), 40u);
  EXPECT_EQ(GetI32(p + 4), 5);
  EXPECT_EQ(GetI32(p + 8), 3);
  EXPECT_EQ(GetU16(p + 12), 1);
  EXPECT_EQ(GetU16(p + 14), 8);
  EXPECT_EQ(GetU32(p + 16), 0u);
  EXPECT_EQ(GetU32(p + 20), 24u);
  EXPECT_EQ(GetU32(p + 32), 17u);
  EXPECT_EQ(GetU32(p + 36), 0u);
  for (size_t i = 40; i < r->size(); ++i) ASSERT_EQ(p[i], 0) << i;

  auto full = ImageRecord::Create(1, 1, 24);
  ASSERT_TRUE(full.ok());
  EXPECT_EQ(full->size(), 44u);
  EXPECT_EQ(ImagePixelOffset(*full), 40u);
  EXPECT_TRUE(ImageHasAllRows(*full));
}

TEST(ImageRecordBlock, AbsurdSizesAreRefusedBeforeAllocating) {
  EXPECT_EQ(ImageRecord::Create(0, 1, 24).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Create(1, -1, 24).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Create(65536, 1, 24).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Create(1, 65536, 24).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Create(4, 4, 7).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Create(4, 4, 8, 257).message(), err::kMemory);
  EXPECT_EQ(ImageRecord::Allocate(std::numeric_limits<size_t>::max()).message(), err::kMemory);
  ImageRecord r = ImageRecord::Adopt({1, 2, 3});
  EXPECT_EQ(r.Resize(std::numeric_limits<size_t>::max()).message(), err::kMemory);
  EXPECT_EQ(r.size(), 3u);  // unchanged after the refusal
  EXPECT_TRUE(ImageRecord::Create(65535, 1, 1).ok());
}

TEST(ImageRecordBlock, CloneAndResize) {
  ImageRecord r = ImageRecord::Adopt({1, 2, 3});
  auto copy = r.Clone();
  ASSERT_TRUE(copy.ok());
  copy->data()[0] = 9;
  EXPECT_EQ(r.data()[0], 1);
  ASSERT_TRUE(r.Resize(6).ok());
  EXPECT_EQ(std::vector<uint8_t>(r.data(), r.data() + 6), (std::vector<uint8_t>{1, 2, 3, 0, 0, 0}));
  ASSERT_TRUE(r.Resize(1).ok());
  EXPECT_EQ(r.size(), 1u);
}

TEST(ImageRecordConvert, CoreToInfoWidensThePaletteAndKeepsRows) {
  // 3 × 2 core picture at 8 bits: 256 three-byte entries, stride 4.
  Bytes b = CoreHeader(3, 2, 8);
  for (int i = 0; i < 256; ++i) b.raw({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 0x11});
  b.raw({1, 2, 3, 0, 4, 5, 6, 0});
  const ImageRecord core = b.record();
  auto r = CoreToInfo(core);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->size(), 40u + 1024u + 8u);
  EXPECT_EQ(ImageHeaderSize(*r), 40u);
  EXPECT_EQ(ImageWidth(*r), 3);
  EXPECT_EQ(ImageHeight(*r), 2);
  EXPECT_EQ(GetU16(r->data() + 12), 1);
  EXPECT_EQ(ImageBitCount(*r), 8);
  for (int off = 16; off < 40; off += 4) EXPECT_EQ(GetU32(r->data() + off), 0u) << off;
  const uint8_t* pal = r->data() + 40;
  EXPECT_EQ(std::vector<uint8_t>(pal + 4 * 7, pal + 4 * 8), (std::vector<uint8_t>{7, 248, 0x11, 0}));
  EXPECT_EQ(RowBytes(*r, 0), (std::vector<uint8_t>{1, 2, 3, 0}));
  EXPECT_EQ(RowBytes(*r, 1), (std::vector<uint8_t>{4, 5, 6, 0}));

  // 24 bits: no palette, rows move unchanged; a short block leaves zeros.
  const ImageRecord core24 = CoreHeader(1, 2, 24).raw({10, 20, 30, 0, 40}).record();
  auto r24 = CoreToInfo(core24);
  ASSERT_TRUE(r24.ok());
  EXPECT_EQ(r24->size(), 48u);
  EXPECT_EQ(Pixel24(*r24, 0, 0), (Rgb{10, 20, 30}));
  EXPECT_EQ(Pixel24(*r24, 0, 1), (Rgb{40, 0, 0}));

  EXPECT_EQ(CoreToInfo(InfoHeader(1, 1, 24).zeros(4).record()).message(), err::kUnexpected);
  EXPECT_EQ(CoreToInfo(CoreHeader(0, 1, 24).zeros(4).record()).message(), err::kCreateBitmap);
}

TEST(ImageRecordConvert, Expand8To24LooksUpThePalette) {
  // 3 × 2, colours used 2: index 5 is beyond the palette and reads as entry 0.
  Bytes b = InfoHeader(3, 2, 8, 0, 2, 8, 3780, 1234);
  b.bgr0(1, 2, 3).bgr0(200, 100, 50);
  b.raw({0, 1, 5, 0xCC, 1, 1, 0, 0xCC});  // the pad bytes must not leak
  const ImageRecord src = b.record();
  auto r = Expand8To24(src);
  ASSERT_TRUE(r.ok());
  const uint8_t* p = r->data();
  EXPECT_EQ(GetU32(p), 40u);
  EXPECT_EQ(ImageBitCount(*r), 24);
  EXPECT_EQ(GetU32(p + 16), 0u);  // compression
  EXPECT_EQ(GetU32(p + 20), 0u);  // image size
  EXPECT_EQ(GetI32(p + 24), 3780);
  EXPECT_EQ(GetI32(p + 28), 1234);
  EXPECT_EQ(GetU32(p + 32), 0u);
  EXPECT_EQ(GetU32(p + 36), 0u);
  EXPECT_EQ(r->size(), 40u + 2u * 12u);
  EXPECT_EQ(RowBytes(*r, 0), (std::vector<uint8_t>{1, 2, 3, 200, 100, 50, 1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(RowBytes(*r, 1), (std::vector<uint8_t>{200, 100, 50, 200, 100, 50, 1, 2, 3, 0, 0, 0}));
}

TEST(ImageRecordConvert, Expand8To24SmallerPaletteDepthsAndShortBlocks) {
  // 4 bits, 3 pixels: nibbles high first.
  Bytes b4 = InfoHeader(3, 1, 4);
  for (int i = 0; i < 16; ++i) b4.bgr0(static_cast<uint8_t>(i * 10), 0, 0);
  b4.raw({0x2F, 0x70, 0, 0});
  auto r4 = Expand8To24(b4.record());
  ASSERT_TRUE(r4.ok());
  EXPECT_EQ(Pixel24(*r4, 0, 0).blue, 20);
  EXPECT_EQ(Pixel24(*r4, 1, 0).blue, 150);
  EXPECT_EQ(Pixel24(*r4, 2, 0).blue, 70);

  // 1 bit, 10 pixels.
  Bytes b1 = InfoHeader(10, 1, 1);
  b1.bgr0(0, 0, 0).bgr0(255, 255, 255);
  b1.raw({0b10100000, 0b01000000, 0, 0});
  auto r1 = Expand8To24(b1.record());
  ASSERT_TRUE(r1.ok());
  const int expect[10] = {255, 0, 255, 0, 0, 0, 0, 0, 0, 255};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Pixel24(*r1, x, 0).red, expect[x]) << x;

  // Rows the block does not hold come out black, not read past the block.
  Bytes shortb = InfoHeader(2, 3, 8, 0, 1);
  shortb.bgr0(9, 9, 9).raw({0, 0, 0, 0, 0});
  auto rs = Expand8To24(shortb.record());
  ASSERT_TRUE(rs.ok());
  EXPECT_EQ(Pixel24(*rs, 1, 0), (Rgb{9, 9, 9}));
  EXPECT_EQ(Pixel24(*rs, 0, 1), (Rgb{9, 9, 9}));
  EXPECT_EQ(Pixel24(*rs, 1, 1), Rgb{});
  EXPECT_EQ(Pixel24(*rs, 0, 2), Rgb{});

  EXPECT_EQ(Expand8To24(InfoHeader(1, 1, 24).zeros(4).record()).message(), err::kUnexpected);
  EXPECT_EQ(Expand8To24(InfoHeader(1, 1, 8, kBiRle8).zeros(1030).record()).message(), err::kUnexpected);
}

// ---------------------------------------------------------------------------

ImageRecord Indexed8(int w, int h, uint32_t compression = 0) {
  Bytes b = InfoHeader(w, h, 8, compression, 2);
  b.bgr0(10, 20, 30).bgr0(40, 50, 60);
  b.zeros(ImageRowStride(w, 8) * h);
  return b.record();
}

ImageRecord Full24(int w, int h) {
  Bytes b = InfoHeader(w, h, 24);
  for (uint64_t i = 0; i < ImageRowStride(w, 24) * h; ++i) b.u8(static_cast<uint8_t>(i * 37));
  return b.record();
}

TEST(ConvertForSave, PaletteRecords) {
  const ImageRecord r8 = Indexed8(2, 2);
  auto to24 = ConvertForSave(r8, 24);
  ASSERT_TRUE(to24.ok());
  ASSERT_FALSE(to24->same());
  EXPECT_EQ(ImageBitCount(to24->record()), 24);
  EXPECT_EQ(Pixel24(to24->record(), 1, 1), (Rgb{10, 20, 30}));

  auto to8 = ConvertForSave(r8, 8);
  ASSERT_TRUE(to8.ok());
  EXPECT_TRUE(to8->same());
  EXPECT_EQ(&to8->Or(r8), &r8);

  // Run-length pictures go through the device bitmap at the target depth.
  int asked = 0;
  DeviceBitmapReader reader = [&](int bits) -> Result<ImageRecord> {
    asked = bits;
    return ImageRecord::Create(2, 2, static_cast<uint16_t>(bits));
  };
  const ImageRecord rle = Indexed8(2, 2, kBiRle8);
  auto dev = ConvertForSave(rle, 8, reader);
  ASSERT_TRUE(dev.ok());
  EXPECT_EQ(asked, 8);
  EXPECT_EQ(ImageBitCount(dev->record()), 8);
  EXPECT_EQ(ConvertForSave(rle, 24, reader)->record().size(), 40u + 16u);
  EXPECT_EQ(asked, 24);
  EXPECT_EQ(ConvertForSave(rle, 24).message(), err::kCreateBitmap);  // no reader
  DeviceBitmapReader failing = [](int) -> Result<ImageRecord> { return Failure{err::kGetBitmap}; };
  EXPECT_EQ(ConvertForSave(rle, 24, failing).message(), err::kGetBitmap);

  // Other compressions fail for both targets.
  const ImageRecord rle4_tagged = Indexed8(2, 2, kBiRle4);
  EXPECT_EQ(ConvertForSave(rle4_tagged, 24, reader).message(), err::kCreateBitmap);
  EXPECT_EQ(ConvertForSave(rle4_tagged, 8, reader).message(), err::kCreateBitmap);
  EXPECT_EQ(ConvertForSave(Indexed8(2, 2, kBiBitfields), 8, reader).message(), err::kCreateBitmap);
}

TEST(ConvertForSave, CoreFormRecords) {
  Bytes b = CoreHeader(2, 1, 8);
  for (int i = 0; i < 256; ++i) b.raw({static_cast<uint8_t>(i), 1, 2});
  b.raw({3, 4, 0, 0});
  const ImageRecord core8 = b.record();
  auto to24 = ConvertForSave(core8, 24);
  ASSERT_TRUE(to24.ok());
  EXPECT_EQ(ImageHeaderSize(to24->record()), 40u);
  EXPECT_EQ(ImageBitCount(to24->record()), 24);
  EXPECT_EQ(Pixel24(to24->record(), 1, 0), (Rgb{4, 1, 2}));
  auto to8 = ConvertForSave(core8, 8);
  ASSERT_TRUE(to8.ok());
  EXPECT_EQ(ImageHeaderSize(to8->record()), 40u);
  EXPECT_EQ(ImageBitCount(to8->record()), 8);

  const ImageRecord core24 = CoreHeader(1, 1, 24).raw({7, 8, 9, 0}).record();
  auto c24 = ConvertForSave(core24, 24);
  ASSERT_TRUE(c24.ok());
  EXPECT_EQ(ImageHeaderSize(c24->record()), 40u);
  EXPECT_EQ(Pixel24(c24->record(), 0, 0), (Rgb{7, 8, 9}));
  // An 8-bit target really gets 8 bits, not the 24-bit core record back.
  auto c8 = ConvertForSave(core24, 8);
  ASSERT_TRUE(c8.ok());
  ASSERT_FALSE(c8->same());
  EXPECT_EQ(ImageBitCount(c8->record()), 8);
}

TEST(ConvertForSave, FullColourAndOtherDepths) {
  const ImageRecord r24 = Full24(3, 2);
  auto same = ConvertForSave(r24, 24);
  ASSERT_TRUE(same.ok());
  EXPECT_TRUE(same->same());  // the caller must not free its record

  auto reduced = ConvertForSave(r24, 8);
  ASSERT_TRUE(reduced.ok());
  ASSERT_FALSE(reduced->same());
  EXPECT_EQ(ImageBitCount(reduced->record()), 8);
  EXPECT_EQ(ImageWidth(reduced->record()), 3);

  Bytes masked = InfoHeader(1, 1, 24, kBiBitfields);
  masked.zeros(4);
  EXPECT_EQ(ConvertForSave(masked.record(), 24).message(), err::kCreateBitmap);
  EXPECT_EQ(ConvertForSave(masked.record(), 8).message(), err::kCreateBitmap);

  int asked = 0;
  DeviceBitmapReader reader = [&](int bits) -> Result<ImageRecord> {
    asked = bits;
    return ImageRecord::Create(1, 1, static_cast<uint16_t>(bits));
  };
  EXPECT_TRUE(ConvertForSave(InfoHeader(1, 1, 16).zeros(4).record(), 24, reader).ok());
  EXPECT_EQ(asked, 24);
  EXPECT_TRUE(ConvertForSave(InfoHeader(1, 1, 4).zeros(64 + 4).record(), 8, reader).ok());
  EXPECT_EQ(asked, 8);
  EXPECT_EQ(ConvertForSave(InfoHeader(1, 1, 32).zeros(4).record(), 8).message(), err::kCreateBitmap);
  EXPECT_EQ(ConvertForSave(r24, 16).message(), err::kUnexpected);
}

}  // namespace
}  // namespace fq
