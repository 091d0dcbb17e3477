// The generated segment byte by byte, the thumbnail size rule and the
// thumbnail canvas.
#include <gtest/gtest.h>

#include <cstring>

#include "image/exif.h"

namespace fq {
namespace {

// The 474 bytes as the layout table gives them, written out field by field
// with segment offsets (TIFF offsets + 10 in the entries).
std::vector<uint8_t> ExpectedSegment(uint32_t w, uint32_t h, uint32_t thumb, const char* date) {
  std::vector<uint8_t> s(474, 0);
  auto u16 = [&](size_t at, uint32_t v) { s[at] = v & 0xFF, s[at + 1] = (v >> 8) & 0xFF; };
  auto u32 = [&](size_t at, uint32_t v) { u16(at, v & 0xFFFF), u16(at + 2, v >> 16); };
  auto bytes = [&](size_t at, const void* p, size_t n) { std::memcpy(&s[at], p, n); };
  auto entry = [&](size_t at, uint32_t tag, uint32_t type, uint32_t count, uint32_t v) {
    u16(at, tag), u16(at + 2, type), u32(at + 4, count), u32(at + 8, v);
  };
  s[0] = 0xFF, s[1] = 0xE1;
  s[2] = static_cast<uint8_t>((472 + thumb) >> 8), s[3] = static_cast<uint8_t>(472 + thumb);
  bytes(4, "Exif\0\0II\x2A\0\x08\0\0\0", 14);
  u16(18, 9);
  entry(20, 271, 2, 10, 122);
  entry(32, 272, 2, 10, 132);
  entry(44, 282, 5, 1, 142);
  entry(56, 283, 5, 1, 150);
  entry(68, 296, 3, 1, 2);
  entry(80, 305, 2, 8, 158);
  entry(92, 306, 2, 20, 166);
  entry(104, 531, 3, 1, 2);
  entry(116, 34665, 4, 1, 186);
  u32(128, 370);
  bytes(132, "MEROVANTA\0", 10);
  bytes(142, "LUMVEX01 \0", 10);
  u32(152, 72), u32(156, 1), u32(160, 72), u32(164, 1);
  bytes(168, "Ver.1.0\0", 8);
  bytes(176, date, 20);
  u16(196, 9);
  entry(198, 36864, 7, 4, 0), bytes(206, "0210", 4);
  entry(210, 36867, 2, 20, 300);
  entry(222, 36868, 2, 20, 320);
  entry(234, 37121, 7, 4, 0), bytes(242, "\1\2\3\0", 4);
  entry(246, 40960, 7, 4, 0), bytes(254, "0100", 4);
  entry(258, 40961, 3, 1, 1);
  entry(270, 40962, 4, 1, w);
  entry(282, 40963, 4, 1, h);
  entry(294, 40965, 4, 1, 340);
  u32(306, 0);
  bytes(310, date, 20);
  bytes(330, date, 20);
  u16(350, 2);
  entry(352, 1, 2, 4, 0), bytes(360, "R98\0", 4);
  entry(364, 2, 7, 4, 0), bytes(372, "0100", 4);
  u32(376, 0);
  u16(380, 6);
  entry(382, 259, 3, 1, 6);
  entry(394, 282, 5, 1, 448);
  entry(406, 283, 5, 1, 456);
  entry(418, 296, 3, 1, 2);
  entry(430, 513, 4, 1, 464);
  entry(442, 514, 4, 1, thumb);
  u32(454, 0);
  u32(458, 72), u32(462, 1), u32(466, 72), u32(470, 1);
  return s;
}

TEST(ExifSegment, EveryFieldAtItsOffset) {
  const std::vector<uint8_t> thumb = {0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};
  const ExifDateTime now{2001, 3, 1, 9, 5, 0};
  auto seg = BuildExifSegment(640, 480, thumb, now);
  ASSERT_TRUE(seg);
  ASSERT_EQ(seg->size(), 474u + thumb.size());
  const auto want = ExpectedSegment(640, 480, 7, "2001:03:01 09:05:00");
  for (size_t i = 0; i < 474; ++i) ASSERT_EQ((*seg)[i], want[i]) << "offset " << i;
  EXPECT_TRUE(std::equal(thumb.begin(), thumb.end(), seg->begin() + 474));

  // And it reads back as what it says.
  ExifInformation info;
  ASSERT_TRUE(ParseExif(*seg, info));
  EXPECT_EQ(info.make, "MEROVANTA");
  EXPECT_EQ(info.model, "LUMVEX01 ");
  EXPECT_EQ(info.date_taken, "2001:03:01 09:05:00");
  EXPECT_EQ(info.date_changed, "2001:03:01 09:05:00");
  EXPECT_EQ(info.width, 640u);
  EXPECT_EQ(info.height, 480u);
  EXPECT_TRUE(IsMakerPicture(info));
  auto found = FindExifThumbnail(*seg);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->data(), seg->data() + 474);
}

TEST(ExifSegment, ThumbnailMustFitTheSegmentLength) {
  std::vector<uint8_t> big(0xFFFF - 472 + 1, 0);
  EXPECT_FALSE(BuildExifSegment(1, 1, big, {}));
  big.pop_back();
  auto seg = BuildExifSegment(1, 1, big, {});
  ASSERT_TRUE(seg);
  EXPECT_EQ((*seg)[2], 0xFF);
  EXPECT_EQ((*seg)[3], 0xFF);
}

TEST(ExifSegment, DatesAreCutToTheirField) {
  EXPECT_EQ(FormatExifDate({1999, 1, 26, 1, 1, 1}), "1999:01:26 01:01:01");
  EXPECT_EQ(FormatExifDate({123456, 1, 2, 3, 4, 5}).size(), 19u);
}

TEST(ExifSegment, MakerPictureIgnoresCase) {
  ExifInformation info;
  info.make = "Merovanta";
  EXPECT_TRUE(IsMakerPicture(info));
  info.make = "MEROVANTA ";
  EXPECT_FALSE(IsMakerPicture(info));
}

TEST(Thumbnail, SizeFitsTheFrameKeepingTheAspect) {
  struct Case { int w, h, tw, th; };
  for (Case c : {Case{640, 480, 160, 120}, {480, 640, 90, 120}, {100, 80, 100, 80},
                 {160, 120, 160, 120}, {2048, 1536, 160, 120}, {1000, 300, 160, 48},
                 {150, 130, 138, 120},  // landscape of at most 160 columns
                 {300, 1000, 36, 120}, {65535, 1, 160, 1}, {1, 65535, 1, 120}}) {
    ThumbnailSize s = FitThumbnail(c.w, c.h);
    EXPECT_EQ(s.width, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(s.height, c.th) << c.w << "x" << c.h;
  }
  EXPECT_EQ(FitThumbnail(0, 10).width, 0);
}

// A white picture, so the canvas shows exactly where it was placed.
ImageRecord White(int w, int h) {
  auto r = ImageRecord::Create(w, h, 24);
  std::memset(ImageBits(*r), 0xFF, static_cast<size_t>(ImageRowStride(w, 24) * h));
  return std::move(*r);
}

// Column and row extent (bottom-up rows) of the non-black pixels.
struct Extent { int left = 1000, right = -1, bottom = 1000, top = -1; };
Extent Lit(const ImageRecord& r) {
  Extent e;
  const uint64_t stride = ImageRowStride(ImageWidth(r), 24);
  for (int y = 0; y < ImageHeight(r); ++y)
    for (int x = 0; x < ImageWidth(r); ++x)
      if (ImageBits(r)[y * stride + x * 3] != 0) {
        e.left = std::min(e.left, x), e.right = std::max(e.right, x);
        e.bottom = std::min(e.bottom, y), e.top = std::max(e.top, y);
      }
  return e;
}

TEST(Thumbnail, PictureIsCentredOnBlack) {
  struct Case { int w, h, left, right, bottom, top; };
  for (Case c : {Case{640, 480, 0, 159, 0, 119}, {480, 640, 35, 124, 0, 119},
                 {100, 80, 30, 129, 20, 99}}) {
    auto t = MakeThumbnailPicture(White(c.w, c.h));
    ASSERT_TRUE(t);
    EXPECT_EQ(ImageWidth(*t), 160);
    EXPECT_EQ(ImageHeight(*t), 120);
    EXPECT_EQ(ImageBitCount(*t), 24);
    Extent e = Lit(*t);
    EXPECT_EQ(e.left, c.left) << c.w << "x" << c.h;
    EXPECT_EQ(e.right, c.right);
    EXPECT_EQ(e.bottom, c.bottom);
    EXPECT_EQ(e.top, c.top);
  }
  EXPECT_FALSE(PlaceOnThumbnailCanvas(White(161, 10)));
}

}  // namespace
}  // namespace fq
