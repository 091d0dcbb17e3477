// The memory list's arithmetic: type-1 rows by the camera's numbers, grid
// pages, selection by clicks and ranges, the thumbnail cache, date labels
// and the colour cube.
#include <gtest/gtest.h>

#include <cmath>

#include "camera/memory_list.h"
#include "image/exif.h"

namespace fq::cam {
namespace {

TEST(MemoryListTest, TypeOneRowsKeepTheCamerasNumbersAndHideOtherModes) {
  const std::vector<ListedPicture> listed = {{3, 2}, {1, 0}, {2, 1}, {5, 7}, {6, 3}, {9, 255}};
  const auto rows = Type1Rows(listed);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].text, "Image No.1::Normal Mode");
  EXPECT_EQ(rows[1].text, "Image No.2::Fine Mode");
  EXPECT_EQ(rows[2].text, "Image No.3::Super Fine Mode");
  // Picture 5 is hidden (mode 7): picture 6 keeps its own number.
  EXPECT_EQ(rows[3].number, 6);
  EXPECT_EQ(rows[3].text, "Image No.6::Super Fine Mode");
}

TEST(MemoryListTest, PagesMoveByRowsAndTheLastPageIsFull) {
  EXPECT_EQ(LastTopRow(16), 0);
  EXPECT_EQ(LastTopRow(17), 1);
  EXPECT_EQ(LastTopRow(30), 4);  // rows 4..7 show 17..30 and two empty buttons
  const auto last = PageNumbers(99, 30);
  EXPECT_EQ(last[0], 17);
  EXPECT_EQ(last[13], 30);
  EXPECT_EQ(last[14], 0);
  EXPECT_EQ(PageNumbers(0, 3)[3], 0);
  EXPECT_EQ(TopRowShowing(29, 0, 30), 4);
  EXPECT_EQ(TopRowShowing(2, 4, 30), 0);
  EXPECT_EQ(TopRowShowing(20, 2, 30), 2);
}

TEST(MemoryListTest, ClicksRangesAndDeletions) {
  GridSelection s;
  ASSERT_TRUE(s.Reset(65535).ok());  // a 16-bit total fits
  ASSERT_TRUE(s.Reset(20).ok());
  s.Click(4, ClickKind::kPlain);
  s.Click(9, ClickKind::kShift);
  EXPECT_EQ(s.Numbers(), (std::vector<int>{4, 5, 6, 7, 8, 9}));
  s.Click(9, ClickKind::kPlain);
  s.Click(4, ClickKind::kShift);  // the other order gives the same
  EXPECT_EQ(s.Numbers(), (std::vector<int>{4, 5, 6, 7, 8, 9}));
  s.Click(6, ClickKind::kCtrl);
  s.Click(12, ClickKind::kCtrl);
  EXPECT_EQ(s.Numbers(), (std::vector<int>{4, 5, 7, 8, 9, 12}));
  EXPECT_EQ(s.count(), 6);
  // Pictures 5 and 8 deleted: the camera renumbers the rest.
  s.Deleted(std::vector<int>{8, 5});
  EXPECT_EQ(s.total(), 18);
  EXPECT_EQ(s.Numbers(), (std::vector<int>{4, 6, 7, 10}));
  EXPECT_EQ(s.count(), 4);
  EXPECT_EQ(s.anchor(), 7);  // picture 9 is now 7

  EXPECT_FALSE(ParseRange("5", "3", 20));
  EXPECT_FALSE(ParseRange("0", "3", 20));
  EXPECT_FALSE(ParseRange("1", "21", 20));
  EXPECT_FALSE(ParseRange("", "3", 20));
  EXPECT_EQ(ParseRange("3", "20", 20), std::make_pair(3, 20));
  EXPECT_EQ(FilterRangeField("12a", "12", 20), "12");
  EXPECT_EQ(FilterRangeField("123456", "12345", 20), "20");
  EXPECT_EQ(FilterRangeField("", "1", 20), "");
}

TEST(MemoryListTest, CacheCyclesOverFortyEightEntriesAndFollowsDeletions) {
  ThumbnailCache cache;
  for (int n = 1; n <= 50; ++n) cache.Store(n, ImageRecord{}, {2001, 1, n % 28 + 1});
  EXPECT_EQ(cache.Find(1), nullptr);  // the oldest two went to 49 and 50
  EXPECT_EQ(cache.Find(2), nullptr);
  ASSERT_NE(cache.Find(3), nullptr);
  ASSERT_NE(cache.Find(50), nullptr);
  cache.Deleted(std::vector<int>{10, 3});
  EXPECT_EQ(cache.Find(50), nullptr);
  ASSERT_NE(cache.Find(48), nullptr);  // was 50
  EXPECT_EQ(cache.Find(48)->date.day, 50 % 28 + 1);
  ASSERT_NE(cache.Find(9), nullptr);  // was 11
  EXPECT_EQ(cache.Find(9)->date.day, 11 % 28 + 1);
}

TEST(MemoryListTest, DateLabelsByRegionAndFromExif) {
  const ThumbnailDate d{2001, 1, 5};
  EXPECT_EQ(ThumbnailDateLabel(d, 0), "JAN.5,2001");
  EXPECT_EQ(ThumbnailDateLabel(d, 3), "2001/1/5");
  EXPECT_EQ(ThumbnailDateLabel(d, 1), "5 JAN.,2001");
  EXPECT_EQ(ThumbnailDateLabel(d, 2), "5 JAN.,2001");
  EXPECT_EQ(ThumbnailDateLabel({}, 0), "");
  EXPECT_EQ(ThumbnailLabel(12), "Image 12");

  // A JPEG whose Exif segment carries the date the picture was taken.
  auto exif = BuildExifSegment(160, 120, {}, ExifDateTime{2003, 7, 14, 9, 30, 0});
  ASSERT_TRUE(exif.ok());
  std::vector<uint8_t> jpeg = {0xFF, 0xD8};
  jpeg.insert(jpeg.end(), exif->begin(), exif->end());
  jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
  EXPECT_EQ(ThumbnailDateOf(jpeg), (ThumbnailDate{2003, 7, 14}));
  jpeg[2] = 0x00;  // no longer a segment
  EXPECT_TRUE(ThumbnailDateOf(jpeg).none());
}

// The dithered picture keeps every pixel on the cube and, over each 8 × 8
// tile of a flat colour, averages to that colour within one cube step / 8.
TEST(MemoryListTest, CubeDitherKeepsFlatColoursOnAverage) {
  constexpr int kSize = 16;
  for (int value : {0, 30, 51, 76, 128, 200, 230, 254, 255}) {
    auto src = ImageRecord::Create(kSize, kSize, 24);
    ASSERT_TRUE(src.ok());
    uint8_t* bits = ImageBits(*src);
    const uint64_t stride = ImageRowStride(kSize, 24);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        uint8_t* p = bits + stride * y + 3 * x;
        p[0] = static_cast<uint8_t>(value);          // blue
        p[1] = static_cast<uint8_t>(255 - value);    // green
        p[2] = static_cast<uint8_t>(value / 2);      // red
      }
    auto cube = CubeDither(*src);
    ASSERT_TRUE(cube.ok());
    ASSERT_EQ(ImageBitCount(*cube), 8);
    ASSERT_EQ(GetU32(cube->data() + 32), 0u);  // colours used 0: a full table of 256
    EXPECT_EQ(ImagePaletteEntry(*cube, 36 * 5 + 6 * 2 + 1), (Rgb{51, 102, 255}));
    EXPECT_EQ(ImagePaletteEntry(*cube, 216), (Rgb{0, 0, 0}));
    double sum[3] = {0, 0, 0};
    const uint8_t* out = ImageBits(*cube);
    const uint64_t out_stride = ImageRowStride(kSize, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const int index = out[out_stride * y + x];
        ASSERT_LT(index, 216);
        const Rgb c = ImagePaletteEntry(*cube, static_cast<uint32_t>(index));
        sum[0] += c.blue;
        sum[1] += c.green;
        sum[2] += c.red;
      }
    EXPECT_NEAR(sum[0] / 64, value, 51.0 / 8) << value;
    EXPECT_NEAR(sum[1] / 64, 255 - value, 51.0 / 8) << value;
    EXPECT_NEAR(sum[2] / 64, value / 2, 51.0 / 8) << value;
  }
  auto grey = ImageRecord::Create(4, 4, 8, 256);
  EXPECT_FALSE(CubeDither(*grey).ok());
}

}  // namespace
}  // namespace fq::cam
