#include "show/movie_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/bytes.h"

namespace fq::show {
namespace {

using Bytes = std::vector<uint8_t>;

// A packed frame as a decoder hands it over, built field by field.
struct Frame {
  uint32_t header_size = 40;
  int32_t width = 2, height = 2;
  uint16_t bits = 24;
  uint32_t compression = kBiRgb;
  uint32_t image_size = 0;
  uint32_t colors_used = 0;
  Bytes masks;    // after the header
  Bytes palette;  // 4-byte entries
  Bytes pixels;

  Bytes Build() const {
    Bytes b(std::max<uint32_t>(header_size, 40), 0);
    PutU32(b.data(), header_size);
    PutI32(b.data() + 4, width);
    PutI32(b.data() + 8, height);
    PutU16(b.data() + 12, 1);
    PutU16(b.data() + 14, bits);
    PutU32(b.data() + 16, compression);
    PutU32(b.data() + 20, image_size);
    PutU32(b.data() + 32, colors_used);
    b.insert(b.end(), masks.begin(), masks.end());
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
  }
};

// Pixel (x, y) of a 24- or 8-bit record, y counted from the top.
const uint8_t* PixelAt(const ImageRecord& r, int x, int y) {
  const uint64_t stride = ImageRowStride(ImageWidth(r), ImageBitCount(r));
  const int row = ImageHeight(r) - 1 - y;
  return ImageBits(r) + row * stride + x * (ImageBitCount(r) / 8);
}

// Decoders hand raw frames over top-down (negative height): the record must
// come out upright, bottom-up, with the same pixels, padding rows to 4.
TEST(MovieFrame, TopDownFramesComeOutUprightIn24And8Bits) {
  Frame f;
  f.width = 3;
  f.height = -2;
  // Rows of 9 bytes padded to 12: the top row red, green, blue; the bottom
  // row grey levels.
  f.pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
              10, 10, 10, 20, 20, 20, 30, 30, 30, 0, 0, 0};
  auto r = PictureFromFrame(f.Build());
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(ImageHeight(*r), 2);
  EXPECT_EQ(ImageBitCount(*r), 24);
  EXPECT_EQ(PixelAt(*r, 0, 0)[2], 255);  // top left red
  EXPECT_EQ(PixelAt(*r, 2, 0)[0], 255);  // top right blue
  EXPECT_EQ(PixelAt(*r, 1, 1)[1], 20);   // bottom middle grey
  EXPECT_TRUE(ImageHasAllRows(*r));

  Frame p;
  p.width = 2;
  p.height = -2;
  p.bits = 8;
  p.colors_used = 3;
  p.palette = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
  p.pixels = {2, 1, 0, 0, 0, 2, 0, 0};
  auto q = PictureFromFrame(p.Build());
  ASSERT_TRUE(q.ok()) << q.message();
  EXPECT_EQ(ImageBitCount(*q), 8);
  EXPECT_EQ(ImageColorCount(*q), 3u);
  EXPECT_EQ(ImagePaletteEntry(*q, 2), (Rgb{7, 8, 9}));
  EXPECT_EQ(*PixelAt(*q, 0, 0), 2);  // the first stored row is the top one
  EXPECT_EQ(*PixelAt(*q, 1, 1), 2);
  EXPECT_EQ(*PixelAt(*q, 0, 1), 0);
}

// 16-bit (5-5-5 plain, 5-6-5 by masks) and 32-bit frames become 24-bit
// records; a colour table in front of deep pixels is skipped, not drawn.
TEST(MovieFrame, DeepFramesAreWidenedTo24Bits) {
  Frame a;
  a.width = 1;
  a.height = 1;
  a.bits = 16;
  a.pixels = {0x1F, 0x7C, 0, 0};  // 0x7C1F: red 31, green 0, blue 31
  auto r = PictureFromFrame(a.Build());
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(ImageBitCount(*r), 24);
  EXPECT_EQ(PixelAt(*r, 0, 0)[0], 0xF8);
  EXPECT_EQ(PixelAt(*r, 0, 0)[1], 0);
  EXPECT_EQ(PixelAt(*r, 0, 0)[2], 0xF8);

  Frame b = a;
  b.compression = kBiBitfields;
  b.masks = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  b.pixels = {0xE0, 0x07, 0, 0};  // green 63 in 5-6-5
  auto g = PictureFromFrame(b.Build());
  ASSERT_TRUE(g.ok()) << g.message();
  EXPECT_EQ(PixelAt(*g, 0, 0)[1], 0xFC);
  EXPECT_EQ(PixelAt(*g, 0, 0)[2], 0);

  Frame c;
  c.width = 2;
  c.height = -1;
  c.bits = 32;
  c.colors_used = 2;
  c.palette = Bytes(8, 0xEE);
  c.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  auto d = PictureFromFrame(c.Build());
  ASSERT_TRUE(d.ok()) << d.message();
  EXPECT_EQ(ImageBitCount(*d), 24);
  EXPECT_EQ(ImageColorCount(*d), 0u);
  EXPECT_EQ(PixelAt(*d, 1, 0)[0], 4);
  EXPECT_EQ(PixelAt(*d, 1, 0)[2], 6);

  // Masks the program cannot widen give no picture rather than a record
  // nothing else can draw.
  Frame odd = b;
  odd.masks = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(PictureFromFrame(odd.Build()).ok());
}

// Every size the header gives is checked before anything is copied; sizes
// that would overflow 32 bits are computed in 64.
TEST(MovieFrame, DamagedHeadersGiveNoPicture) {
  struct Case {
    const char* what;
    Frame f;
  };
  auto with = [](auto change) {
    Frame f;
    f.pixels = Bytes(16, 0);
    change(f);
    return f;
  };
  const Case cases[] = {
      {"height 0", with([](Frame& f) { f.height = 0; })},
      {"width 0", with([](Frame& f) { f.width = 0; })},
      {"negative width", with([](Frame& f) { f.width = -2; })},
      {"lowest height", with([](Frame& f) { f.height = std::numeric_limits<int32_t>::min(); })},
      {"width too large", with([](Frame& f) { f.width = 65536; })},
      {"12 bits", with([](Frame& f) { f.bits = 12; })},
      {"core header", with([](Frame& f) { f.header_size = 12; })},
      {"coded frame", with([](Frame& f) { f.compression = 4; })},
      {"257 colours", with([](Frame& f) { f.bits = 8; f.colors_used = 257; })},
      {"17 colours at 4 bits", with([](Frame& f) { f.bits = 4; f.colors_used = 17; })},
      {"run-length without size", with([](Frame& f) { f.bits = 8; f.compression = kBiRle8; })},
      {"run-length top-down",
       with([](Frame& f) { f.bits = 8; f.compression = kBiRle8; f.image_size = 4; f.height = -2; })},
      {"masks at 24 bits", with([](Frame& f) { f.compression = kBiBitfields; })},
      // 65535 × 65535 at 32 bits is 17 GB: the layout is sound, but the
      // bytes are not there, and nothing may be allocated for them.
      {"huge and short",
       with([](Frame& f) { f.width = 65535; f.height = -65535; f.bits = 32; })},
      {"a row short", with([](Frame& f) { f.height = 3; })},
  };
  for (const Case& c : cases) {
    auto r = PictureFromFrame(c.f.Build());
    EXPECT_EQ(r.message(), err::kCreateBitmap) << c.what;
  }
  auto huge = MeasureFrame(cases[13].f.Build());
  ASSERT_TRUE(huge.ok());
  EXPECT_EQ(huge->total, 40u + 65535ull * 65535ull * 4ull);
  EXPECT_FALSE(MeasureFrame(Bytes(39, 0)).ok());

  // Colour masks with a 41-byte header: they would lie past the header's
  // end, here past the frame's (a copy without spare room, so the address
  // sanitizer sees any read beyond it).
  Frame short_masks;
  short_masks.header_size = 41;
  short_masks.bits = 16;
  short_masks.compression = kBiBitfields;
  short_masks.pixels = Bytes(8, 0xFF);
  const Bytes built = short_masks.Build();
  const Bytes exact(built.begin(), built.end());
  EXPECT_EQ(PictureFromFrame(exact).message(), err::kCreateBitmap);
}

// A run-length frame is copied for its stated size and decoded.
TEST(MovieFrame, RunLengthFramesAreDecoded) {
  Frame f;
  f.width = 4;
  f.height = 1;
  f.bits = 8;
  f.compression = kBiRle8;
  f.colors_used = 2;
  f.palette = {0, 0, 0, 0, 9, 9, 9, 0};
  f.pixels = {4, 1, 0, 1};  // four pixels of index 1, end of picture
  f.image_size = 4;
  auto r = PictureFromFrame(f.Build());
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_EQ(ImageCompression(*r), kBiRgb);
  EXPECT_EQ(*PixelAt(*r, 3, 0), 1);
}

}  // namespace
}  // namespace fq::show
