// Decoding into nearest samples gives exactly the nearest samples of a full
// decode, whatever the file's sampling or size, and refuses what the full
// decode refuses. (Greyscale and progressive files, which the program does
// not write, are checked against djpeg in tests/album/album_peer.sh.)
#include "image/jpeg_sampled.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "album/album_thumbnail.h"
#include "image/bmp_file.h"
#include "support/scratch_dir.h"

namespace fq {
namespace {

ImageRecord Busy(int32_t w, int32_t h, uint16_t bits) {
  auto r = ImageRecord::Create(w, h, bits, bits == 8 ? 256 : 0);
  EXPECT_TRUE(r.ok());
  uint8_t* p = ImageBits(*r);
  const uint64_t stride = ImageRowStride(w, bits);
  unsigned seed = 7;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w * (bits / 8); ++x) {
      seed = seed * 1103515245u + 12345u;
      p[stride * y + x] = static_cast<uint8_t>((x * 5 + y * 3) ^ (seed >> 24));
    }
  if (bits == 8)
    for (int i = 0; i < 256; ++i) r->data()[40 + 4 * i] = r->data()[41 + 4 * i] = r->data()[42 + 4 * i] = i;
  return std::move(*r);
}

SampledSize Fit(int64_t w, int64_t h) {
  auto f = album::FitThumbnailSize(w, h);
  return {f.width, f.height};
}

// The nearest samples of the full decode, as the cell makes them.
std::vector<uint8_t> ByFullDecode(const std::string& jpg) {
  auto full = LoadJpeg(jpg);
  EXPECT_TRUE(full.ok());
  auto sub = album::SubsamplePicture(full->record);
  EXPECT_TRUE(sub.ok());
  const ImageRecord& r = sub->shown.empty() ? sub->thumbnail : sub->shown;
  return {r.bytes().begin(), r.bytes().end()};
}

TEST(JpegSampled, EqualsTheNearestSamplesOfAFullDecode) {
  testing_support::ScratchDir dir;
  struct Case {
    int32_t w, h;
    uint16_t bits;
    const char* sampling;
  };
  const Case cases[] = {{1600, 1200, 24, "2x2,1x1,1x1"}, {1600, 1200, 24, kSampling2x1},
                        {480, 640, 24, "1x1,1x1,1x1"},  {203, 131, 24, "2x2,1x1,1x1"},
                        {97, 3000, 24, kSampling4x1},   {10, 7, 24, "2x2,1x1,1x1"},
                        {333, 250, 8, "1x1"}};
  for (const Case& c : cases) {
    const std::string jpg = dir / "in.jpg";
    ImageRecord picture = Busy(c.w, c.h, c.bits);
    ASSERT_TRUE(ImageToJpegFile(picture, jpg, c.sampling, 90).ok()) << c.w << "x" << c.h;
    auto sampled = DecodeJpegSampled(jpg, Fit);
    ASSERT_TRUE(sampled.ok()) << c.w << "x" << c.h;
    const auto want = ByFullDecode(jpg);
    const std::vector<uint8_t> got(sampled->bytes().begin(), sampled->bytes().end());
    ASSERT_EQ(got.size(), want.size()) << c.w << "x" << c.h << " " << c.sampling;
    // Everything but the image-size and resolution words of the header.
    EXPECT_EQ(std::memcmp(got.data() + 40, want.data() + 40, got.size() - 40), 0)
        << c.w << "x" << c.h << " " << c.sampling;
    EXPECT_EQ(ImageWidth(*sampled), Fit(c.w, c.h).width);
    EXPECT_EQ(ImageBitCount(*sampled), 24);  // the encoder writes colour files only
  }
}

TEST(JpegSampled, RefusesWhatTheFullDecodeRefuses) {
  testing_support::ScratchDir dir;
  EXPECT_EQ(DecodeJpegSampled(dir / "missing.jpg", Fit).message(), err::kFileCannotBeOpened);
  const std::string jpg = dir / "cut.jpg";
  ASSERT_TRUE(ImageToJpegFile(Busy(64, 64, 24), jpg, kSampling2x1, 75).ok());
  std::vector<char> head(300);
  std::ifstream(jpg, std::ios::binary).read(head.data(), 300);
  std::ofstream(dir / "head.jpg", std::ios::binary).write(head.data(), 100);  // no frame header
  EXPECT_FALSE(DecodeJpegSampled(dir / "head.jpg", Fit).ok());
  // A size rule that gives nothing usable.
  EXPECT_FALSE(DecodeJpegSampled(jpg, [](int64_t, int64_t) { return SampledSize{0, 5}; }).ok());
}

}  // namespace
}  // namespace fq
