#include <gtest/gtest.h>

#include <cmath>

#include "image/jpeg_file.h"
#include "image/jpeg_quality.h"
#include "image/jpeg_test_util.h"
#include "base/file_io.h"
#include "support/faulty_file_system.h"

namespace fq {
namespace {

using testing_support::FaultyFileSystem;
using testing_support::ScopedFileSystem;

using testing::ScratchDir;

// A 24-bit record with the test picture, or an 8-bit one with a palette of
// 256 distinct colours. Negative height: rows stored top-down.
ImageRecord Picture(int w, int h, int bits = 24) {
  auto r = ImageRecord::Create(w, std::abs(h), static_cast<uint16_t>(bits));
  EXPECT_TRUE(r.ok());
  ImageRecord rec = std::move(r.value());
  if (h < 0) PutI32(rec.data() + 8, h);
  if (bits == 8) {
    uint8_t* pal = rec.data() + kInfoHeaderSize;
    for (int i = 0; i < 256; ++i) {
      pal[4 * i] = static_cast<uint8_t>(i);
      pal[4 * i + 1] = static_cast<uint8_t>(255 - i);
      pal[4 * i + 2] = static_cast<uint8_t>((i * 7) & 255);
    }
  }
  const size_t stride = ImageRowStride(w, bits);
  uint8_t* bits0 = ImageBits(rec);
  for (int y = 0; y < std::abs(h); ++y) {
    // Picture row y (top first) wherever the record keeps it.
    uint8_t* row = bits0 + stride * (h < 0 ? y : std::abs(h) - 1 - y);
    for (int x = 0; x < w; ++x) {
      if (bits == 8) {
        row[x] = static_cast<uint8_t>(x / 4 + y / 4 * 16);
      } else {
        row[3 * x] = testing::Sample(x, y, 2);
        row[3 * x + 1] = testing::Sample(x, y, 1);
        row[3 * x + 2] = testing::Sample(x, y, 0);
      }
    }
  }
  return rec;
}

// Mean absolute difference between the record's picture and a decode.
double MeanError(const ImageRecord& r, const testing::Decoded& d) {
  const int w = ImageWidth(r), h = std::abs(ImageHeight(r)), bits = ImageBitCount(r);
  const size_t stride = ImageRowStride(w, bits);
  double sum = 0;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = ImageBits(r) + stride * (ImageHeight(r) < 0 ? y : h - 1 - y);
    for (int x = 0; x < w; ++x) {
      Rgb c = bits == 8 ? ImagePaletteEntry(r, row[x]) : Rgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]};
      const uint8_t* p = &d.pixels[(static_cast<size_t>(y) * w + x) * 3];
      sum += std::abs(p[0] - c.red) + std::abs(p[1] - c.green) + std::abs(p[2] - c.blue);
    }
  }
  return sum / (3.0 * w * h);
}

struct EncodeFixture : ::testing::Test {
  ScratchDir dir;
  std::vector<uint8_t> Encode(const ImageRecord& r, int quality, const char* sampling) {
    Status s = ImageToJpegFile(r, dir / "out.jpg", sampling, quality);
    EXPECT_TRUE(s.ok()) << s.message();
    return testing::ReadBytes(dir / "out.jpg");
  }
};

TEST_F(EncodeFixture, RoundTripKeepsThePicture) {
  for (int h : {37, -37}) {
    ImageRecord r = Picture(50, h);
    auto d = testing::ReferenceDecode(Encode(r, kJpegQualityHigh, "1x1,1x1,1x1"));
    EXPECT_EQ(d.width, 50);
    EXPECT_EQ(d.height, 37);
    EXPECT_LT(MeanError(r, d), 2.5) << h;
  }
  ImageRecord p = Picture(64, 32, 8);
  auto d = testing::ReferenceDecode(Encode(p, 100, "1x1,1x1,1x1"));
  EXPECT_LT(MeanError(p, d), 2.5);
}

TEST_F(EncodeFixture, WritesTheProgramsTablesScaledByQuality) {
  ImageRecord r = Picture(16, 16);
  for (int q : {1, 25, kJpegQualityLow, kJpegQualityStandard, 80, kJpegQualityHigh, 100}) {
    auto tables = testing::QuantTables(Encode(r, q, kSampling2x1));
    ASSERT_EQ(tables.size(), 2u) << q;
    auto lum = ScaledQuantTable(kJpegLuminanceBase, q);
    auto chr = ScaledQuantTable(kJpegChrominanceBase, q);
    EXPECT_EQ(tables[0], std::vector<int>(lum.begin(), lum.end())) << q;
    EXPECT_EQ(tables[1], std::vector<int>(chr.begin(), chr.end())) << q;
  }
  auto low = testing::QuantTables(Encode(r, kJpegQualityLow, kSampling2x1));
  EXPECT_EQ(low[0][0], 7);
  EXPECT_EQ(*std::max_element(low[0].begin(), low[0].end()), 55);
  auto high = testing::QuantTables(Encode(r, kJpegQualityHigh, kSampling2x1));
  EXPECT_EQ(high[0][1], 1);  // base 5
  EXPECT_EQ(high[0][0], 1);  // base 8
  EXPECT_EQ(high[0][63], 5);  // base 49
}

TEST_F(EncodeFixture, SamplingStringReachesTheFrameHeader) {
  ImageRecord r = Picture(40, 24);
  struct Case {
    const char* text;
    uint8_t y, cb, cr;
  } cases[] = {{"2x1,1x1,1x1", 0x21, 0x11, 0x11},
               {"4x1,1x1,1x1", 0x41, 0x11, 0x11},
               {"2x2,1x1,1x1", 0x22, 0x11, 0x11},
               {"1x1,1x1,1x1", 0x11, 0x11, 0x11},
               {"2X2", 0x22, 0x11, 0x11},
               {"2x2,2x1,1x1", 0x22, 0x21, 0x11}};
  for (const Case& c : cases) {
    auto seg = testing::Segments(Encode(r, 75, c.text));
    auto sof = seg.find(0xC0);
    ASSERT_NE(sof, seg.end()) << c.text;
    const auto& p = sof->second;
    ASSERT_EQ(p.size(), 15u);
    EXPECT_EQ(p[0], 8);
    EXPECT_EQ((p[1] << 8) | p[2], 24);
    EXPECT_EQ((p[3] << 8) | p[4], 40);
    EXPECT_EQ(p[5], 3);
    EXPECT_EQ(p[7], c.y) << c.text;
    EXPECT_EQ(p[10], c.cb) << c.text;
    EXPECT_EQ(p[13], c.cr) << c.text;
    EXPECT_EQ(seg.count(0xFE), 0u);  // no comment
    EXPECT_EQ(seg.count(0xE0), 1u);  // the library's JFIF header
  }
}

TEST_F(EncodeFixture, RefusedInputsFailAsCreatingJpeg) {
  ImageRecord r = Picture(16, 16);
  for (const char* s : {"", "2x1,1x1,1x1,1x1", "5x1", "0x1", "2x", "2x1,", "ax1", "2x1;1x1",
                        "4x4,4x4,4x4" /* too many blocks per unit for the library */,
                        "3x1,2x1,1x1" /* ratios the library cannot make */}) {
    EXPECT_EQ(ImageToJpegFile(r, dir / "bad.jpg", s, 75).message(), err::kCreatingJpeg) << s;
  }
  ImageRecord four = std::move(ImageRecord::Create(8, 8, 4).value());
  EXPECT_EQ(ImageToJpegFile(four, dir / "bad.jpg", kSampling2x1, 75).message(),
            err::kCreatingJpeg);
  ImageRecord empty;
  EXPECT_EQ(ImageToJpegFile(empty, dir / "bad.jpg", kSampling2x1, 75).message(),
            err::kCreatingJpeg);
  EXPECT_TRUE(dir.Files().empty());
}

TEST_F(EncodeFixture, BitmapFilesAreEncoded) {
  ImageRecord r = Picture(30, 20);
  ASSERT_TRUE(WriteBitmapFile(dir / "in.bmp", r).ok());
  ASSERT_TRUE(BitmapFileToJpeg(dir / "in.bmp", dir / "a.jpg", kSampling2x1, 75).ok());
  EXPECT_EQ(testing::ReadBytes(dir / "a.jpg"), Encode(r, 75, kSampling2x1));
  EXPECT_EQ(BitmapFileToJpeg(dir / "missing.bmp", dir / "b.jpg", kSampling2x1, 75).message(),
            err::kFileCannotBeOpened);
  EXPECT_EQ(BitmapFileToJpeg(dir / "in.bmp", dir / "no/b.jpg", kSampling2x1, 75).message(),
            err::kFileCannotBeOpened);
  testing::WriteBytes(dir / "text.bmp", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(BitmapFileToJpeg(dir / "text.bmp", dir / "b.jpg", kSampling2x1, 75).message(),
            err::kCreatingJpeg);
  testing::WriteBytes(dir / "empty.bmp", {});
  EXPECT_EQ(BitmapFileToJpeg(dir / "empty.bmp", dir / "b.jpg", kSampling2x1, 75).message(),
            err::kCreatingJpeg);
  EXPECT_FALSE(io::Fs().Exists(dir / "b.jpg"));

  // Saving gives the bytes of the record's bitmap file encoded, and leaves
  // nothing else behind.
  ASSERT_TRUE(SaveJpeg(r, dir / "s.jpg", kJpegQualityStandard).ok());
  EXPECT_EQ(testing::ReadBytes(dir / "s.jpg"), testing::ReadBytes(dir / "a.jpg"));
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"a.jpg", "empty.bmp", "in.bmp", "out.jpg",
                                                   "s.jpg", "text.bmp"}));
}

TEST_F(EncodeFixture, ProgressReportsRowsAndCanAbandon) {
  ImageRecord r = Picture(20, 70);
  std::vector<int> seen;
  ASSERT_TRUE(ImageToJpegFile(r, dir / "p.jpg", kSampling2x1, 75, [&](int rows, int height) {
                EXPECT_EQ(height, 70);
                seen.push_back(rows);
                return true;
              }).ok());
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 70);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(ImageToJpegFile(r, dir / "q.jpg", kSampling2x1, 75, [](int rows, int) {
              return rows < 30;
            }).message(),
            err::kCreatingJpeg);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"p.jpg"}));
}


TEST_F(EncodeFixture, FailedWritesLeaveTheOldFileUntouched) {
  ImageRecord big = Picture(600, 400);  // well over one output buffer
  std::vector<uint8_t> old = {0xFF, 0xD8, 'o', 'l', 'd', 0xFF, 0xD9};
  testing::WriteBytes(dir / "user.jpg", old);
  {
    FaultyFileSystem fs;
    fs.write_budget = 5000;
    ScopedFileSystem g(fs);
    EXPECT_EQ(ImageToJpegFile(big, dir / "user.jpg", kSampling2x1, 95).message(),
              err::kCreatingJpeg);
  }
  {
    FaultyFileSystem fs;
    fs.write_budget = 100;  // the last partial buffer fails at the end
    ScopedFileSystem g(fs);
    EXPECT_EQ(ImageToJpegFile(Picture(8, 8), dir / "user.jpg", kSampling2x1, 95).message(),
              err::kCreatingJpeg);
  }
  {
    FaultyFileSystem fs;
    fs.refuse_replace = true;
    ScopedFileSystem g(fs);
    EXPECT_EQ(ImageToJpegFile(big, dir / "user.jpg", kSampling2x1, 95).message(),
              err::kCreatingJpeg);
    EXPECT_FALSE(SaveJpeg(big, dir / "user.jpg", 95).ok());
  }
  EXPECT_EQ(testing::ReadBytes(dir / "user.jpg"), old);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"user.jpg"}));
}

}  // namespace
}  // namespace fq
