#include "image/bitmap_unpack.h"

#include <bit>
#include <cstring>

#include "image/color_reduce.h"

namespace fq {
namespace {

// A new uncompressed record with `src`'s 40-byte header except the bit count,
// `colors` palette entries and zero pixels.
Result<ImageRecord> SameSizeRecord(const ImageRecord& src, uint16_t bits, uint32_t colors) {
  int64_t width = ImageWidth(src), height = ImageHeight(src);
  uint64_t bytes = kInfoHeaderSize + uint64_t{colors} * 4 + ImageRowStride(width, bits) * height;
  auto out = ImageRecord::Allocate(static_cast<size_t>(bytes));
  if (!out) return out;
  std::memcpy(out->data(), src.data(), kInfoHeaderSize);
  uint8_t* h = out->data();
  PutU32(h + 0, kInfoHeaderSize);
  PutU16(h + 14, bits);
  PutU32(h + 16, kBiRgb);
  PutU32(h + 20, 0);
  PutU32(h + 32, colors);
  PutU32(h + 36, 0);
  return out;
}

bool Readable(const ImageRecord& r) {
  return !r.empty() && !ImageIsCoreForm(r) && ImageHeaderSize(r) >= kInfoHeaderSize &&
         ImageWidth(r) > 0 && ImageHeight(r) > 0 && ImageHasAllRows(r);
}

}  // namespace

uint8_t MaskedChannel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t field = mask >> shift;
  int width = std::bit_width(field);
  uint32_t v = (pixel & mask) >> shift;
  if (width >= 8) return static_cast<uint8_t>(v >> (width - 8));
  uint32_t out = v << (8 - width);
  for (int filled = width; filled < 8; filled += width) out |= out >> width;
  return static_cast<uint8_t>(out);
}

Result<ImageRecord> UnpackMaskedTo24(const ImageRecord& r, const ColorMasks& masks) {
  int bits = ImageBitCount(r);
  if (!Readable(r) || (bits != 16 && bits != 32)) return Failure{err::kUnexpected};
  auto out = SameSizeRecord(r, 24, 0);
  if (!out) return out;
  int64_t width = ImageWidth(r), height = ImageHeight(r);
  uint64_t in_stride = ImageRowStride(width, bits), out_stride = ImageRowStride(width, 24);
  const uint8_t* in = ImageBits(r);
  uint8_t* o = ImageBits(*out);
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* s = in + y * in_stride;
    uint8_t* d = o + y * out_stride;
    for (int64_t x = 0; x < width; ++x, d += 3) {
      uint32_t px = bits == 16 ? GetU16(s + 2 * x) : GetU32(s + 4 * x);
      d[0] = MaskedChannel(px, masks.blue);
      d[1] = MaskedChannel(px, masks.green);
      d[2] = MaskedChannel(px, masks.red);
    }
  }
  return out;
}

Result<ImageRecord> UnpackTo24(const ImageRecord& r) {
  if (!Readable(r)) return Failure{err::kUnexpected};
  int bits = ImageBitCount(r);
  if (bits == 16 || bits == 32) {
    // The standard masks are widened by normalisation, one rule for all callers.
    auto normal = NormalizeImage(r);
    if (!normal) return normal.failure();
    if (normal->same() || ImageBitCount(normal->record()) != 24) return Failure{err::kCreateBitmap};
    return std::move(normal->record());
  }
  if (ImageCompression(r) != kBiRgb) return Failure{err::kCreateBitmap};
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return Failure{err::kCreateBitmap};
  auto out = SameSizeRecord(r, 24, 0);
  if (!out) return out;
  int64_t width = ImageWidth(r), height = ImageHeight(r);
  uint64_t in_stride = ImageRowStride(width, bits), out_stride = ImageRowStride(width, 24);
  const uint8_t* in = ImageBits(r);
  uint8_t* o = ImageBits(*out);
  Rgb palette[256] = {};
  uint32_t colors = ImageColorCount(r);
  for (uint32_t i = 0; i < colors && i < 256; ++i) palette[i] = ImagePaletteEntry(r, i);
  int per_byte = bits < 8 ? 8 / bits : 1;
  unsigned index_mask = (1u << (bits < 8 ? bits : 8)) - 1;
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* s = in + y * in_stride;
    uint8_t* d = o + y * out_stride;
    if (bits == 24) {
      std::memcpy(d, s, static_cast<size_t>(width) * 3);
      continue;
    }
    for (int64_t x = 0; x < width; ++x, d += 3) {
      unsigned shift = bits * (per_byte - 1 - static_cast<unsigned>(x % per_byte));
      unsigned index = (s[x / per_byte] >> shift) & index_mask;
      const Rgb& c = palette[index];  // beyond the palette: zero, black
      d[0] = c.blue;
      d[1] = c.green;
      d[2] = c.red;
    }
  }
  return out;
}

Result<ImageRecord> RenderAtDepth(const ImageRecord& r, int bits) {
  if (bits == 24) return UnpackTo24(r);
  if (bits != 8) return Failure{err::kCreateBitmap};
  if (!Readable(r)) return Failure{err::kUnexpected};
  int in_bits = ImageBitCount(r);
  if (in_bits > 8) {
    auto full = UnpackTo24(r);
    if (!full) return full;
    auto reduced = ReduceTo256(*full);
    if (!reduced) return reduced.failure();
    if (reduced->same()) return Failure{err::kCreateBitmap};
    return std::move(reduced->record());
  }
  if (ImageCompression(r) != kBiRgb || (in_bits != 1 && in_bits != 4 && in_bits != 8))
    return Failure{err::kCreateBitmap};
  uint32_t colors = ImageColorCount(r);
  if (colors > 256) colors = 256;
  auto out = SameSizeRecord(r, 8, colors);
  if (!out) return out;
  uint8_t* h = out->data();
  for (uint32_t i = 0; i < colors; ++i) {
    Rgb c = ImagePaletteEntry(r, i);
    h[kInfoHeaderSize + 4 * i] = c.blue;
    h[kInfoHeaderSize + 4 * i + 1] = c.green;
    h[kInfoHeaderSize + 4 * i + 2] = c.red;
  }
  int64_t width = ImageWidth(r), height = ImageHeight(r);
  uint64_t in_stride = ImageRowStride(width, in_bits), out_stride = ImageRowStride(width, 8);
  const uint8_t* in = ImageBits(r);
  uint8_t* o = ImageBits(*out);
  int per_byte = 8 / in_bits;
  unsigned index_mask = (1u << in_bits) - 1;
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* s = in + y * in_stride;
    uint8_t* d = o + y * out_stride;
    for (int64_t x = 0; x < width; ++x) {
      unsigned shift = in_bits * (per_byte - 1 - static_cast<unsigned>(x % per_byte));
      d[x] = static_cast<uint8_t>((s[x / per_byte] >> shift) & index_mask);
    }
  }
  return out;
}

}  // namespace fq
