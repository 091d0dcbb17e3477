#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "base/bytes.h"
#include "edit/geometry.h"

namespace fq::edit {
namespace {

template <class T>
T Take(Result<T> r) {
  return std::move(r).value();
}

// A picture of `bits` whose pixel (x, y) (y from the bottom) is value(x, y):
// a palette index, or for 24 bits a colour made from it.
template <class F>
ImageRecord Make(int w, int h, int bits, F value) {
  ImageRecord r = Take(ImageRecord::Create(w, h, static_cast<uint16_t>(bits)));
  uint8_t* px = ImageBits(r);
  const uint64_t stride = ImageRowStride(w, bits);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = px + y * stride;
    for (int x = 0; x < w; ++x) {
      const unsigned v = value(x, y);
      if (bits == 24) {
        row[3 * x] = static_cast<uint8_t>(v);
        row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
      } else if (bits == 8) {
        row[x] = static_cast<uint8_t>(v);
      } else if (bits == 4) {
        row[x / 2] |= static_cast<uint8_t>((v & 15) << ((x & 1) ? 0 : 4));
      } else {
        row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
      }
    }
  }
  return r;
}

unsigned At(const ImageRecord& r, int x, int y) {
  const int bits = ImageBitCount(r);
  const uint8_t* row = ImageBits(r) + y * ImageRowStride(ImageWidth(r), bits);
  switch (bits) {
    case 24: return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    case 8: return row[x];
    case 4: return (x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4;
    default: return (row[x / 8] >> (7 - x % 8)) & 1;
  }
}

unsigned Pattern(int x, int y) { return static_cast<unsigned>(x * 7 + y * 13 + 1) * 2654435761u >> 8; }

TEST(Turn, ThreeByTwoRightAndLeft) {
  // Source rows from the bottom: (0 1 2) then (3 4 5).
  ImageRecord src = Make(3, 2, 24, [](int x, int y) { return unsigned(y * 3 + x); });
  ImageRecord right = Take(RotateQuarter(src, Turn::kRight));
  ASSERT_EQ(ImageWidth(right), 2);
  ASSERT_EQ(ImageHeight(right), 3);
  // Its bottom row, left to right, is the right-hand column from the bottom up.
  EXPECT_EQ(At(right, 0, 0), 2u);
  EXPECT_EQ(At(right, 1, 0), 5u);
  // Top row: the left-hand column from the bottom up (clockwise on screen).
  EXPECT_EQ(At(right, 0, 2), 0u);
  EXPECT_EQ(At(right, 1, 2), 3u);
  ImageRecord left = Take(RotateQuarter(src, Turn::kLeft));
  EXPECT_EQ(At(left, 0, 0), 3u);
  EXPECT_EQ(At(left, 1, 0), 0u);
  EXPECT_EQ(At(left, 0, 2), 5u);
  // Rows padded with zeros; the image-size field holds the new rows.
  EXPECT_EQ(GetU32(right.data() + 20), ImageRowStride(2, 24) * 3);
  EXPECT_EQ(right.data()[40 + 6], 0);
  EXPECT_EQ(right.data()[40 + 7], 0);
}

TEST(Turn, FourRightsAndRightLeftGiveThePictureBackAtEveryDepth) {
  for (int bits : {1, 4, 8, 24}) {
    for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {13, 7}, {1, 9}, {33, 2}}) {
      ImageRecord src = Make(w, h, bits, Pattern);
      if (bits <= 8) src.data()[40] = 0x11;  // a palette entry to carry along
      ImageRecord r = Take(RotateQuarter(src, Turn::kRight));
      for (int i = 0; i < 3; ++i) r = Take(RotateQuarter(r, Turn::kRight));
      EXPECT_EQ(std::vector<uint8_t>(r.bytes().begin(), r.bytes().end()),
                std::vector<uint8_t>(src.bytes().begin(), src.bytes().end()))
          << bits << " bits " << w << "x" << h;
      ImageRecord back = Take(RotateQuarter(*RotateQuarter(src, Turn::kRight), Turn::kLeft));
      EXPECT_EQ(std::vector<uint8_t>(back.bytes().begin(), back.bytes().end()),
                std::vector<uint8_t>(src.bytes().begin(), src.bytes().end()));
      // Packed pixels turn like any other: output (x, y) = source (w - 1 - y, x).
      ImageRecord one = Take(RotateQuarter(src, Turn::kRight));
      for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x)
          ASSERT_EQ(At(one, x, y), At(src, w - 1 - y, x)) << bits << " bits at " << x << "," << y;
    }
  }
}

TEST(Turn, TopDownRowsAndMaskFormsTurnInTheirRealOrder) {
  // The same picture stored top-down (negative height) turns like its
  // bottom-up form.
  ImageRecord up = Make(4, 3, 24, Pattern);
  ImageRecord down = Take(up.Clone());
  PutI32(down.data() + 8, -3);
  const uint64_t stride = ImageRowStride(4, 24);
  for (int y = 0; y < 3; ++y)
    std::copy_n(ImageBits(up) + y * stride, stride, ImageBits(down) + (2 - y) * stride);
  ImageRecord a = Take(RotateQuarter(up, Turn::kLeft)), b = Take(RotateQuarter(down, Turn::kLeft));
  EXPECT_GT(ImageHeight(b), 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(a, x, y), At(b, x, y));

  // A 16-bit picture with 4-4-4 masks (left at 16 bits by normalisation)
  // goes to 24 bits first; it is never walked as 3-byte pixels.
  std::vector<uint8_t> bytes(40 + 12 + 4 * 2);
  PutU32(bytes.data(), 40);
  PutI32(bytes.data() + 4, 2);
  PutI32(bytes.data() + 8, 2);
  PutU16(bytes.data() + 12, 1);
  PutU16(bytes.data() + 14, 16);
  PutU32(bytes.data() + 16, kBiBitfields);
  PutU32(bytes.data() + 40, 0x0F00);
  PutU32(bytes.data() + 44, 0x00F0);
  PutU32(bytes.data() + 48, 0x000F);
  PutU16(bytes.data() + 52, 0x0F00);  // (0, 0) red
  PutU16(bytes.data() + 54, 0x000F);  // (1, 0) blue
  ImageRecord masked = ImageRecord::Adopt(bytes);
  ImageRecord turned = Take(RotateQuarter(masked, Turn::kRight));
  ASSERT_EQ(ImageBitCount(turned), 24);
  EXPECT_EQ(At(turned, 0, 0), 0xFF0000u >> 16);  // source (1, 0): blue in the first byte
  EXPECT_EQ(At(turned, 0, 1), 0xFF0000u);        // source (0, 0): red
}

TEST(Resize, BilinearSizesAndPaletteNearestNeighbour) {
  ImageRecord photo = Make(64, 48, 24, Pattern);
  ImageRecord big = Take(ResizePicture(photo, 100, 75));
  EXPECT_EQ(ImageWidth(big), 100);
  EXPECT_EQ(ImageHeight(big), 75);
  EXPECT_EQ(ImageBitCount(big), 24);

  // 8 bits: row y from source row trunc(y / (h'/h)), byte x from trunc(x / (w'/w)).
  ImageRecord idx = Make(10, 6, 8, Pattern);
  ImageRecord r8 = Take(ResizePicture(idx, 25, 4));
  ASSERT_EQ(ImageBitCount(r8), 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 25; ++x)
      EXPECT_EQ(At(r8, x, y), At(idx, int(x / (25.0 / 10)), int(y / (4.0 / 6))));
  EXPECT_EQ(GetU32(r8.data() + 20), ImageRowStride(25, 8) * 4);
  EXPECT_EQ(ImageColorCount(r8), ImageColorCount(idx));

  // 1 and 4 bits at odd widths: pad bits stay 0 and nothing past a row is read.
  for (int bits : {1, 4}) {
    for (auto [w, h, w2, h2] : {std::tuple{9, 3, 17, 5}, {17, 5, 9, 3}, {1, 1, 31, 2}, {31, 2, 1, 1}}) {
      ImageRecord src = Make(w, h, bits, [](int, int) { return 0xFFu; });  // every pixel set
      ImageRecord out = Take(ResizePicture(src, w2, h2));
      const uint64_t stride = ImageRowStride(w2, bits);
      const int used_bits = w2 * bits;
      for (int y = 0; y < h2; ++y) {
        const uint8_t* row = ImageBits(out) + y * stride;
        for (uint64_t bit = 0; bit < stride * 8; ++bit) {
          const bool set = (row[bit / 8] >> (7 - bit % 8)) & 1;
          EXPECT_EQ(set, int(bit) < used_bits) << bits << " bits " << w2 << " bit " << bit;
        }
      }
    }
  }
}

TEST(Cutout, SnappingAndEmptyRectangles) {
  // At 100 % and above the selection itself.
  EXPECT_EQ(SnapCutout(30, 20, 10, 5, 4, 100, 80), (CutRect{10, 5, 20, 15}));
  EXPECT_EQ(SnapCutout(10, 5, 30, 20, 16, 100, 80), (CutRect{10, 5, 20, 15}));
  // At 50 % to multiples of 2, at 25 % of 4.
  EXPECT_EQ(SnapCutout(11, 5, 30, 20, 2, 100, 80), (CutRect{10, 4, 18, 14}));
  EXPECT_EQ(SnapCutout(11, 5, 30, 20, 1, 100, 80), (CutRect{8, 4, 16, 12}));
  // A selection as wide as the picture keeps the whole width.
  EXPECT_EQ(SnapCutout(0, 0, 99, 79, 1, 99, 79), (CutRect{0, 0, 99, 79}));
  // Small selections snap to nothing; corners are clamped to the picture.
  EXPECT_EQ(SnapCutout(5, 5, 8, 30, 1, 100, 80).width, 0);
  EXPECT_EQ(SnapCutout(-20, -3, 500, 500, 4, 100, 80), (CutRect{0, 0, 100, 80}));
}

TEST(Cutout, CopiesExactlyTheSelectedPixelsAtEveryDepth) {
  for (int bits : {1, 4, 8, 24}) {
    ImageRecord src = Make(23, 11, bits, Pattern);
    for (auto [l, t, w, h] : {std::tuple{0, 0, 23, 11}, {3, 2, 7, 5}, {5, 0, 1, 1}, {9, 4, 14, 7}}) {
      ImageRecord cut = Take(CopyRectangle(src, l, t, w, h));
      ASSERT_EQ(ImageWidth(cut), w);
      ASSERT_EQ(ImageHeight(cut), h);
      // Row k from the top of the cut is row t + k from the top of the source.
      for (int k = 0; k < h; ++k)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(At(cut, x, h - 1 - k), At(src, l + x, 11 - 1 - t - k))
              << bits << " bits, cut at " << l << "," << t << " pixel " << x << "," << k;
    }
    EXPECT_FALSE(CopyRectangle(src, 20, 0, 4, 1).ok());  // past the right edge
    EXPECT_FALSE(CopyRectangle(src, 0, 0, 0, 5).ok());
  }
}

TEST(Geometry, ExtremeShapes) {
  ImageRecord tall = Make(1, 65535, 24, [](int, int y) { return unsigned(y); });
  ImageRecord wide = Take(RotateQuarter(tall, Turn::kRight));
  EXPECT_EQ(ImageWidth(wide), 65535);
  EXPECT_EQ(ImageHeight(wide), 1);
  EXPECT_EQ(At(wide, 65534, 0), 65534u);
  ImageRecord dot = Make(1, 1, 8, [](int, int) { return 7u; });
  EXPECT_EQ(At(Take(ResizePicture(dot, 32, 32)), 31, 31), 7u);
  EXPECT_FALSE(ResizePicture(dot, 0, 5).ok());
}

}  // namespace
}  // namespace fq::edit
