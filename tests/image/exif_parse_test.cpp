// Reading Exif and maker segments: hand-built segments in both byte orders,
// then every kind of damage a file can carry.
#include <gtest/gtest.h>

#include "exif_test_util.h"
#include "image/exif.h"

namespace fq {
namespace {

using testing::AppSegment;
using testing::TiffBytes;
using namespace exif_tag;
using namespace exif_type;

// IFD0 at 8 (five entries), Exif IFD at 200 (three entries).
TiffBytes Camera(bool big) {
  TiffBytes t(big);
  t.Ifd(8, 5, 0);
  t.Entry(8, 0, kImageWidth, kShort, 1, 777);  // SHORT: not taken
  t.Entry(8, 1, kMake, kAscii, 8, 100);
  t.Entry(8, 2, kModel, kAscii, 4, 0);
  t.EntryBytes(8, 2, std::string_view("AB1\0", 4));
  t.Entry(8, 3, kDateTime, kAscii, 20, 120);
  t.Entry(8, 4, kExifIfdPointer, kLong, 1, 200);
  t.Text(100, std::string_view("Canonic\0", 8));
  t.Text(120, "2001:03:01 09:05:00");
  t.Ifd(200, 3, 0);
  t.Entry(200, 0, kDateTimeOriginal, kAscii, 20, 300);
  t.Entry(200, 1, kPixelXDimension, kLong, 1, 640);
  t.Entry(200, 2, kPixelYDimension, kLong, 1, 480);
  t.Text(300, "1999:01:26 01:01:01");
  return t;
}

class BothOrders : public ::testing::TestWithParam<bool> {};

TEST_P(BothOrders, ReadsEveryFieldTheDialogShows) {
  ExifInformation info;
  ASSERT_TRUE(ParseExif(Camera(GetParam()).Segment(), info));
  EXPECT_EQ(info.make, "Canonic");
  EXPECT_EQ(info.model, "AB1");
  EXPECT_EQ(info.date_changed, "2001:03:01 09:05:00");
  EXPECT_EQ(info.date_taken, "1999:01:26 01:01:01");
  // ImageWidth stored as SHORT is stepped over: the width comes from the Exif IFD.
  EXPECT_EQ(info.width, 640u);
  EXPECT_EQ(info.height, 480u);
}

TEST_P(BothOrders, LongImageWidthWinsOverPixelDimensions) {
  TiffBytes t = Camera(GetParam());
  t.Entry(8, 0, kImageLength, kLong, 1, 1234);
  ExifInformation info;
  ASSERT_TRUE(ParseExif(t.Segment(), info));
  EXPECT_EQ(info.width, 640u);
  EXPECT_EQ(info.height, 1234u);
}

TEST_P(BothOrders, FindsFieldsAndTheThumbnail) {
  TiffBytes t = Camera(GetParam());
  t.Ifd(8, 5, 400);  // IFD1 at 400
  t.Ifd(400, 2, 0);
  t.Entry(400, 0, kJpegInterchangeFormat, kLong, 1, 450);
  t.Entry(400, 1, kJpegInterchangeFormatLength, kLong, 1, 40);
  auto seg = t.Segment();
  auto thumb = FindExifThumbnail(seg);
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->data(), seg.data() + 10 + 450);
  EXPECT_EQ(thumb->size(), 40u);

  auto f = FindExifField(seg, kPixelYDimension);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->entry, 10u + 200 + 2 + 24);
  EXPECT_EQ(f->big_endian, GetParam());
  auto make = FindExifField(seg, kMake);
  ASSERT_TRUE(make);
  EXPECT_FALSE(make->in_entry);
  EXPECT_EQ(make->value, 110u);
  EXPECT_TRUE(make->inside);
  EXPECT_FALSE(FindExifField(seg, kSoftware));
}

INSTANTIATE_TEST_SUITE_P(Exif, BothOrders, ::testing::Values(false, true));

TEST(ExifParse, RefusesWhatIsNotAnExifSegment) {
  ExifInformation info;
  auto seg = Camera(false).Segment();
  auto bad_marker = seg;
  bad_marker[1] = 0xE2;
  EXPECT_FALSE(ParseExif(bad_marker, info));
  auto bad_name = seg;
  bad_name[4] = 'e';
  EXPECT_FALSE(ParseExif(bad_name, info));
  for (const char* order : {"IM", "XX", "ii"}) {
    auto bad_order = seg;
    bad_order[10] = static_cast<uint8_t>(order[0]);
    bad_order[11] = static_cast<uint8_t>(order[1]);
    EXPECT_FALSE(ParseExif(bad_order, info)) << order;
  }
  EXPECT_FALSE(ParseExif(std::span<const uint8_t>(seg.data(), 11), info));
  EXPECT_TRUE(info.make.empty());
}

TEST(ExifParse, TextsStopAtTheirZeroAndAreCutToTheField) {
  TiffBytes t = Camera(false);
  t.Entry(8, 1, kMake, kAscii, 150, 330);
  t.Text(330, std::string(150, 'M'));
  t.Text(125, std::string_view("\0tail", 5));  // DateTime ends early
  ExifInformation info;
  ASSERT_TRUE(ParseExif(t.Segment(), info));
  EXPECT_EQ(info.make, std::string(kExifTextField - 1, 'M'));
  EXPECT_EQ(info.date_changed, "2001:");
}

TEST(ExifParse, DamageEndsTheParseWithWhatWasFound) {
  ExifInformation info;
  // IFD0 past the end: an Exif segment with nothing in it.
  TiffBytes far = Camera(false);
  far.P32(4, 0xFFFFFFF0);
  EXPECT_TRUE(ParseExif(far.Segment(), info));
  EXPECT_TRUE(info.make.empty());

  // A text whose offset + count wraps around 32 bits, after the make.
  TiffBytes wrap = Camera(true);
  wrap.Entry(8, 3, kDateTime, kAscii, 0x20, 0xFFFFFFF0);
  info = {};
  EXPECT_TRUE(ParseExif(wrap.Segment(), info));
  EXPECT_EQ(info.make, "Canonic");
  EXPECT_TRUE(info.date_changed.empty());
  EXPECT_TRUE(info.date_taken.empty());  // the parse ended before the Exif IFD

  // An absurd entry count: the entries that fit are read, nothing beyond.
  TiffBytes many = Camera(false);
  many.P16(8, 0xFFFF);
  info = {};
  EXPECT_TRUE(ParseExif(many.Segment(), info));
  EXPECT_EQ(info.width, 640u);

  // The length field is the segment's end even when the buffer goes on.
  auto cut = Camera(false).Segment();
  cut[2] = 0;
  cut[3] = 10 + 120;  // ends inside the DateTime text
  info = {};
  EXPECT_TRUE(ParseExif(cut, info));
  EXPECT_EQ(info.make, "Canonic");
  EXPECT_TRUE(info.date_changed.empty());
}

TEST(ExifParse, SelfReferencesAndLoopsEnd) {
  // The Exif pointer aims at IFD0 itself, and IFD0's chain loops to itself.
  TiffBytes t = Camera(false);
  t.Entry(8, 4, kExifIfdPointer, kLong, 1, 8);
  t.Ifd(8, 5, 8);
  auto seg = t.Segment();
  ExifInformation info;
  EXPECT_TRUE(ParseExif(seg, info));
  EXPECT_EQ(info.make, "Canonic");
  EXPECT_FALSE(FindExifField(seg, kPixelXDimension));
  EXPECT_FALSE(FindExifThumbnail(seg));

  // A two-IFD cycle: IFD0 → 400 → 8.
  TiffBytes cycle = Camera(true);
  cycle.Ifd(8, 5, 400);
  cycle.Ifd(400, 0, 8);
  EXPECT_FALSE(FindExifField(cycle.Segment(), kSoftware));
  EXPECT_TRUE(FindExifField(cycle.Segment(), kPixelXDimension));
}

TEST(ExifParse, ThumbnailsThatDoNotFitAreNotHandedOut) {
  for (uint32_t offset : {450u, 0xFFFFFFF0u}) {
    for (uint32_t length : {100u, 0u, 0xFFFFFFFFu}) {
      TiffBytes t = Camera(false);
      t.Ifd(8, 5, 400);
      t.Ifd(400, 2, 0);
      t.Entry(400, 0, kJpegInterchangeFormat, kLong, 1, offset);
      t.Entry(400, 1, kJpegInterchangeFormatLength, kLong, 1, length);
      EXPECT_FALSE(FindExifThumbnail(t.Segment())) << offset << " " << length;
    }
  }
}

// Maker APP0: byte order at 4, base 10 or 30 ("HEAP" "JPGM" at 10..17),
// directory offset in the last four bytes.
std::vector<uint8_t> Maker(bool big, bool heap, uint32_t dir_offset, uint16_t tag = kMakerPictureSize) {
  std::vector<uint8_t> s(120, 0);
  s[0] = 0xFF, s[1] = 0xE0, s[2] = 0, s[3] = 118;
  s[4] = s[5] = big ? 'M' : 'I';
  if (heap) std::memcpy(&s[10], "HEAPJPGM", 8);
  const size_t base = heap ? 30 : 10;
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + i] = static_cast<uint8_t>(v >> (8 * (big ? n - 1 - i : i)));
  };
  // directory at base + 40: two entries, the second the picture size at base + 70
  put(base + 40, 2, 2);
  put(base + 42, 0x1234, 2);
  put(base + 52, tag, 2);
  put(base + 58, 70, 4);
  put(base + 70, 1280, 4);
  put(base + 74, 960, 4);
  put(s.size() - 4, dir_offset, 4);
  return s;
}

TEST(MakerApp0, ReadsThePictureSizeInBothOrdersAndBases) {
  for (bool big : {false, true}) {
    for (bool heap : {false, true}) {
      uint32_t w = 0, h = 0;
      EXPECT_TRUE(ParseMakerApp0(Maker(big, heap, 40), w, h));
      EXPECT_EQ(w, 1280u);
      EXPECT_EQ(h, 960u);
    }
  }
}

TEST(MakerApp0, KeepsTheSizeWhenItCannotBeRead) {
  uint32_t w = 7, h = 8;
  EXPECT_TRUE(ParseMakerApp0(Maker(false, true, 0xFFFFFFF0), w, h));
  EXPECT_TRUE(ParseMakerApp0(Maker(true, false, 40, 0x1811), w, h));
  auto count = Maker(false, false, 40);
  count[50] = 0xFF, count[51] = 0xFF;  // absurd entry count; the size entry is still read
  EXPECT_TRUE(ParseMakerApp0(count, w, h));
  EXPECT_EQ(w, 1280u);
  w = 7;
  auto past = Maker(false, false, 40);
  past[10 + 58] = 0xF0, past[10 + 59] = past[10 + 60] = past[10 + 61] = 0xFF;
  EXPECT_TRUE(ParseMakerApp0(past, w, h));
  EXPECT_EQ(w, 7u);
  EXPECT_FALSE(ParseMakerApp0(AppSegment(0xE0, std::string_view("JFIF\0\1\1\0\0\1\0\1\0\0", 14)), w, h));
  EXPECT_FALSE(ParseMakerApp0(Camera(false).Segment(), w, h));
}

}  // namespace
}  // namespace fq
