// What another program may leave on the clipboard, checked before an album
// takes it: the path text and the bitmap block, then the thumbnail made
// from what passed.
#include "output/clipboard_checks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "album/album_file.h"
#include "album/album_thumbnail.h"

namespace fq::clip {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s, size_t block) {
  Bytes b(block, 0);
  std::memcpy(b.data(), s.data(), std::min(s.size(), block));
  return b;
}

TEST(ClipboardText, PathsAndTheirLimits) {
  EXPECT_EQ(PathFromTextBlock(Text("C:\\p\\a.jpg", 260)).value(), "C:\\p\\a.jpg");
  auto block = PathBlock("C:\\p\\a.jpg");
  ASSERT_TRUE(block.ok());
  EXPECT_EQ(block->size(), 260u);
  EXPECT_EQ(PathFromTextBlock(*block).value(), "C:\\p\\a.jpg");
  EXPECT_EQ(PathFromTextBlock(Text(std::string(259, 'a'), 260)).value().size(), 259u);
  EXPECT_EQ(PathFromTextBlock(Text(std::string(260, 'a'), 261)).message(), err::kFileNameTooLong);
  EXPECT_EQ(PathFromTextBlock(Text(std::string(300, 'a'), 301)).message(), err::kFileNameTooLong);
  EXPECT_EQ(PathBlock(std::string(260, 'a')).message(), err::kFileNameTooLong);
  // No terminator inside the block.
  EXPECT_EQ(PathFromTextBlock(Text("abcd", 4)).message(), err::kNoClipboardData);
  EXPECT_EQ(PathFromTextBlock(Text(std::string(300, 'a'), 300)).message(), err::kFileNameTooLong);
  EXPECT_EQ(PathFromTextBlock(Text("", 10)).message(), err::kFileDoesNotExist);
}

// A packed bitmap: header fields as given, then `extra` bytes of colours
// and pixels (zero).
Bytes Dib(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint32_t colors, size_t extra) {
  Bytes b(40 + extra, 0);
  PutU32(&b[0], 40);
  PutI32(&b[4], w);
  PutI32(&b[8], h);
  PutU16(&b[12], 1);
  PutU16(&b[14], bits);
  PutU32(&b[16], compression);
  PutU32(&b[32], colors);
  return b;
}

TEST(ClipboardBitmap, WellFormedBlocksBecomePictures) {
  // 24 bits, 3 × 2: rows of 12 bytes.
  Bytes b = Dib(3, 2, 24, kBiRgb, 0, 24);
  b[40] = 11;  // bottom-left blue
  auto p = PictureFromBitmapBlock(b);
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(ImageWidth(*p), 3);
  EXPECT_EQ(ImageBits(*p)[0], 11);
  // Top-down rows are turned bottom-up.
  Bytes td = Dib(3, -2, 24, kBiRgb, 0, 24);
  td[40] = 22;  // top-left in a top-down block
  auto q = PictureFromBitmapBlock(td);
  ASSERT_TRUE(q.ok());
  EXPECT_GT(ImageHeight(*q), 0);
  EXPECT_EQ(ImageBits(*q)[12], 22);  // now the upper row
  // 8 bits with 2 colours.
  EXPECT_TRUE(PictureFromBitmapBlock(Dib(4, 4, 8, kBiRgb, 2, 8 + 16)).ok());
  // 16 bits with 5-6-5 masks behind the header: made full colour.
  Bytes m = Dib(2, 2, 16, kBiBitfields, 0, 12 + 8);
  PutU32(&m[40], 0xF800);
  PutU32(&m[44], 0x07E0);
  PutU32(&m[48], 0x001F);
  auto r = PictureFromBitmapBlock(m);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(ImageBitCount(*r), 24);
  // A thumbnail is made from each.
  for (const Bytes* block : {&b, &td, &m}) {
    auto pic = PictureFromBitmapBlock(*block);
    ASSERT_TRUE(pic.ok());
    auto t = album::MakeStoredThumbnail(*pic);
    ASSERT_TRUE(t.ok());
    EXPECT_TRUE(album::IsValidThumbnail(*t));
  }
}

TEST(ClipboardBitmap, BlocksThatDisagreeWithThemselvesAreRefused) {
  EXPECT_FALSE(PictureFromBitmapBlock(Bytes{}).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Bytes(20, 0)).ok());  // no whole header
  // Rows promised but not in the block.
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(3, 2, 24, kBiRgb, 0, 23)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(60000, 60000, 24, kBiRgb, 0, 64)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(70000, 1, 24, kBiRgb, 0, 210000)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(0, 2, 24, kBiRgb, 0, 24)).ok());
  // Depths, compressions and colour counts no bitmap has.
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(3, 2, 7, kBiRgb, 0, 64)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(3, 2, 24, 4 /* JPEG */, 0, 64)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(3, 2, 24, kBiRle8, 0, 64)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(4, 4, 8, kBiRgb, 300, 2000)).ok());
  EXPECT_FALSE(PictureFromBitmapBlock(Dib(3, -2, 8, kBiRle8, 2, 64)).ok());  // run-length top-down
  // Run-length data claiming a huge picture in a few bytes (an end-of-picture
  // code right away) is refused before anything is unpacked.
  Bytes huge = Dib(60000, 60000, 8, kBiRle8, 2, 8 + 2);
  huge[48] = 0, huge[49] = 1;
  EXPECT_EQ(PictureFromBitmapBlock(huge).message(), err::kBmpCannotBeAllocated);
  Bytes small = Dib(64, 64, 8, kBiRle8, 2, 8 + 2);
  small[48] = 0, small[49] = 1;
  EXPECT_TRUE(PictureFromBitmapBlock(small).ok());
  // A header size that runs past the block.
  Bytes big = Dib(3, 2, 24, kBiRgb, 0, 24);
  PutU32(&big[0], 1000);
  EXPECT_FALSE(PictureFromBitmapBlock(big).ok());
}

}  // namespace
}  // namespace fq::clip
