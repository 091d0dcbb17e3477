#include "image/color_reduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace fq {
namespace {

struct KeyParts {
  int red, green, blue;
};
KeyParts PartsOf(int key) { return {key & 15, (key >> 4) & 31, (key >> 9) & 15}; }
int KeyOf(int red, int green, int blue) { return red | (green << 4) | (blue << 9); }
int CellOf(int key) {
  KeyParts p = PartsOf(key);
  return (p.red >> 2) | ((p.green >> 3) << 2) | ((p.blue >> 2) << 4);
}
// The colour a key stands for in the palette.
Rgb ColorOf(int key) {
  KeyParts p = PartsOf(key);
  return {static_cast<uint8_t>(p.blue * 16), static_cast<uint8_t>(p.green * 8),
          static_cast<uint8_t>(p.red * 16)};
}

// A 24-bit picture of `width` columns holding the given pixels row after
// row, bottom row first; the rest of the last row repeats the first pixel.
ImageRecord Picture(const std::vector<Rgb>& pixels, int width) {
  int height = static_cast<int>((pixels.size() + width - 1) / width);
  auto r = ImageRecord::Create(width, height, 24);
  EXPECT_TRUE(r.ok());
  uint64_t stride = ImageRowStride(width, 24);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    const Rgb& c = i < pixels.size() ? pixels[i] : pixels[0];
    uint8_t* p = ImageBits(*r) + (i / width) * stride + (i % width) * 3;
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
  }
  return std::move(*r);
}

// Appends `n` pixels of the colour of `key`.
void AddKey(std::vector<Rgb>& px, int key, int n) { px.insert(px.end(), n, ColorOf(key)); }

ImageRecord Reduce(const ImageRecord& r) {
  auto c = ReduceTo256(r);
  EXPECT_TRUE(c.ok());
  EXPECT_FALSE(c->same());
  return std::move(c->record());
}

uint8_t IndexAt(const ImageRecord& r, size_t i) {
  int width = ImageWidth(r);
  return ImageBits(r)[(i / width) * ImageRowStride(width, 8) + i % width];
}

TEST(ReduceTo256, OnlyUncompressedFullColourIsReduced) {
  auto eight = ImageRecord::Create(2, 2, 8);
  ASSERT_TRUE(eight.ok());
  auto same = ReduceTo256(*eight);
  ASSERT_TRUE(same.ok());
  EXPECT_TRUE(same->same());

  ImageRecord rle = Picture({{1, 2, 3}}, 1);
  PutU32(rle.data() + 16, kBiRle8);
  EXPECT_TRUE(ReduceTo256(rle)->same());

  // A damaged full-colour record is a failure, never "same".
  ImageRecord cut = Picture({{1, 2, 3}, {4, 5, 6}}, 1);
  ASSERT_TRUE(cut.Resize(cut.size() - 1).ok());
  EXPECT_EQ(ReduceTo256(cut).message(), err::kUnexpected);
}

TEST(ReduceTo256, FewKeysAreKeptExactlyWithTheRecordLayout) {
  std::vector<Rgb> px;
  std::set<int> keys;
  for (int i = 0; i < 200; ++i) {
    // Spread over the whole key space, with a little noise below the key's resolution.
    int key = (i * 41) % 8192;
    keys.insert(key);
    Rgb c = ColorOf(key);
    c.blue |= i % 16;
    c.green |= i % 8;
    px.push_back(c);
  }
  ImageRecord src = Picture(px, 5);  // stride 15 → 16 and 5 → 8 after reduction
  PutI32(src.data() + 24, 3780);
  ImageRecord out = Reduce(src);
  EXPECT_EQ(ImageBitCount(out), 8);
  EXPECT_EQ(ImageCompression(out), kBiRgb);
  EXPECT_EQ(GetU32(out.data() + 20), 0u);
  EXPECT_EQ(GetI32(out.data() + 24), 3780);  // the source's header otherwise
  EXPECT_EQ(GetU32(out.data() + 36), 0u);
  EXPECT_EQ(ImageColorCount(out), keys.size());
  EXPECT_EQ(out.size(), 40 + 4 * keys.size() + 8 * 40);
  for (size_t i = 0; i < px.size(); ++i) {
    Rgb want = ColorOf(ColorKey(px[i].blue, px[i].green, px[i].red));
    EXPECT_EQ(ImagePaletteEntry(out, IndexAt(out, i)), want) << i;
  }
  for (int y = 0; y < ImageHeight(out); ++y)
    for (int pad = 5; pad < 8; ++pad) EXPECT_EQ(ImageBits(out)[y * 8 + pad], 0);
}

TEST(ReduceTo256, EveryOccupiedCellGetsAnEntry) {
  // One dominant colour, 300 frequent keys in cell 0 and its neighbours, and
  // one pixel in each of the 63 other cells: without the coverage rule the
  // single pixels would all lose to the frequent keys.
  std::vector<Rgb> px;
  AddKey(px, 0, 5000);
  int frequent = 0;
  for (int key = 1; key < 8192 && frequent < 300; ++key) {
    if (CellOf(key) < 3) {
      AddKey(px, key, 5);
      ++frequent;
    }
  }
  std::vector<int> lonely;
  for (int cell = 3; cell < 64; ++cell) {
    for (int key = 8191; key >= 0; --key) {
      if (CellOf(key) == cell) {
        lonely.push_back(key);
        break;
      }
    }
  }
  ASSERT_EQ(lonely.size(), 61u);
  size_t first_lonely = px.size();
  for (int key : lonely) AddKey(px, key, 1);
  ImageRecord out = Reduce(Picture(px, 64));
  ASSERT_EQ(ImageColorCount(out), 256u);
  std::set<int> cells;
  for (uint32_t i = 0; i < 256; ++i) {
    Rgb c = ImagePaletteEntry(out, i);
    cells.insert(CellOf(ColorKey(c.blue, c.green, c.red)));
  }
  for (int cell = 0; cell < 64; ++cell) EXPECT_TRUE(cells.count(cell)) << "cell " << cell;
  for (size_t j = 0; j < lonely.size(); ++j)
    EXPECT_EQ(ImagePaletteEntry(out, IndexAt(out, first_lonely + j)), ColorOf(lonely[j]));
  // The dominant colour comes first: it wins its cell and then the ordering.
  EXPECT_EQ(ImagePaletteEntry(out, 0), ColorOf(0));
}

// 300 keys with three pixels each outside cell 63, so at most 256 keys fit
// and a one-pixel key gets an entry only by winning a cell.
std::vector<Rgb> CrowdOutsideCell63() {
  std::vector<Rgb> px;
  int n = 0;
  for (int key = 0; key < 8192 && n < 300; ++key) {
    if (CellOf(key) == 0 || CellOf(key) == 1 || CellOf(key) == 2) {
      AddKey(px, key, 3);
      ++n;
    }
  }
  return px;
}

TEST(ReduceTo256, EqualCountsInACellGoToTheLowerKey) {
  std::vector<Rgb> px = CrowdOutsideCell63();
  const int low = KeyOf(12, 24, 12), high = KeyOf(12, 25, 12);
  ASSERT_EQ(CellOf(low), 63);
  ASSERT_EQ(CellOf(high), 63);
  size_t at = px.size();
  AddKey(px, high, 1);  // the higher key comes first in the picture
  AddKey(px, low, 1);
  ImageRecord out = Reduce(Picture(px, 50));
  std::set<std::tuple<int, int, int>> palette;
  for (uint32_t i = 0; i < ImageColorCount(out); ++i) {
    Rgb c = ImagePaletteEntry(out, i);
    palette.insert({c.blue, c.green, c.red});
  }
  Rgb l = ColorOf(low), h = ColorOf(high);
  EXPECT_TRUE(palette.count({l.blue, l.green, l.red}));
  EXPECT_FALSE(palette.count({h.blue, h.green, h.red}));
  // The loser is mapped to its nearest entry: the winner, one green step away.
  EXPECT_EQ(ImagePaletteEntry(out, IndexAt(out, at)), l);
}

TEST(ReduceTo256, CountsStopAt65535) {
  // Same cell: 70000 pixels of the higher key against 5000 of the lower. A
  // 16-bit counter that wrapped would give the cell and entry 0 to the lower key.
  const int low = KeyOf(0, 0, 0), high = KeyOf(1, 0, 0);
  std::vector<Rgb> px;
  AddKey(px, high, 70000);
  AddKey(px, low, 5000);
  ImageRecord out = Reduce(Picture(px, 300));
  ASSERT_EQ(ImageColorCount(out), 2u);
  EXPECT_EQ(ImagePaletteEntry(out, 0), ColorOf(high));
  EXPECT_EQ(ImagePaletteEntry(out, 1), ColorOf(low));
}

TEST(ReduceTo256, OrderingFollowsTheExchangeWalk) {
  // Four keys of one cell with counts 1, 2, 2, 3 in key order. The exchange
  // walk leaves the two equal counts in reverse key order: 3, 2b, 2a, 1.
  const int k[4] = {KeyOf(0, 0, 0), KeyOf(1, 0, 0), KeyOf(2, 0, 0), KeyOf(3, 0, 0)};
  std::vector<Rgb> px;
  AddKey(px, k[0], 1);
  AddKey(px, k[1], 2);
  AddKey(px, k[2], 2);
  AddKey(px, k[3], 3);
  ImageRecord out = Reduce(Picture(px, 8));
  ASSERT_EQ(ImageColorCount(out), 4u);
  EXPECT_EQ(ImagePaletteEntry(out, 0), ColorOf(k[3]));
  EXPECT_EQ(ImagePaletteEntry(out, 1), ColorOf(k[2]));
  EXPECT_EQ(ImagePaletteEntry(out, 2), ColorOf(k[1]));
  EXPECT_EQ(ImagePaletteEntry(out, 3), ColorOf(k[0]));
}

TEST(ReduceTo256, KeysBeyondThePaletteTakeTheFirstNearestEntry) {
  std::vector<Rgb> px = CrowdOutsideCell63();
  // Equally far (one red step) from two entries; the earlier entry wins.
  const int between = KeyOf(1, 0, 0);
  px.erase(std::remove(px.begin(), px.end(), ColorOf(between)), px.end());
  size_t at = px.size();
  AddKey(px, between, 1);
  ImageRecord out = Reduce(Picture(px, 50));
  uint8_t got = IndexAt(out, at);
  Rgb c = ImagePaletteEntry(out, got);
  KeyParts want = PartsOf(between);
  KeyParts have = PartsOf(ColorKey(c.blue, c.green, c.red));
  auto dist = [&](KeyParts a) {
    return (a.red - want.red) * (a.red - want.red) + (a.green - want.green) * (a.green - want.green) +
           (a.blue - want.blue) * (a.blue - want.blue);
  };
  for (uint8_t i = 0; i < got; ++i) {
    Rgb e = ImagePaletteEntry(out, i);
    EXPECT_GT(dist(PartsOf(ColorKey(e.blue, e.green, e.red))), dist(have)) << "entry " << int(i);
  }
  EXPECT_EQ(dist(have), 1);
}

}  // namespace
}  // namespace fq
