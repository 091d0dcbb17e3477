#include "calendar/calendar_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/bytes.h"
#include "base/file_io.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "support/faulty_file_system.h"
#include "support/scratch_dir.h"

namespace fq::cal {
namespace {

using testing_support::FaultyFileSystem;
using testing_support::ScratchDir;

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void PutFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

LogFont Font(int base) {
  LogFont f;
  f.height = -(base + 1);
  f.width = base + 2;
  f.escapement = base + 3;
  f.orientation = base + 4;
  f.weight = base + 5;
  f.italic = static_cast<uint8_t>(base + 6);
  f.underline = static_cast<uint8_t>(base + 7);
  f.strike_out = static_cast<uint8_t>(base + 8);
  f.char_set = static_cast<uint8_t>(base + 9);
  f.out_precision = static_cast<uint8_t>(base + 10);
  f.clip_precision = static_cast<uint8_t>(base + 11);
  f.quality = static_cast<uint8_t>(base + 12);
  f.pitch_and_family = static_cast<uint8_t>(base + 13);
  f.SetFace("Face" + std::to_string(base));
  return f;
}

// Every field a different value, so that a field at a wrong offset shows.
CalendarRecord Distinct() {
  CalendarRecord r;
  r.Kind = kMonthly;
  SetFieldText(r.FullPath, "C:\\Photos\\sea.bmp");
  SetFieldText(r.FileName, "sea.bmp");
  SetFieldText(r.Year, "2003");
  SetFieldText(r.Month, "8");
  r.GroupI = 1112;
  r.CheckImage = 0x01020304;
  r.GroupY = 1203;
  r.GroupYP = 1207;
  r.FontY = Font(10);
  r.ColorY = 0x00112233;
  r.GroupM = 1302;
  r.GroupMP = 1306;
  r.FontM = Font(30);
  r.ColorM = 0x00445566;
  r.GroupW = 1302;
  r.FontW = Font(50);
  r.GroupWclr = 1502;
  r.ClrWmon = 0x00010101;
  r.ClrWsat = 0x00020202;
  r.ClrWsun = 0x00030303;
  r.GroupD = 1337;
  r.FontD = Font(70);
  r.GroupDclr = 1503;
  r.ClrDmon = 0x00040404;
  r.ClrDsat = 0x00050505;
  r.ClrDsun = 0x00060606;
  r.GroupF = 1305;
  r.ColorF = 0x00070707;
  r.FontTarget = 1353;
  r.SixRows = 1;
  SetDayText(r, 1, "first");
  SetDayText(r, 31, "last day");
  r.SchedulePos = 1335;
  r.ScheduleFont = Font(90);
  r.ScheduleColor = 0x00080808;
  return r;
}

void ExpectFontAt(const std::array<uint8_t, kRecordSize>& b, size_t at, int base) {
  EXPECT_EQ(GetI32(&b[at]), -(base + 1)) << at;
  EXPECT_EQ(GetI32(&b[at + 4]), base + 2) << at;
  EXPECT_EQ(GetI32(&b[at + 8]), base + 3) << at;
  EXPECT_EQ(GetI32(&b[at + 12]), base + 4) << at;
  EXPECT_EQ(GetI32(&b[at + 16]), base + 5) << at;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b[at + 20 + i], base + 6 + i) << at;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[at + 28])), "Face" + std::to_string(base));
}

TEST(CalendarRecord, EveryFieldAtItsOffset) {
  const auto b = ToBytes(Distinct());
  auto text = [&](size_t at) { return std::string(reinterpret_cast<const char*>(&b[at])); };
  EXPECT_EQ(GetU32(&b[0]), 131u);
  EXPECT_EQ(text(4), "C:\\Photos\\sea.bmp");
  EXPECT_EQ(text(264), "sea.bmp");
  EXPECT_EQ(text(524), "2003");
  EXPECT_EQ(text(529), "8");
  const std::pair<size_t, uint32_t> words[] = {
      {534, 1112},       {538, 0x01020304}, {542, 1203},       {546, 1207},
      {610, 0x00112233}, {614, 1302},       {618, 1306},       {682, 0x00445566},
      {686, 1302},       {750, 1502},       {754, 0x00010101}, {758, 0x00020202},
      {762, 0x00030303}, {766, 1337},       {830, 1503},       {834, 0x00040404},
      {838, 0x00050505}, {842, 0x00060606}, {846, 1305},       {850, 0x00070707},
      {854, 1353},       {858, 1},          {1462, 1335},      {1526, 0x00080808}};
  for (auto [at, v] : words) EXPECT_EQ(GetU32(&b[at]), v) << "offset " << at;
  ExpectFontAt(b, 550, 10);
  ExpectFontAt(b, 622, 30);
  ExpectFontAt(b, 690, 50);
  ExpectFontAt(b, 770, 70);
  ExpectFontAt(b, 1466, 90);
  EXPECT_EQ(text(862), "first");
  EXPECT_EQ(text(862 + 15 * 30), "last day");
  // Reading gives back every field, and bytes of any content survive a
  // round trip unchanged (texts after their terminators included).
  EXPECT_EQ(FromBytes(b), Distinct());
  std::array<uint8_t, kRecordSize> noise;
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7 + 3);
  EXPECT_EQ(ToBytes(FromBytes(noise)), noise);
}

TEST(CalendarRecord, CheckedWhenRead) {
  CalendarRecord good = Distinct();
  good.CheckImage = 1;
  auto parse = [](const CalendarRecord& r) {
    auto b = ToBytes(r);
    return ParseCalendarRecord(b);
  };
  ASSERT_TRUE(parse(good).ok());

  auto bytes = ToBytes(good);
  EXPECT_EQ(ParseCalendarRecord(std::span(bytes).first(1529)).message(), err::kFailedToReadFile);

  for (uint32_t kind : {0u, 130u, 133u}) {
    CalendarRecord r = good;
    r.Kind = kind;
    EXPECT_FALSE(parse(r).ok()) << kind;
  }
  for (const char* year : {"1998", "2100", "20a3", "", "02003"}) {
    CalendarRecord r = good;
    SetFieldText(r.Year, year);
    EXPECT_EQ(parse(r).message(), err::kFailedToReadFile) << year;
  }
  for (const char* month : {"0", "13", "1x", "", "008"}) {
    CalendarRecord r = good;
    SetFieldText(r.Month, month);
    EXPECT_FALSE(parse(r).ok()) << month;
    r.Kind = kYearly;  // a yearly page has no month
    EXPECT_TRUE(parse(r).ok()) << month;
  }
  for (int32_t h : {1189, -1189, INT32_MIN}) {
    CalendarRecord r = good;
    r.ScheduleFont.height = h;
    EXPECT_FALSE(parse(r).ok()) << h;
    r = good;
    r.FontW.width = h;
    EXPECT_FALSE(parse(r).ok()) << h;
  }

  // Groups outside their lists take their defaults; terminators are forced.
  CalendarRecord odd = good;
  odd.GroupI = 7;
  odd.GroupY = 1300;
  odd.GroupYP = 0;
  odd.GroupW = 1307;  // a yearly style on a monthly page
  odd.GroupD = 1340;
  odd.GroupF = 1306;
  odd.GroupWclr = odd.GroupDclr = 1504;
  odd.FullPath.fill('x');
  odd.FontY.face_name.fill('y');
  std::fill_n(odd.Schedule.begin(), 15, 'z');
  auto fixed = parse(odd);
  ASSERT_TRUE(fixed.ok());
  EXPECT_EQ(fixed->GroupI, kPortrait);
  EXPECT_EQ(fixed->GroupY, kTitle1);
  EXPECT_EQ(fixed->GroupYP, kTitleCentre);
  EXPECT_EQ(fixed->GroupW, kStyle1);
  EXPECT_EQ(fixed->GroupD, kCellTopLeft);
  EXPECT_EQ(fixed->GroupF, kFrameOn);
  EXPECT_EQ(fixed->GroupWclr, kColorWeekday);
  EXPECT_EQ(fixed->GroupDclr, kColorWeekday);
  EXPECT_EQ(FieldText(fixed->FullPath).size(), 259u);
  EXPECT_EQ(fixed->FontY.Face().size(), 31u);
  EXPECT_EQ(DayText(*fixed, 1), std::string(14, 'z'));
  EXPECT_EQ(DayText(*fixed, 2), "");
  odd.Kind = kYearly;
  odd.GroupW = 1301;  // a monthly style on a yearly page
  odd.GroupM = 99;
  odd.GroupMP = 1303;
  fixed = parse(odd);
  ASSERT_TRUE(fixed.ok());
  EXPECT_EQ(fixed->GroupW, kYearLetters);
  EXPECT_EQ(fixed->GroupM, kStyle1);
  EXPECT_EQ(fixed->GroupMP, kMonthCentre);
}

class CalendarFiles : public ::testing::Test {
 protected:
  ScratchDir dir_;

  // A small BMP picture on disk; returns its record as read.
  ImageRecord MakePhoto(const std::string& path, int w, int h) {
    auto rec = ImageRecord::Create(w, h, 24);
    EXPECT_TRUE(rec.ok());
    for (size_t i = 0; i < rec->size() - 40; ++i) ImageBits(*rec)[i] = static_cast<uint8_t>(i);
    EXPECT_TRUE(WriteBitmapFile(path, *rec).ok());
    return std::move(*rec);
  }
};

TEST_F(CalendarFiles, SizesRecognitionAndSelfContainedPhoto) {
  CalendarRecord r = Distinct();
  r.CheckImage = 1;
  const std::string no_photo = dir_ / "plain.cal";
  ASSERT_TRUE(SaveCalendarFile(no_photo, r, "").ok());
  EXPECT_EQ(std::filesystem::file_size(no_photo), 1530u);
  EXPECT_TRUE(IsCalendarFile(no_photo));
  // Day slots past day 31 stay zero in a written file.
  auto plain = FileBytes(no_photo);
  EXPECT_TRUE(std::all_of(plain.begin() + 1327, plain.begin() + 1462, [](uint8_t b) { return b == 0; }));
  // One byte short is not a calendar, whatever its first word says.
  plain.pop_back();
  PutFile(dir_ / "short.cal", plain);
  EXPECT_FALSE(IsCalendarFile(dir_ / "short.cal"));
  EXPECT_EQ(ReadCalendarRecord(dir_ / "short.cal").message(), err::kFailedToReadFile);

  const std::string source = dir_ / "sea.bmp";
  ImageRecord photo = MakePhoto(source, 33, 20);
  r.CheckImage = 0;
  SetFieldText(r.FullPath, source);
  const std::string with_photo = dir_ / "photo.cal";
  ASSERT_TRUE(SaveCalendarFile(with_photo, r, "").ok());
  auto bytes = FileBytes(with_photo);
  ASSERT_EQ(bytes.size(), 1530u + 14u + photo.size());
  EXPECT_EQ(bytes[1530], 'B');
  EXPECT_EQ(bytes[1531], 'M');
  EXPECT_EQ(GetU32(&bytes[1532]), 14u + photo.size());
  EXPECT_EQ(GetU32(&bytes[1540]), 14u + 40u);
  EXPECT_TRUE(std::equal(photo.bytes().begin(), photo.bytes().end(), bytes.begin() + 1544));
  // The embedded BMP is a BMP file of its own.
  std::vector<uint8_t> bmp(bytes.begin() + 1530, bytes.end());
  ASSERT_TRUE(ReadBitmapBytes(bmp).ok());

  // The photograph's source may go: the file still has it, and saving the
  // page again takes it from the file itself.
  std::filesystem::remove(source);
  auto read = ReadCalendarRecord(with_photo);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(ToBytes(*read), ToBytes(r));
  auto again = LoadCalendarPhoto(*read, with_photo);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(std::equal(photo.bytes().begin(), photo.bytes().end(), again->bytes().begin()));
  EXPECT_EQ(LoadCalendarPhoto(*read, "").message(), err::kFileCannotBeOpened);
  ASSERT_TRUE(SaveCalendarFile(dir_ / "copy.cal", *read, with_photo).ok());
  EXPECT_EQ(FileBytes(dir_ / "copy.cal"), bytes);
  // Saving over its own file: the photograph is read before the file goes.
  ASSERT_TRUE(SaveCalendarFile(with_photo, *read, with_photo).ok());
  EXPECT_EQ(FileBytes(with_photo), bytes);
}

TEST_F(CalendarFiles, JpegPhotographAndDamagedFiles) {
  const std::string bmp = dir_ / "p.bmp", jpg = dir_ / "p.jpg";
  MakePhoto(bmp, 64, 48);
  ASSERT_TRUE(BitmapFileToJpeg(bmp, jpg, kSampling2x1, 90).ok());
  CalendarRecord r = Distinct();
  r.CheckImage = 0;
  SetFieldText(r.FullPath, jpg);
  const std::string cal = dir_ / "j.cal";
  ASSERT_TRUE(SaveCalendarFile(cal, r, "").ok());
  auto photo = ReadCalendarPhoto(cal);
  ASSERT_TRUE(photo.ok());
  EXPECT_EQ(ImageWidth(*photo), 64);
  EXPECT_EQ(ImageHeight(*photo), 48);
  EXPECT_EQ(ImageBitCount(*photo), 24);

  // No "BM" at 1530, or nothing after the record.
  auto bytes = FileBytes(cal);
  bytes[1530] = 'X';
  PutFile(dir_ / "nobm.cal", bytes);
  EXPECT_EQ(ReadCalendarPhoto(dir_ / "nobm.cal").message(), err::kBmpCannotBeAllocated);
  bytes.resize(1530);
  PutFile(dir_ / "cut.cal", bytes);
  EXPECT_FALSE(ReadCalendarPhoto(dir_ / "cut.cal").ok());
  bytes = FileBytes(cal);
  bytes.resize(bytes.size() - 100);
  PutFile(dir_ / "short_dib.cal", bytes);
  EXPECT_EQ(ReadCalendarPhoto(dir_ / "short_dib.cal").message(), err::kFailedToReadFile);
}

TEST_F(CalendarFiles, FailedSaveKeepsTheOldFile) {
  const std::string source = dir_ / "sea.bmp";
  MakePhoto(source, 200, 150);
  CalendarRecord r = Distinct();
  r.CheckImage = 0;
  SetFieldText(r.FullPath, source);
  const std::string target = dir_ / "page.cal";
  PutFile(target, {'o', 'l', 'd'});

  FaultyFileSystem fs;
  fs.write_budget = 4000;  // the record fits, the photograph does not
  io::SetFileSystem(&fs);
  Status s = SaveCalendarFile(target, r, "");
  io::SetFileSystem(nullptr);
  EXPECT_EQ(s.message(), err::kDiskFull);
  EXPECT_EQ(FileBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);

  // A photograph that cannot be loaded: nothing is written at all.
  std::filesystem::remove(source);
  EXPECT_EQ(SaveCalendarFile(target, r, "").message(), err::kFileCannotBeOpened);
  EXPECT_EQ(FileBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(CalendarFileName, CalAppendedUnlessPresent) {
  EXPECT_EQ(CalendarFileName("C:\\a\\page"), "C:\\a\\page.cal");
  EXPECT_EQ(CalendarFileName("page.cal"), "page.cal");
  EXPECT_EQ(CalendarFileName("page.CAL"), "page.CAL");
  EXPECT_EQ(CalendarFileName("page.bmp"), "page.bmp.cal");
}

}  // namespace
}  // namespace fq::cal
