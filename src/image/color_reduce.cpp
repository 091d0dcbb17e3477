#include "image/color_reduce.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace fq {
namespace {

constexpr int kKeyCount = 8192;
constexpr int kCellCount = 64;
constexpr int kPaletteMax = 256;
constexpr uint16_t kCountMax = 65535;

int RedPart(int key) { return key & 15; }
int GreenPart(int key) { return (key >> 4) & 31; }
int BluePart(int key) { return (key >> 9) & 15; }
int CellOf(int key) {
  return (RedPart(key) >> 2) | ((GreenPart(key) >> 3) << 2) | ((BluePart(key) >> 2) << 4);
}

}  // namespace

Result<Converted> ReduceTo256(const ImageRecord& r) {
  if (r.empty() || ImageIsCoreForm(r) || ImageBitCount(r) != 24 || ImageCompression(r) != kBiRgb)
    return Converted::Same();
  const int64_t width = ImageWidth(r), height = ImageHeight(r);
  // A 24-bit record that does not hold its rows cannot be reduced, and
  // handing it back unreduced would let a 256-colour save write 24 bits.
  if (ImageHeaderSize(r) < kInfoHeaderSize || width <= 0 || height <= 0 || !ImageHasAllRows(r))
    return Failure{err::kUnexpected};
  const uint64_t in_stride = ImageRowStride(width, 24);
  const uint64_t out_stride = ImageRowStride(width, 8);
  const uint8_t* in = ImageBits(r);

  try {
    std::vector<uint16_t> count(kKeyCount, 0);
    for (int64_t y = 0; y < height; ++y) {
      const uint8_t* p = in + y * in_stride;
      for (int64_t x = 0; x < width; ++x, p += 3) {
        uint16_t& c = count[ColorKey(p[0], p[1], p[2])];
        if (c != kCountMax) ++c;
      }
    }

    std::vector<uint16_t> keys;
    keys.reserve(kKeyCount);
    for (int k = 0; k < kKeyCount; ++k)
      if (count[k] != 0) keys.push_back(static_cast<uint16_t>(k));
    const size_t n_keys = keys.size();

    // Each occupied coverage cell keeps its most frequent key (the lower key
    // on equal counts) and is then made certain of a palette entry.
    int winner[kCellCount];
    std::fill(std::begin(winner), std::end(winner), -1);
    for (uint16_t k : keys) {
      int& w = winner[CellOf(k)];
      if (w < 0 || count[k] > count[w]) w = k;
    }
    for (int w : winner)
      if (w >= 0) count[w] = kCountMax;

    const size_t n = std::min<size_t>(n_keys, kPaletteMax);
    for (size_t p = 0; p < n; ++p)
      for (size_t q = p + 1; q < n_keys; ++q)
        if (count[keys[q]] > count[keys[p]]) std::swap(keys[p], keys[q]);

    std::vector<uint8_t> map(kKeyCount, 0);
    for (size_t i = 0; i < n; ++i) map[keys[i]] = static_cast<uint8_t>(i);
    for (size_t j = n; j < n_keys; ++j) {
      const int k = keys[j];
      int best = 0, best_d = -1;
      for (size_t i = 0; i < n; ++i) {
        const int e = keys[i];
        const int dg = GreenPart(k) - GreenPart(e);
        const int db = BluePart(k) - BluePart(e);
        const int dr = RedPart(k) - RedPart(e);
        const int d = dg * dg + db * db + dr * dr;
        if (best_d < 0 || d < best_d) {
          best_d = d;
          best = static_cast<int>(i);
        }
      }
      map[k] = static_cast<uint8_t>(best);
    }

    const uint64_t bytes = kInfoHeaderSize + n * 4 + out_stride * static_cast<uint64_t>(height);
    auto out = ImageRecord::Allocate(static_cast<size_t>(bytes));
    if (!out) return out.failure();
    uint8_t* h = out->data();
    std::memcpy(h, r.data(), kInfoHeaderSize);
    PutU16(h + 14, 8);
    PutU32(h + 16, kBiRgb);
    PutU32(h + 20, 0);
    PutU32(h + 32, static_cast<uint32_t>(n));
    PutU32(h + 36, 0);
    uint8_t* pal = h + kInfoHeaderSize;
    for (size_t i = 0; i < n; ++i) {
      const int k = keys[i];
      pal[4 * i] = static_cast<uint8_t>(BluePart(k) * 16);
      pal[4 * i + 1] = static_cast<uint8_t>(GreenPart(k) * 8);
      pal[4 * i + 2] = static_cast<uint8_t>(RedPart(k) * 16);
      pal[4 * i + 3] = 0;
    }
    uint8_t* o = pal + n * 4;
    for (int64_t y = 0; y < height; ++y) {
      const uint8_t* p = in + y * in_stride;
      uint8_t* d = o + y * out_stride;
      for (int64_t x = 0; x < width; ++x, p += 3) d[x] = map[ColorKey(p[0], p[1], p[2])];
    }
    return Converted::New(std::move(*out));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
}

}  // namespace fq
