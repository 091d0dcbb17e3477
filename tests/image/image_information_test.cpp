// The Image Information fields read from files, and their texts by region.
#include <gtest/gtest.h>

#include "exif_test_util.h"
#include "image/bmp_file.h"
#include "image/image_information.h"
#include "jpeg_test_util.h"
#include "base/region.h"

namespace fq {
namespace {

using testing::MakeJpeg;
using testing::ScratchDir;
using testing::TiffBytes;
using testing::WithSegments;
using testing::WriteBytes;

const FileTimes kTimes{ExifDateTime{2000, 12, 31, 8, 0, 1}, ExifDateTime{2001, 1, 2, 3, 4, 5}};

TEST(ImageInformationText, DatesFollowTheRegion) {
  EXPECT_EQ(FormatDateForRegion("1999:01:26 01:01:01", region::kEnglish), "JAN.26.1999 01:01:01");
  EXPECT_EQ(FormatDateForRegion("1999:01:26 01:01:01", region::kGerman), "26 JAN.,1999 01:01:01");
  EXPECT_EQ(FormatDateForRegion("2003:12:05 23:00:00", region::kFrench), "05 DEC.,2003 23:00:00");
  EXPECT_EQ(FormatDateForRegion("1999:01:26 01:01:01", region::kJapanese), "1999:01:26 01:01:01");
  EXPECT_EQ(FormatDateForRegion("", region::kEnglish), "");
  // Not a date, or no such month: shown as stored.
  for (const char* odd : {"    :  :     :  :  ", "1999:13:01 00:00:00", "1999:1", "x", ":01:02"})
    EXPECT_EQ(FormatDateForRegion(odd, region::kEnglish), odd);
}

TEST(ImageInformationText, FieldsAndDialogNames) {
  ImageInformation info;
  info.file_name = "DSC0001.jpg";
  info.location = "/pictures/";
  info.exif = {"MEROVANTA", "LUMVEX01 ", "1999:01:26 01:01:01", "", 640, 0};
  ImageInformationTexts t = FormatImageInformation(info, region::kEnglish);
  EXPECT_EQ(t.file_name, "DSC0001.jpg");
  EXPECT_EQ(t.location, "/pictures/");
  EXPECT_EQ(t.manufacture, "MEROVANTA");
  EXPECT_EQ(t.model, "LUMVEX01 ");
  EXPECT_EQ(t.created, "JAN.26.1999 01:01:01");
  EXPECT_EQ(t.modified, "");
  EXPECT_EQ(t.width, "640");
  EXPECT_EQ(t.height, "");  // 0: unknown
  EXPECT_EQ(FormatDimension(4000000000u), "4000000000");
  EXPECT_EQ(ExifDialogName(region::kEnglish), "EXIF_DIALOG_US");
  EXPECT_EQ(ExifDialogName(region::kFrench), "EXIF_DIALOG_EU");
  EXPECT_EQ(ExifDialogName(region::kGerman), "EXIF_DIALOG_EU");
  EXPECT_EQ(ExifDialogName(region::kJapanese), "EXIF_DIALOG_JAPAN");
}

TEST(ImageInformationRead, EachKindOfFile) {
  ScratchDir dir;
  // Exif without a size: the decoder's size; dates only from the segment.
  TiffBytes t(false);
  t.Ifd(8, 2, 0);
  t.Entry(8, 0, exif_tag::kMake, exif_type::kAscii, 4, 0);
  t.EntryBytes(8, 0, std::string_view("Abc\0", 4));
  t.Entry(8, 1, exif_tag::kDateTime, exif_type::kAscii, 20, 100);
  t.Text(100, "2002:02:02 02:02:02");
  WriteBytes(dir / "exif.jpg", WithSegments(MakeJpeg({}), {t.Segment()}));
  auto exif = ReadImageInformation(dir / "exif.jpg", kTimes);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->source, InformationSource::kExif);
  EXPECT_EQ(exif->exif.make, "Abc");
  EXPECT_EQ(exif->exif.date_changed, "2002:02:02 02:02:02");
  EXPECT_EQ(exif->exif.date_taken, "");
  EXPECT_EQ(exif->exif.width, 64u);
  EXPECT_EQ(exif->exif.height, 48u);
  EXPECT_EQ(exif->file_name, "exif.jpg");
  EXPECT_EQ(exif->location, dir.path());

  // Maker segment: its size, the file's times.
  // Base 30; directory at base + 0 (offset 0 in the last four bytes) with
  // one entry, the size at base + 20.
  std::vector<uint8_t> maker(70, 0);
  maker[0] = 0xFF, maker[1] = 0xE0, maker[3] = 68, maker[4] = maker[5] = 'I';
  std::memcpy(&maker[10], "HEAPJPGM", 8);
  maker[30] = 1;
  maker[32] = 0x10, maker[33] = 0x18;
  maker[38] = 20;
  PutU32(&maker[50], 1600);
  PutU32(&maker[54], 1200);
  WriteBytes(dir / "maker.jpg", WithSegments(MakeJpeg({}), {maker}));
  auto m = ReadImageInformation(dir / "maker.jpg", kTimes);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->source, InformationSource::kMaker);
  EXPECT_EQ(m->exif.width, 1600u);
  EXPECT_EQ(m->exif.height, 1200u);
  EXPECT_EQ(m->exif.date_taken, "2000:12:31 08:00:01");
  EXPECT_EQ(m->exif.date_changed, "2001:01:02 03:04:05");

  WriteBytes(dir / "plain.jpg", MakeJpeg({}));
  auto plain = ReadImageInformation(dir / "plain.jpg", {});
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->source, InformationSource::kPlainJpeg);
  EXPECT_EQ(plain->exif.width, 64u);
  EXPECT_EQ(plain->exif.date_changed, "");

  auto bmp = ImageRecord::Create(7, 5, 24);
  ASSERT_TRUE(WriteBitmapFile(dir / "p.bmp", *bmp));
  auto b = ReadImageInformation(dir / "p.bmp", kTimes);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->source, InformationSource::kBitmap);
  EXPECT_EQ(b->exif.width, 7u);
  EXPECT_EQ(b->exif.height, 5u);
  EXPECT_EQ(b->exif.date_changed, "2001:01:02 03:04:05");

  EXPECT_EQ(ReadImageInformation(dir / "gone.jpg", kTimes).message(), err::kFileDoesNotExist);
  WriteBytes(dir / "text.jpg", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(ReadImageInformation(dir / "text.jpg", kTimes).message(), err::kNotJpeg);
  auto cal = CalendarPageInformation(dir / "x.cal", kTimes);
  EXPECT_EQ(cal.file_name, "x.cal");
  EXPECT_EQ(cal.exif.date_taken, "2000:12:31 08:00:01");
  EXPECT_EQ(cal.exif.width, 0u);
}

}  // namespace
}  // namespace fq
