#include <gtest/gtest.h>

#include "image/jpeg_file.h"
#include "image/jpeg_test_util.h"
#include "base/file_io.h"

namespace fq {
namespace {

using testing::Decoded;
using testing::JpegOptions;
using testing::MakeJpeg;
using testing::ReferenceDecode;
using testing::ScratchDir;

// Checks every header field of a decoded BMP and every pixel against the
// library's own decode of the same file.
void ExpectBmpMatches(const std::vector<uint8_t>& bmp, const Decoded& ref) {
  ASSERT_GE(bmp.size(), 54u);
  const bool grey = ref.components == 1;
  const uint32_t colors = grey ? 256 : 0;
  const uint32_t offset = 54 + 4 * colors;
  const size_t stride = (static_cast<size_t>(ref.width) * (grey ? 8 : 24) + 31) / 32 * 4;
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(GetU32(&bmp[2]), bmp.size());
  EXPECT_EQ(GetU32(&bmp[6]), 0u);
  EXPECT_EQ(GetU32(&bmp[10]), offset);
  EXPECT_EQ(GetU32(&bmp[14]), 40u);
  EXPECT_EQ(GetI32(&bmp[18]), ref.width);
  EXPECT_EQ(GetI32(&bmp[22]), ref.height);
  EXPECT_EQ(GetU16(&bmp[26]), 1);
  EXPECT_EQ(GetU16(&bmp[28]), grey ? 8 : 24);
  EXPECT_EQ(GetU32(&bmp[30]), 0u);  // compression
  EXPECT_EQ(GetU32(&bmp[34]), 0u);  // image size
  EXPECT_EQ(GetU32(&bmp[46]), colors);
  EXPECT_EQ(GetU32(&bmp[50]), 0u);
  ASSERT_EQ(bmp.size(), offset + stride * ref.height);
  for (uint32_t i = 0; i < colors; ++i) {
    const uint8_t* e = &bmp[54 + 4 * i];
    ASSERT_TRUE(e[0] == i && e[1] == i && e[2] == i && e[3] == 0) << "palette entry " << i;
  }
  int mismatches = 0;
  for (int y = 0; y < ref.height; ++y) {
    const uint8_t* row = &bmp[offset + stride * (ref.height - 1 - y)];
    const uint8_t* want = &ref.pixels[static_cast<size_t>(y) * ref.width * ref.components];
    for (int x = 0; x < ref.width; ++x) {
      if (grey) {
        mismatches += row[x] != want[x];
      } else {
        mismatches += row[3 * x] != want[3 * x + 2] || row[3 * x + 1] != want[3 * x + 1] ||
                      row[3 * x + 2] != want[3 * x];
      }
    }
    for (size_t p = static_cast<size_t>(ref.width) * ref.components; p < stride; ++p)
      mismatches += row[p] != 0;
  }
  EXPECT_EQ(mismatches, 0);
}

struct Variant {
  const char* name;
  JpegOptions options;
};

class JpegDecodeVariants : public ::testing::TestWithParam<Variant> {};

TEST_P(JpegDecodeVariants, BitmapHoldsTheLibrarysPixels) {
  auto jpeg = MakeJpeg(GetParam().options);
  auto bmp = JpegToBitmapBytes(jpeg);
  ASSERT_TRUE(bmp.ok()) << bmp.message();
  ExpectBmpMatches(*bmp, ReferenceDecode(jpeg));
}

JpegOptions With(void (*f)(JpegOptions&)) {
  JpegOptions o;
  f(o);
  return o;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegDecodeVariants,
    ::testing::Values(
        Variant{"s420", JpegOptions{}},
        Variant{"s444", With([](JpegOptions& o) { o.h0 = 1, o.v0 = 1; })},
        Variant{"s422", With([](JpegOptions& o) { o.h0 = 2, o.v0 = 1; })},
        Variant{"s411", With([](JpegOptions& o) { o.h0 = 4, o.v0 = 1; })},
        Variant{"odd_size", With([](JpegOptions& o) { o.width = 33, o.height = 17; })},
        Variant{"one_pixel", With([](JpegOptions& o) { o.width = 1, o.height = 1; })},
        Variant{"progressive", With([](JpegOptions& o) { o.progressive = true; })},
        Variant{"restarts", With([](JpegOptions& o) { o.restart_rows = 1; })},
        Variant{"arithmetic", With([](JpegOptions& o) { o.arithmetic = true; })},
        Variant{"comment", With([](JpegOptions& o) { o.comment = "made by a test"; })},
        Variant{"grey", With([](JpegOptions& o) { o.space = JCS_GRAYSCALE; })},
        Variant{"grey_odd_progressive", With([](JpegOptions& o) {
                  o.space = JCS_GRAYSCALE, o.width = 31, o.height = 9, o.progressive = true;
                })}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegDecode, DensityPerCentimetreBecomesPixelsPerMetre) {
  JpegOptions o;
  o.density_unit = 2, o.x_density = 118, o.y_density = 59;
  auto bmp = JpegToBitmapBytes(MakeJpeg(o));
  ASSERT_TRUE(bmp.ok());
  EXPECT_EQ(GetI32(&(*bmp)[38]), 11800);
  EXPECT_EQ(GetI32(&(*bmp)[42]), 5900);
  o.density_unit = 1, o.x_density = 300, o.y_density = 300;  // per inch: not carried over
  bmp = JpegToBitmapBytes(MakeJpeg(o));
  ASSERT_TRUE(bmp.ok());
  EXPECT_EQ(GetI32(&(*bmp)[38]), 0);
  EXPECT_EQ(GetI32(&(*bmp)[42]), 0);
}

// Offset of the SOF0 segment's payload.
size_t SofPayload(const std::vector<uint8_t>& j) {
  for (size_t i = 2; i + 4 < j.size();) {
    if (j[i + 1] == 0xC0 || j[i + 1] == 0xC2) return i + 4;
    i += 2 + ((j[i + 2] << 8) | j[i + 3]);
  }
  return 0;
}

TEST(JpegDecode, UndecodableFilesFailAsCreatingBitmap) {
  const auto good = MakeJpeg({});
  std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
  JpegOptions cmyk;
  cmyk.space = JCS_CMYK;
  cases.emplace_back("cmyk", MakeJpeg(cmyk));
  cases.emplace_back("empty", std::vector<uint8_t>{});
  cases.emplace_back("text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
  cases.emplace_back("soi only", std::vector<uint8_t>{0xFF, 0xD8});
  cases.emplace_back("cut in header", std::vector<uint8_t>(good.begin(), good.begin() + 100));
  auto twelve = good;
  twelve[SofPayload(good)] = 12;
  cases.emplace_back("12-bit", twelve);
  auto huge = good;
  size_t sof = SofPayload(good);
  huge[sof + 1] = huge[sof + 3] = 0xFD;  // 65000 × 65000
  huge[sof + 2] = huge[sof + 4] = 0xE8;
  cases.emplace_back("absurd size", huge);
  auto zero = good;
  zero[sof + 1] = zero[sof + 2] = 0;
  cases.emplace_back("zero height", zero);
  auto five = good;
  five[sof + 5] = 5;  // five components, no BMP form
  cases.emplace_back("five components", five);
  for (auto& [name, bytes] : cases) {
    std::string message;
    auto r = JpegToBitmapBytes(bytes, {}, kMaxJpegPixels, &message);
    EXPECT_EQ(r.message(), err::kCreatingBitmap) << name;
  }
}

TEST(JpegDecode, DamagedScanDataStillGivesAWholePicture) {
  JpegOptions o;
  o.width = 80, o.height = 64;
  auto good = MakeJpeg(o);
  // Cut in the middle of the scan: the library warns and fills the rest.
  std::vector<uint8_t> cut(good.begin(), good.begin() + good.size() * 2 / 3);
  std::string message;
  auto r = JpegToBitmapBytes(cut, {}, kMaxJpegPixels, &message);
  ASSERT_TRUE(r.ok()) << message;
  EXPECT_EQ(GetI32(&(*r)[18]), 80);
  EXPECT_EQ(GetI32(&(*r)[22]), 64);
  // Scribbled entropy data that makes no new markers: warnings again, never
  // a crash or a short file.
  auto scribbled = good;
  for (size_t i = good.size() / 3; i < good.size() - 2; i += 5)
    if (scribbled[i] < 0xFE && scribbled[i - 1] != 0xFF) scribbled[i] ^= 0x01;
  r = JpegToBitmapBytes(scribbled);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->size(), 54 + 240u * 64);
  // Scribbling that does make markers may be fatal to the library; either
  // way the answer is whole or a clean failure.
  for (size_t i = good.size() / 2; i < good.size() - 2; i += 7) scribbled[i] ^= 0x5A;
  r = JpegToBitmapBytes(scribbled);
  if (r.ok()) EXPECT_EQ(r->size(), 54 + 240u * 64);
  else EXPECT_EQ(r.message(), err::kCreatingBitmap);
}

TEST(JpegDecode, ProgressRunsOverAllRowsAndCanStopTheDecoding) {
  JpegOptions o;
  o.height = 100;
  auto jpeg = MakeJpeg(o);
  std::vector<int> seen;
  auto r = JpegToBitmapBytes(jpeg, [&](int rows, int height) {
    EXPECT_EQ(height, 100);
    seen.push_back(rows);
    return true;
  });
  ASSERT_TRUE(r.ok());
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  int calls = 0;
  r = JpegToBitmapBytes(jpeg, [&](int, int) { return ++calls < 3; });
  EXPECT_EQ(r.message(), err::kCreatingBitmap);
  EXPECT_EQ(calls, 3);
}

TEST(JpegDecode, FilesAreDecodedAndFailuresLeaveNothingBehind) {
  ScratchDir dir;
  JpegOptions o;
  o.space = JCS_GRAYSCALE;
  testing::WriteBytes(dir / "grey.jpg", MakeJpeg(o));
  ASSERT_TRUE(JpegToBitmapFile(dir / "grey.jpg", dir / "grey.bmp").ok());
  auto bmp = testing::ReadBytes(dir / "grey.bmp");
  EXPECT_EQ(bmp, *JpegToBitmapBytes(MakeJpeg(o)));

  EXPECT_EQ(JpegToBitmapFile(dir / "missing.jpg", dir / "x.bmp").message(),
            err::kFileCannotBeOpened);
  EXPECT_EQ(JpegToBitmapFile(dir / "grey.jpg", dir / "no/such/folder.bmp").message(),
            err::kFileCannotBeOpened);

  // A failed decode leaves an existing BMP as it was.
  o.space = JCS_CMYK;
  testing::WriteBytes(dir / "cmyk.jpg", MakeJpeg(o));
  EXPECT_EQ(JpegToBitmapFile(dir / "cmyk.jpg", dir / "grey.bmp").message(), err::kCreatingBitmap);
  EXPECT_EQ(testing::ReadBytes(dir / "grey.bmp"), bmp);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"cmyk.jpg", "grey.bmp", "grey.jpg"}));
}

TEST(JpegDecode, LoadingGoesThroughATemporaryBitmapThatIsRemoved) {
  ScratchDir dir;
  JpegOptions o;
  o.width = 21, o.height = 13;
  testing::WriteBytes(dir / "a.jpg", MakeJpeg(o));
  auto loaded = LoadJpeg(dir / "a.jpg");
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  EXPECT_EQ(ImageWidth(loaded->record), 21);
  EXPECT_EQ(ImageHeight(loaded->record), 13);
  EXPECT_EQ(ImageBitCount(loaded->record), 24);
  o.space = JCS_GRAYSCALE;
  testing::WriteBytes(dir / "g.jpg", MakeJpeg(o));
  loaded = LoadJpeg(dir / "g.jpg");
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(ImageBitCount(loaded->record), 8);
  EXPECT_EQ(ImagePaletteEntry(loaded->record, 200), (Rgb{200, 200, 200}));
  o.space = JCS_CMYK;
  testing::WriteBytes(dir / "c.jpg", MakeJpeg(o));
  EXPECT_EQ(LoadJpeg(dir / "c.jpg").message(), err::kCreatingBitmap);
  EXPECT_EQ(LoadJpeg(dir / "none.jpg").message(), err::kFileCannotBeOpened);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"a.jpg", "c.jpg", "g.jpg"}));
}

}  // namespace
}  // namespace fq
