// The picture cell's rules: the thumbnail (fitting, nearest-neighbour
// samples, palette pictures, other forms on the canvas), the date label of
// every region and where the date comes from, and renaming through the
// title (accepted titles, forbidden characters, the new path and its length).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "album/album_date.h"
#include "album/album_file.h"
#include "album/album_rename.h"
#include "album/album_thumbnail.h"
#include "base/region.h"
#include "image/exif.h"
#include "image/jpeg_file.h"
#include "support/scratch_dir.h"

namespace fq::album {
namespace {

// A bottom-up picture whose pixel (x, y) — y counted from the bottom — is
// blue x, green y, red 7 (24 bits), or index (x + y) mod colours (8 bits).
ImageRecord Picture(int32_t w, int32_t h, uint16_t bits, uint32_t colors = 0, bool top_down = false) {
  auto r = ImageRecord::Create(w, h, bits, colors);
  EXPECT_TRUE(r.ok());
  if (top_down) PutI32(r->data() + 8, -h);
  PutU32(r->data() + 24, 3780);  // resolution, both ways
  PutU32(r->data() + 28, 2835);
  const uint32_t n = bits == 8 ? (colors ? colors : 256) : 0;
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t* e = r->data() + 40 + 4 * i;
    e[0] = static_cast<uint8_t>(i);
    e[1] = static_cast<uint8_t>(255 - i);
    e[2] = 9;
  }
  const uint64_t stride = ImageRowStride(w, bits);
  for (int32_t y = 0; y < h; ++y) {
    const int32_t stored = top_down ? h - 1 - y : y;
    uint8_t* row = ImageBits(*r) + stride * static_cast<uint64_t>(stored);
    for (int32_t x = 0; x < w; ++x) {
      if (bits == 24) {
        row[3 * x] = static_cast<uint8_t>(x);
        row[3 * x + 1] = static_cast<uint8_t>(y);
        row[3 * x + 2] = 7;
      } else {
        row[x] = static_cast<uint8_t>((x + y) % (n ? n : 256));
      }
    }
  }
  return std::move(*r);
}

Rgb PixelAt(const ImageRecord& r, int32_t x, int32_t y) {
  const uint8_t* p = ImageBits(r) + ImageRowStride(ImageWidth(r), 24) * static_cast<uint64_t>(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

TEST(CellThumbnail, FitsByWholeNumbers) {
  EXPECT_EQ(FitThumbnailSize(640, 480), (FittedSize{96, 72}));
  EXPECT_EQ(FitThumbnailSize(480, 640), (FittedSize{54, 72}));
  EXPECT_EQ(CentreOnCanvas({54, 72}).x, 21);  // 21 pixels of face on each side
  EXPECT_EQ(FitThumbnailSize(1600, 1200), (FittedSize{96, 72}));
  EXPECT_EQ(FitThumbnailSize(100, 50), (FittedSize{96, 48}));
  EXPECT_EQ(FitThumbnailSize(10, 10), (FittedSize{72, 72}));  // small pictures grow
  // A strip more than 96 times wider than high keeps one row.
  EXPECT_EQ(FitThumbnailSize(1000, 1), (FittedSize{96, 1}));
  EXPECT_EQ(FitThumbnailSize(1, 1000), (FittedSize{1, 72}));
  EXPECT_EQ(FitThumbnailSize(0, 10), (FittedSize{}));
}

TEST(CellThumbnail, FullColourTakesNearestSamplesFromTheBottomLeft) {
  for (bool top_down : {false, true}) {
    ImageRecord src = Picture(200, 150, 24, 0, top_down);
    auto sub = SubsamplePicture(src);
    ASSERT_TRUE(sub.ok());
    const ImageRecord& t = sub->thumbnail;
    ASSERT_TRUE(IsValidThumbnail(t));
    EXPECT_TRUE(sub->shown.empty());
    EXPECT_EQ(ImageWidth(t), 96);
    EXPECT_EQ(ImageHeight(t), 72);
    EXPECT_EQ(GetU32(t.data() + 20), 0u);  // no image size
    EXPECT_EQ(GetU32(t.data() + 24), 3780u);
    EXPECT_EQ(GetU32(t.data() + 28), 2835u);
    for (int32_t r = 0; r < 72; ++r)
      for (int32_t c = 0; c < 96; ++c)
        ASSERT_EQ(PixelAt(t, c, r), (Rgb{static_cast<uint8_t>(c * 200 / 96), static_cast<uint8_t>(r * 150 / 72), 7}))
            << c << "," << r << (top_down ? " top-down" : "");
  }
}

TEST(CellThumbnail, PalettePictureKeepsIndexesAndStoresColours) {
  ImageRecord src = Picture(33, 44, 8, 20);
  auto sub = SubsamplePicture(src);
  ASSERT_TRUE(sub.ok());
  const FittedSize f = FitThumbnailSize(33, 44);
  ASSERT_EQ(ImageBitCount(sub->shown), 8);
  EXPECT_EQ(ImageColorCount(sub->shown), 20u);
  for (int32_t r = 0; r < f.height; ++r)
    for (int32_t c = 0; c < f.width; ++c) {
      const int index = (c * 33 / f.width + r * 44 / f.height) % 20;
      const uint8_t shown = ImageBits(sub->shown)[ImageRowStride(f.width, 8) * static_cast<uint64_t>(r) + c];
      ASSERT_EQ(shown, index);
      ASSERT_EQ(PixelAt(sub->thumbnail, c, r), (Rgb{static_cast<uint8_t>(index), static_cast<uint8_t>(255 - index), 9}));
    }
  // An index past the colours reads as colour 0.
  ImageBits(src)[0] = 200;
  auto again = SubsamplePicture(src);
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(PixelAt(again->thumbnail, 0, 0), (Rgb{0, 255, 9}));
}

TEST(CellThumbnail, StoredThumbnailComesOutUnchanged) {
  // What an album file holds is made again from itself when it is loaded.
  for (auto [w, h] : {std::pair{640, 480}, {480, 640}, {97, 3}, {5, 300}}) {
    auto first = MakeStoredThumbnail(Picture(w, h, 24));
    ASSERT_TRUE(first.ok());
    auto second = MakeStoredThumbnail(*first);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(std::vector<uint8_t>(first->bytes().begin(), first->bytes().end()),
              std::vector<uint8_t>(second->bytes().begin(), second->bytes().end()))
        << w << "x" << h;
  }
}

TEST(CellThumbnail, OtherFormsFillTheCanvasWithTheFace) {
  // A 4-bit picture 40 × 80 (two colours in stripes): stretched to 36 × 72
  // in the middle of a 96 × 72 canvas of the face colour.
  auto src = ImageRecord::Create(40, 80, 4, 2);
  ASSERT_TRUE(src.ok());
  uint8_t* pal = src->data() + 40;
  pal[0] = 10, pal[1] = 20, pal[2] = 30;   // colour 0
  pal[4] = 200, pal[5] = 210, pal[6] = 220;  // colour 1
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 20; ++x)  // two pixels a byte: 0, 1
      ImageBits(*src)[ImageRowStride(40, 4) * y + x] = 0x01;
  EXPECT_FALSE(TakesSubsamplingRoad(*src));
  const Rgb face{1, 2, 3};
  auto t = MakeStoredThumbnail(*src, face);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE(IsValidThumbnail(*t));
  ASSERT_EQ(ImageWidth(*t), 96);
  ASSERT_EQ(ImageHeight(*t), 72);
  EXPECT_EQ(PixelAt(*t, 0, 0), face);
  EXPECT_EQ(PixelAt(*t, 29, 71), face);
  EXPECT_EQ(PixelAt(*t, 66, 10), face);
  EXPECT_EQ(PixelAt(*t, 30, 0), (Rgb{10, 20, 30}));   // column 0 of the picture
  EXPECT_EQ(PixelAt(*t, 31, 40), (Rgb{200, 210, 220}));  // column 1 (31 - 30 = 1 → source 1)
  EXPECT_EQ(PixelAt(*t, 64, 40), (Rgb{200, 210, 220}));  // 34 → source 37
  EXPECT_EQ(PixelAt(*t, 65, 40), (Rgb{10, 20, 30}));     // 35 → source 38
}

TEST(CellThumbnail, UnusableSourcesFail) {
  auto short_block = ImageRecord::Adopt(std::vector<uint8_t>(40 + 10, 0));
  PutU32(short_block.data(), 40);
  PutI32(short_block.data() + 4, 100);
  PutI32(short_block.data() + 8, 100);
  PutU16(short_block.data() + 14, 24);
  EXPECT_FALSE(SubsamplePicture(short_block).ok());
  EXPECT_FALSE(MakeStoredThumbnail(ImageRecord{}).ok());
}

TEST(CellDate, LabelsOfEveryRegion) {
  const PictureDate d{2001, 1, 5};
  EXPECT_EQ(DateLabel(d, region::kEnglish), "JAN. 5, 2001");
  EXPECT_EQ(DateLabel(d, region::kJapanese), "2001/1/5");
  EXPECT_EQ(DateLabel(d, region::kFrench), "5 JAN.,2001");
  EXPECT_EQ(DateLabel(d, region::kGerman), "5 JAN.,2001");
  EXPECT_EQ(DateLabel({1999, 12, 31}, region::kEnglish), "DEC. 31, 1999");
  for (int r = 0; r < 4; ++r) EXPECT_EQ(DateLabel({}, r), "");
}

TEST(CellDate, CameraTextsAndFiles) {
  EXPECT_EQ(DateFromCameraText("2001:01:05 10:20:30"), (PictureDate{2001, 1, 5}));
  EXPECT_EQ(DateFromCameraText("0000:00:00 00:00:00"), PictureDate{});
  EXPECT_FALSE(DateFromCameraText("2001:13:05 10:20:30"));
  EXPECT_FALSE(DateFromCameraText("2001-01-05"));
  EXPECT_FALSE(DateFromCameraText(""));

  testing_support::ScratchDir dir;
  const std::string jpg = dir / "a.jpg";
  ASSERT_TRUE(ImageToJpegFile(Picture(64, 48, 24), jpg, kSampling2x1, 75).ok());
  const PictureDate created{2020, 6, 7};
  // No camera data: the creation date.
  EXPECT_EQ(PictureDateOf(jpg, created), created);
  // The camera's date taken wins.
  ASSERT_FALSE(AddExifToJpeg(jpg, ExifDateTime{2001, 1, 5, 9, 8, 7}));
  EXPECT_EQ(PictureDateOf(jpg, created), (PictureDate{2001, 1, 5}));
  // Other files: the creation date, or none.
  EXPECT_EQ(PictureDateOf(dir / "missing.bmp", created), created);
  EXPECT_EQ(PictureDateOf(dir / "missing.bmp", std::nullopt), PictureDate{});
}

TEST(CellRename, TitlesAcceptedAndRefused) {
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(CheckTitle("holiday.jpg", r), TitleCheck::kAccepted);
    EXPECT_EQ(CheckTitle("holiday", r), TitleCheck::kNoExtension);
    EXPECT_EQ(CheckTitle(".jpg", r), TitleCheck::kNoExtension);
    EXPECT_EQ(CheckTitle("", r), TitleCheck::kNoExtension);
    for (char c : std::string("\\/:*?\"<>|"))
      EXPECT_EQ(CheckTitle(std::string("a") + c + ".jpg", r), TitleCheck::kForbidden) << c << r;
  }
  // Comma and semicolon only for the Japanese region.
  EXPECT_EQ(CheckTitle("a,b.jpg", region::kEnglish), TitleCheck::kAccepted);
  EXPECT_EQ(CheckTitle("a;b.jpg", region::kGerman), TitleCheck::kAccepted);
  EXPECT_EQ(CheckTitle("a,b.jpg", region::kJapanese), TitleCheck::kForbidden);
  EXPECT_EQ(CheckTitle("a;b.jpg", region::kJapanese), TitleCheck::kForbidden);
  // A double-byte character whose second byte is a backslash is one
  // character in the Japanese region, and a backslash elsewhere.
  const std::string dbcs = "\x95\x5C.jpg";
  EXPECT_EQ(CheckTitle(dbcs, region::kJapanese), TitleCheck::kAccepted);
  EXPECT_EQ(CheckTitle(dbcs, region::kEnglish), TitleCheck::kForbidden);
  EXPECT_NE(ForbiddenCharactersText(region::kJapanese).find(", ;"), std::string_view::npos);
  EXPECT_EQ(ForbiddenCharactersText(region::kEnglish).find(", ;"), std::string_view::npos);
}

TEST(CellRename, NewPathKeepsTheExtensionExactly) {
  const std::string old = "C:\\Photos\\DSC0001.JPG";
  EXPECT_EQ(RenamedPathFor(old, "holiday.x").path, "C:\\Photos\\holiday.x.JPG");
  EXPECT_EQ(RenamedPathFor(old, "holiday.JPG").path, "C:\\Photos\\holiday.JPG");
  EXPECT_EQ(RenamedPathFor(old, "holiday.jpg").path, "C:\\Photos\\holiday.jpg.JPG");
  EXPECT_EQ(RenamedPathFor(old, "DSC0001.JPG").path, old);
  EXPECT_EQ(TitleOf(old), "DSC0001.JPG");
}

TEST(CellRename, TheFinalPathMustFitTheAlbum) {
  // Folder and title fit in 259 characters, but not with the old extension
  // appended: the rename is refused rather than giving a path no album can
  // store.
  const std::string folder = "C:\\" + std::string(240, 'f') + "\\";  // 244 characters
  const std::string old = folder + "a.JPG";
  const std::string title = "b123456789.x";  // 244 + 12 = 256, then ".JPG" makes 260
  EXPECT_FALSE(RenamedPathFor(old, "b1234567.x").too_long);  // 258 with ".JPG"
  EXPECT_FALSE(RenamedPathFor(old, "b12345678.x").too_long);  // 259
  EXPECT_TRUE(RenamedPathFor(old, title).too_long);
  EXPECT_EQ(RenamedPathFor(old, title).path.size(), 260u);
}

}  // namespace
}  // namespace fq::album
