#include "image/bmp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "image/bitmap_unpack.h"
#include "base/file_io.h"
#include "support/faulty_file_system.h"

namespace fq {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A BMP file built field by field.
struct BmpLayout {
  uint32_t header_size = 40;
  int32_t width = 1, height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colors_used = 0;
  std::optional<ColorMasks> masks;  // written after a 40-byte header or inside a longer one
  Bytes palette;                    // raw entries, as the file holds them
  uint32_t gap = 0;                 // bytes between palette and pixels
  Bytes pixels;
  std::optional<uint32_t> pixel_offset;  // overrides the computed one

  Bytes Build() const {
    Bytes h;
    Put32(h, header_size);
    if (header_size == kCoreHeaderSize) {
      Put16(h, static_cast<uint16_t>(width));
      Put16(h, static_cast<uint16_t>(height));
      Put16(h, 1);
      Put16(h, bits);
    } else {
      Put32(h, static_cast<uint32_t>(width));
      Put32(h, static_cast<uint32_t>(height));
      Put16(h, 1);
      Put16(h, bits);
      Put32(h, compression);
      Put32(h, 0);
      Put32(h, 2835);
      Put32(h, 2835);
      Put32(h, colors_used);
      Put32(h, 0);
      if (masks) {
        Put32(h, masks->red);
        Put32(h, masks->green);
        Put32(h, masks->blue);
      }
      h.resize(std::max<size_t>(h.size(), header_size), 0);
    }
    Bytes f = {'B', 'M'};
    uint32_t offset = static_cast<uint32_t>(14 + h.size() + palette.size() + gap);
    uint32_t total = offset + static_cast<uint32_t>(pixels.size());
    Put32(f, total);
    Put32(f, 0);
    Put32(f, pixel_offset.value_or(offset));
    f.insert(f.end(), h.begin(), h.end());
    f.insert(f.end(), palette.begin(), palette.end());
    f.insert(f.end(), gap, 0xEE);
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
  }
};

Bytes Palette4(std::initializer_list<Rgb> colors) {
  Bytes p;
  for (const Rgb& c : colors) p.insert(p.end(), {c.blue, c.green, c.red, 0});
  return p;
}

// Pixel (x, y) of a 24-bit record, y counted from the bottom row.
Rgb PixelAt(const ImageRecord& r, int x, int y) {
  const uint8_t* p = ImageBits(r) + y * ImageRowStride(ImageWidth(r), 24) + x * 3;
  return {p[0], p[1], p[2]};
}

ImageRecord ReadOk(const Bytes& file) {
  auto read = ReadBitmapBytes(file);
  EXPECT_TRUE(read.ok()) << "message " << read.message();
  if (!read) return {};
  return std::move(read->record);
}

const Rgb kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0}, kWhite{255, 255, 255},
    kGrey{128, 128, 128}, kBlack{0, 0, 0};

// Every depth: a 3 × 2 picture with the colours
//   top row:    white red   green
//   bottom row: blue  grey  black
struct DepthCase {
  const char* name;
  BmpLayout layout;
  std::vector<Rgb> bottom, top;
};

std::vector<DepthCase> DepthCases() {
  std::vector<DepthCase> cases;
  const std::vector<Rgb> bottom = {kBlue, kGrey, kBlack}, top = {kWhite, kRed, kGreen};
  {
    BmpLayout s;  // 1 bit: only two colours, so the picture is black and white
    s.bits = 1;
    s.width = 3;
    s.height = 2;
    s.palette = Palette4({kBlack, kWhite});
    s.pixels = {0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0};
    cases.push_back({"1 bit", s, {kBlack, kWhite, kBlack}, {kWhite, kBlack, kWhite}});
  }
  {
    BmpLayout s;
    s.bits = 4;
    s.width = 3;
    s.height = 2;
    s.colors_used = 6;
    s.palette = Palette4({kBlack, kBlue, kGrey, kWhite, kRed, kGreen});
    s.pixels = {0x12, 0x00, 0, 0, 0x34, 0x50, 0, 0};
    cases.push_back({"4 bits", s, bottom, top});
  }
  {
    BmpLayout s;
    s.bits = 8;
    s.width = 3;
    s.height = 2;
    s.palette = Palette4({kBlack, kBlue, kGrey, kWhite, kRed, kGreen});
    s.palette.resize(256 * 4, 0);
    s.pixels = {1, 2, 0, 0, 3, 4, 5, 0};
    cases.push_back({"8 bits", s, bottom, top});
  }
  {
    BmpLayout s;  // 5-5-5
    s.bits = 16;
    s.width = 3;
    s.height = 2;
    s.pixels = {0x1F, 0x00, 0x10, 0x42, 0x00, 0x00, 0, 0, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0, 0};
    // Five bits widen by shifting: 31 becomes 248.
    const Rgb blue{248, 0, 0}, white{248, 248, 248}, red{0, 0, 248}, green{0, 248, 0};
    cases.push_back({"16 bits", s, {blue, kGrey, kBlack}, {white, red, green}});
  }
  {
    BmpLayout s;
    s.bits = 24;
    s.width = 3;
    s.height = 2;
    s.pixels = {255, 0, 0, 128, 128, 128, 0, 0, 0, 0, 0, 0,
                255, 255, 255, 0, 0, 255, 0, 255, 0, 0, 0, 0};
    cases.push_back({"24 bits", s, bottom, top});
  }
  {
    BmpLayout s;
    s.bits = 32;
    s.width = 3;
    s.height = 2;
    s.pixels = {255, 0, 0, 0, 128, 128, 128, 0, 0, 0, 0, 0,
                255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0};
    cases.push_back({"32 bits", s, bottom, top});
  }
  return cases;
}

TEST(BmpRead, EveryDepthReadsItsPixels) {
  for (const DepthCase& c : DepthCases()) {
    SCOPED_TRACE(c.name);
    Bytes file = c.layout.Build();
    auto read = ReadBitmapBytes(file);
    ASSERT_TRUE(read.ok()) << read.message();
    const ImageRecord& r = read->record;
    EXPECT_EQ(ImageHeaderSize(r), 40u);
    EXPECT_EQ(ImageWidth(r), 3);
    EXPECT_EQ(ImageHeight(r), 2);
    EXPECT_EQ(ImageBitCount(r), c.layout.bits);
    // The record is header, palette and pixel bytes exactly as stored.
    size_t p = 40 + c.layout.palette.size();
    EXPECT_EQ(read->stored_size, p + c.layout.pixels.size());
    ASSERT_EQ(r.size(), p + c.layout.pixels.size());
    EXPECT_TRUE(std::equal(c.layout.pixels.begin(), c.layout.pixels.end(), r.data() + p));
    auto full = UnpackTo24(r);
    ASSERT_TRUE(full.ok());
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(PixelAt(*full, x, 0), c.bottom[x]) << "bottom " << x;
      EXPECT_EQ(PixelAt(*full, x, 1), c.top[x]) << "top " << x;
    }
  }
}

TEST(BmpRead, CoreHeaderBecomesTheLongForm) {
  BmpLayout s;
  s.header_size = 12;
  s.bits = 8;
  s.width = 2;
  s.height = 1;
  for (int i = 0; i < 256; ++i) s.palette.insert(s.palette.end(), {uint8_t(i), uint8_t(i / 2), 7});
  s.pixels = {5, 200, 0, 0};
  auto read = ReadBitmapBytes(s.Build());
  ASSERT_TRUE(read.ok()) << read.message();
  const ImageRecord& r = read->record;
  EXPECT_FALSE(ImageIsCoreForm(r));
  EXPECT_EQ(ImageHeaderSize(r), 40u);
  EXPECT_EQ(ImageWidth(r), 2);
  EXPECT_EQ(ImageBitCount(r), 8);
  EXPECT_EQ(ImageColorCount(r), 256u);
  EXPECT_EQ(ImagePaletteEntry(r, 200), (Rgb{200, 100, 7}));
  EXPECT_EQ(ImageBits(r)[0], 5);
  EXPECT_EQ(ImageBits(r)[1], 200);
  EXPECT_EQ(read->stored_size, 12u + 768 + 4);

  s.bits = 24;  // no palette in the core form at 24 bits
  s.palette.clear();
  s.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  ImageRecord full = ReadOk(s.Build());
  EXPECT_EQ(PixelAt(full, 1, 0), (Rgb{4, 5, 6}));
}

TEST(BmpRead, GapAfterThePaletteIsDropped) {
  BmpLayout s;
  s.bits = 8;
  s.width = 1;
  s.colors_used = 2;
  s.palette = Palette4({kRed, kGreen});
  s.gap = 10;
  s.pixels = {1, 0, 0, 0};
  auto read = ReadBitmapBytes(s.Build());
  ASSERT_TRUE(read.ok());
  const ImageRecord& r = read->record;
  EXPECT_EQ(ImagePixelOffset(r), 48u);
  EXPECT_EQ(r.size(), 52u);
  EXPECT_EQ(ImageBits(r)[0], 1);
  EXPECT_EQ(ImagePaletteEntry(r, 1), kGreen);
  EXPECT_EQ(read->stored_size, 52u);
}

TEST(BmpRead, ShortPaletteKeepsItsEntriesAndLeavesTheRestBlack) {
  BmpLayout s;
  s.bits = 8;
  s.width = 2;
  s.palette = Palette4({kRed, kGreen});  // 256 declared, 2 present
  s.pixels = {1, 0, 0, 0};
  ImageRecord r = ReadOk(s.Build());
  EXPECT_EQ(ImageColorCount(r), 256u);
  EXPECT_EQ(ImagePaletteEntry(r, 0), kRed);
  EXPECT_EQ(ImagePaletteEntry(r, 1), kGreen);
  EXPECT_EQ(ImagePaletteEntry(r, 2), kBlack);
  EXPECT_EQ(ImageBits(r)[0], 1);
}

TEST(BmpRead, TopDownRowsAreStoredBottomUp) {
  BmpLayout s;
  s.width = 1;
  s.height = -3;
  s.pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};  // top row first
  ImageRecord r = ReadOk(s.Build());
  EXPECT_EQ(ImageHeight(r), 3);
  EXPECT_EQ(PixelAt(r, 0, 0), (Rgb{3, 3, 3}));
  EXPECT_EQ(PixelAt(r, 0, 2), (Rgb{1, 1, 1}));
}

TEST(BmpRead, RunLengthFilesKeepTheirCompressionUntilNormalised) {
  BmpLayout s;
  s.bits = 8;
  s.compression = kBiRle8;
  s.width = 4;
  s.height = 2;
  s.colors_used = 3;
  s.palette = Palette4({kBlack, kRed, kGreen});
  s.pixels = {3, 1, 0, 0, 0, 4, 2, 1, 2, 1, 0, 1};  // row 0: 1 1 1 _, row 1: literal 2 1 2 1
  auto read = ReadBitmapBytes(s.Build());
  ASSERT_TRUE(read.ok());
  ImageRecord r = std::move(read->record);
  EXPECT_EQ(ImageCompression(r), kBiRle8);
  EXPECT_EQ(r.size(), 40u + 12 + 12);
  auto normal = NormalizeImage(r);
  ASSERT_TRUE(normal.ok());
  ASSERT_FALSE(normal->same());
  const ImageRecord& n = normal->record();
  EXPECT_EQ(ImageCompression(n), kBiRgb);
  const uint8_t* b = ImageBits(n);
  EXPECT_EQ(Bytes(b, b + 8), (Bytes{1, 1, 1, 0, 2, 1, 2, 1}));

  BmpLayout s4 = s;
  s4.bits = 4;
  s4.compression = kBiRle4;
  s4.pixels = {4, 0x12, 0, 1};
  auto read4 = ReadBitmapBytes(s4.Build());
  ASSERT_TRUE(read4.ok());
  EXPECT_EQ(ImageCompression(read4->record), kBiRle4);
}

TEST(BmpRead, ColourMasks) {
  BmpLayout s;
  s.bits = 16;
  s.compression = kBiBitfields;
  s.masks = kMasks565;
  s.width = 1;
  s.pixels = {0x00, 0xF8, 0, 0};  // pure red in 5-6-5
  ImageRecord r565 = ReadOk(s.Build());
  EXPECT_EQ(ImageCompression(r565), kBiBitfields);  // left for normalisation
  EXPECT_EQ(ImagePixelOffset(r565), 52u);           // the masks follow the header
  EXPECT_EQ(GetU32(r565.data() + 40), 0xF800u);
  EXPECT_EQ(ImageBits(r565)[1], 0xF8);
  EXPECT_EQ(PixelAt(*UnpackTo24(r565), 0, 0), (Rgb{0, 0, 248}));

  // Masks inside a long header move behind the 40-byte one.
  s.header_size = 108;
  s.masks = kMasks555;
  s.pixels = {0x00, 0x7C, 0, 0};
  auto r555 = ReadBitmapBytes(s.Build());
  ASSERT_TRUE(r555.ok());
  EXPECT_EQ(ImageHeaderSize(r555->record), 40u);
  EXPECT_EQ(ImageCompression(r555->record), kBiBitfields);
  EXPECT_EQ(GetU32(r555->record.data() + 40), 0x7C00u);
  EXPECT_EQ(r555->record.size(), 56u);
  EXPECT_EQ(r555->stored_size, 108u + 12 + 4);
  EXPECT_EQ(PixelAt(*UnpackTo24(r555->record), 0, 0), (Rgb{0, 0, 248}));

  // 4-4-4 masks in a long header: unpacked at once, each nibble repeated.
  s.header_size = 124;
  s.masks = ColorMasks{0x0F00, 0x00F0, 0x000F};
  s.pixels = {0x5A, 0x03, 0, 0};
  ImageRecord r444 = ReadOk(s.Build());
  EXPECT_EQ(ImageHeaderSize(r444), 40u);
  EXPECT_EQ(ImageBitCount(r444), 24);
  EXPECT_EQ(ImageCompression(r444), kBiRgb);
  EXPECT_EQ(PixelAt(r444, 0, 0), (Rgb{0xAA, 0x55, 0x33}));

  s.header_size = 40;
  s.bits = 32;
  s.masks = kMasks888;
  s.pixels = {1, 2, 3, 0xFF};
  ImageRecord r888 = ReadOk(s.Build());
  EXPECT_EQ(ImageCompression(r888), kBiBitfields);
  EXPECT_EQ(PixelAt(*UnpackTo24(r888), 0, 0), (Rgb{1, 2, 3}));

  // A 40-byte header whose masks would run into the pixels.
  s.masks.reset();
  s.pixel_offset = 14 + 40 + 8;
  s.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4};
  EXPECT_EQ(ReadBitmapBytes(s.Build()).message(), err::kBmpCannotBeAllocated);
}

TEST(BmpRead, MalformedFilesAreRefused) {
  BmpLayout ok;
  ok.width = 2;
  ok.height = 2;
  ok.pixels.assign(16, 0);
  ASSERT_TRUE(ReadBitmapBytes(ok.Build()).ok());

  struct Case {
    const char* name;
    Bytes file;
    int message;
  };
  std::vector<Case> cases;
  auto with = [&](const char* name, auto change, int message) {
    BmpLayout s = ok;
    change(s);
    cases.push_back({name, s.Build(), message});
  };
  Bytes good = ok.Build();
  cases.push_back({"empty", {}, err::kBmpCannotBeAllocated});
  cases.push_back({"file header cut", Bytes(good.begin(), good.begin() + 13), err::kBmpCannotBeAllocated});
  cases.push_back({"record header cut", Bytes(good.begin(), good.begin() + 30), err::kBmpCannotBeAllocated});
  Bytes not_bm = good;
  not_bm[1] = 'A';
  cases.push_back({"not BM", not_bm, err::kBmpCannotBeAllocated});
  with("header size 0", [](BmpLayout& s) { s.header_size = 0; }, err::kBmpCannotBeAllocated);
  with("header size 13", [](BmpLayout& s) { s.header_size = 13; }, err::kBmpCannotBeAllocated);
  Bytes huge_header = good;
  PutU32(&huge_header[14], 1000);
  cases.push_back({"header past the end", huge_header, err::kBmpCannotBeAllocated});
  with("width 0", [](BmpLayout& s) { s.width = 0; }, err::kBmpCannotBeAllocated);
  with("width negative", [](BmpLayout& s) { s.width = -2; }, err::kBmpCannotBeAllocated);
  with("height 0", [](BmpLayout& s) { s.height = 0; }, err::kBmpCannotBeAllocated);
  with("width 65536", [](BmpLayout& s) { s.width = 65536; }, err::kBmpCannotBeAllocated);
  with("height -70000", [](BmpLayout& s) { s.height = -70000; }, err::kBmpCannotBeAllocated);
  with("bits 2", [](BmpLayout& s) { s.bits = 2; }, err::kBmpCannotBeAllocated);
  with("bits 0", [](BmpLayout& s) { s.bits = 0; }, err::kBmpCannotBeAllocated);
  with("compression 4", [](BmpLayout& s) { s.compression = 4; }, err::kBmpCannotBeAllocated);
  with("run-length 8 at 24 bits", [](BmpLayout& s) { s.compression = kBiRle8; }, err::kBmpCannotBeAllocated);
  with("top-down run-length", [](BmpLayout& s) {
    s.bits = 8; s.compression = kBiRle8; s.height = -2; s.palette.assign(1024, 0);
  }, err::kBmpCannotBeAllocated);
  with("257 colours", [](BmpLayout& s) { s.bits = 8; s.colors_used = 257; s.palette.assign(1028, 0); },
       err::kBmpCannotBeAllocated);
  with("palette beyond the file", [](BmpLayout& s) {
    s.bits = 8; s.colors_used = 200; s.pixels.assign(8, 0); s.pixel_offset = 14 + 40 + 800;
  }, err::kBmpCannotBeAllocated);
  with("pixel offset past the end", [](BmpLayout& s) { s.pixel_offset = 1000; }, err::kBmpCannotBeAllocated);
  with("pixel offset inside the header", [](BmpLayout& s) { s.pixel_offset = 30; }, err::kBmpCannotBeAllocated);
  with("pixel offset 0", [](BmpLayout& s) { s.pixel_offset = 0; }, err::kBmpCannotBeAllocated);
  with("pixel data one byte short", [](BmpLayout& s) { s.pixels.pop_back(); }, err::kFailedToReadFile);
  with("1-bit rows short", [](BmpLayout& s) {
    s.bits = 1; s.palette.assign(8, 0); s.height = 3; s.pixels.assign(8, 0);
  }, err::kFailedToReadFile);
  with("huge picture, little data", [](BmpLayout& s) { s.bits = 32; s.width = 65535; s.height = -65535; },
       err::kFailedToReadFile);
  with("empty run-length stream", [](BmpLayout& s) {
    s.bits = 4; s.compression = kBiRle4; s.palette.assign(64, 0); s.pixels.clear();
  }, err::kFailedToReadFile);
  with("core header at 16 bits", [](BmpLayout& s) { s.header_size = 12; s.bits = 16; },
       err::kBmpCannotBeAllocated);
  with("core header width 0", [](BmpLayout& s) { s.header_size = 12; s.width = 0; },
       err::kBmpCannotBeAllocated);
  for (const Case& c : cases) {
    auto read = ReadBitmapBytes(c.file);
    EXPECT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.message(), c.message) << c.name;
  }
}

TEST(BmpRead, ExtraBytesAfterThePixelsStayInTheBlock) {
  BmpLayout s;
  s.pixels = {1, 2, 3, 0, 9, 9, 9, 9};
  auto read = ReadBitmapBytes(s.Build());
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->record.size(), 48u);
  EXPECT_EQ(read->stored_size, 48u);
}

// Files on disk: a folder of its own per test.
class BmpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::string(FQ_BINARY_DIR) + "/bmp_file_test_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    std::string cmd = "rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  void TearDown() override {
    io::SetFileSystem(nullptr);
    std::string cmd = "rm -rf '" + dir_ + "'";
    (void)std::system(cmd.c_str());
  }
  static void WriteRaw(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
  }
  static Bytes ReadRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
  }
  std::string dir_;
};

TEST_F(BmpFiles, OpenFailuresAndCalendarOffset) {
  EXPECT_EQ(ReadBitmapFile(dir_ + "missing.bmp").message(), err::kFileCannotBeOpened);
  WriteRaw(dir_ + "empty.bmp", {});
  EXPECT_EQ(ReadBitmapFile(dir_ + "empty.bmp").message(), err::kFailedToReadFile);

  BmpLayout s;
  s.pixels = {7, 8, 9, 0};
  Bytes cal(kCalendarBmpOffset, 0x55);
  Bytes bmp = s.Build();
  cal.insert(cal.end(), bmp.begin(), bmp.end());
  WriteRaw(dir_ + "page.cal", cal);
  auto read = ReadBitmapFile(dir_ + "page.cal", kCalendarBmpOffset);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(PixelAt(read->record, 0, 0), (Rgb{7, 8, 9}));
  EXPECT_EQ(ReadBitmapFile(dir_ + "page.cal").message(), err::kBmpCannotBeAllocated);
  EXPECT_EQ(ReadBitmapFile(dir_ + "page.cal", cal.size() + 1).message(), err::kFailedToReadFile);
}

TEST_F(BmpFiles, WriteThenReadGivesTheSameRecord) {
  for (uint16_t bits : {8, 24}) {
    auto r = ImageRecord::Create(5, 3, bits, bits == 8 ? 17 : 0);
    ASSERT_TRUE(r.ok());
    uint8_t* b = r->data();
    for (size_t i = 40; i < r->size(); ++i) b[i] = static_cast<uint8_t>(i * 7);
    std::string path = dir_ + "round.bmp";
    ASSERT_TRUE(WriteBitmapFile(path, *r).ok());
    Bytes file = ReadRaw(path);
    ASSERT_EQ(file.size(), r->size() + 14);
    EXPECT_EQ(GetU32(&file[2]), file.size());
    EXPECT_EQ(GetU32(&file[10]), 14u + 40 + (bits == 8 ? 68 : 0));
    EXPECT_EQ(GetU32(&file[6]), 0u);
    auto back = ReadBitmapFile(path);
    ASSERT_TRUE(back.ok()) << back.message();
    EXPECT_EQ(Bytes(back->record.bytes().begin(), back->record.bytes().end()),
              Bytes(r->bytes().begin(), r->bytes().end()));
    auto mem = BitmapFileBytes(*r);
    ASSERT_TRUE(mem.ok());
    EXPECT_EQ(*mem, file);
  }
}

TEST_F(BmpFiles, WholeBlockIsWrittenAndCounted) {
  auto r = ImageRecord::Create(1, 1, 24);
  ASSERT_TRUE(r.ok());
  ASSERT_TRUE(r->Resize(r->size() + 100).ok());
  r->data()[r->size() - 1] = 0xAB;
  std::string path = dir_ + "big.bmp";
  ASSERT_TRUE(WriteBitmapFile(path, *r).ok());
  Bytes file = ReadRaw(path);
  ASSERT_EQ(file.size(), 14u + 44 + 100);
  EXPECT_EQ(GetU32(&file[2]), file.size());
  EXPECT_EQ(file.back(), 0xAB);
}

TEST_F(BmpFiles, EmptyRecordIsNotWritten) {
  EXPECT_EQ(WriteBitmapFile(dir_ + "none.bmp", ImageRecord()).message(), err::kUnexpected);
  EXPECT_EQ(BitmapFileBytes(ImageRecord()).message(), err::kUnexpected);
}


TEST_F(BmpFiles, FailedWriteLeavesTheOldFileAlone) {
  std::string path = dir_ + "keep.bmp";
  const Bytes old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
  WriteRaw(path, old);
  auto r = ImageRecord::Create(40, 40, 24);
  ASSERT_TRUE(r.ok());

  testing_support::FaultyFileSystem fs;
  io::SetFileSystem(&fs);
  fs.write_budget = 100;  // the disk fills up part way
  EXPECT_EQ(WriteBitmapFile(path, *r).message(), err::kDiskFull);
  EXPECT_EQ(ReadRaw(path), old);
  fs.write_budget = SIZE_MAX;
  fs.refuse_replace = true;
  EXPECT_EQ(WriteBitmapFile(path, *r).message(), err::kCannotCreateFile);
  EXPECT_EQ(ReadRaw(path), old);
  io::SetFileSystem(nullptr);

  // Nothing was left behind beside the target.
  int entries = 0;
  std::string cmd = "ls -A '" + dir_ + "' | wc -l";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    if (std::fscanf(p, "%d", &entries) != 1) entries = -1;
    pclose(p);
  }
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(WriteBitmapFile(dir_ + "no/such/folder/x.bmp", *r).message(), err::kFileCannotBeOpened);
}

}  // namespace
}  // namespace fq
