#include "edit/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "image/bitmap_unpack.h"
#include "image/record_layout.h"

namespace fq::edit {
namespace {

constexpr size_t kImageSizeField = 20;
constexpr size_t kMaskField = 40;  // masks follow a 40-byte header or sit in a longer one
constexpr int kTileSide = 64;      // the turn walks the picture in squares that stay in cache

bool PaletteBits(int bits) { return bits == 1 || bits == 4 || bits == 8; }

uint8_t IndexAt(const uint8_t* row, int64_t x, int bits) {
  switch (bits) {
    case 1: return static_cast<uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return static_cast<uint8_t>((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
    default: return row[x];
  }
}

void PutIndex(uint8_t* row, int64_t x, int bits, uint8_t v) {
  switch (bits) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>(v & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4:
      row[x >> 1] = static_cast<uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (v & 0x0F)
                                                 : (row[x >> 1] & 0x0F) | (v << 4));
      break;
    default: row[x] = v;
  }
}

uint32_t PaletteCount(const ImageRecord& r) {
  const int bits = ImageBitCount(r);
  return PaletteBits(bits) ? std::min<uint32_t>(ImageColorCount(r), 1u << bits) : 0;
}

// A new record of `width` × `height` with the first 40 header bytes of `r`
// (a workable record), its palette and zero pixels; the image-size field
// holds the new rows' size.
Result<ImageRecord> RecordLike(const ImageRecord& r, int32_t width, int32_t height) {
  if (!layout::ValidDimensions(width, height)) return Failure{err::kCreateBitmap};
  const int bits = ImageBitCount(r);
  const uint32_t colors = PaletteCount(r);
  const uint64_t pixels = ImageRowStride(width, bits) * static_cast<uint64_t>(height);
  const uint64_t total = kInfoHeaderSize + uint64_t{colors} * 4 + pixels;
  if (total > kMaxImageBlockBytes) return Failure{err::kMemory};
  auto out = ImageRecord::Allocate(static_cast<size_t>(total));
  if (!out) return out;
  uint8_t* h = out->data();
  std::memcpy(h, r.data(), kInfoHeaderSize);
  PutU32(h, kInfoHeaderSize);
  PutI32(h + 4, width);
  PutI32(h + 8, height);
  PutU32(h + 16, kBiRgb);
  PutU32(h + kImageSizeField, static_cast<uint32_t>(std::min<uint64_t>(pixels, 0xFFFFFFFFu)));
  if (GetU32(h + 32) > colors) PutU32(h + 32, colors);
  if (GetU32(h + 36) > colors) PutU32(h + 36, colors);
  layout::CopyPaletteAs4(r, h + kInfoHeaderSize, colors);
  return out;
}

ColorMasks MasksOf(const ImageRecord& r) {
  const int bits = ImageBitCount(r);
  if (ImageCompression(r) == kBiBitfields && r.size() >= kMaskField + 12)
    return {GetU32(r.data() + kMaskField), GetU32(r.data() + kMaskField + 4),
            GetU32(r.data() + kMaskField + 8)};
  return bits == 16 ? kMasks555 : kMasks888;
}

// The rows of a 40-byte-form record re-laid bottom-up, complete, after a
// plain 40-byte header without masks; the bit count stays.
Result<ImageRecord> Relaid(const ImageRecord& r) {
  const int32_t width = ImageWidth(r);
  const int32_t height = std::abs(ImageHeight(r));
  const int bits = ImageBitCount(r);
  const uint32_t colors = PaletteCount(r);
  if (!layout::ValidDimensions(width, height)) return Failure{err::kCreateBitmap};
  const uint64_t stride = ImageRowStride(width, bits);
  const uint64_t total = kInfoHeaderSize + uint64_t{colors} * 4 + stride * height;
  if (total > kMaxImageBlockBytes) return Failure{err::kMemory};
  auto out = ImageRecord::Allocate(static_cast<size_t>(total));
  if (!out) return out;
  layout::InfoHeader h;
  h.width = width;
  h.height = height;
  h.bit_count = static_cast<uint16_t>(bits);
  h.image_size = static_cast<uint32_t>(std::min<uint64_t>(stride * height, 0xFFFFFFFFu));
  h.x_pels_per_meter = layout::XPelsPerMeter(r);
  h.y_pels_per_meter = layout::YPelsPerMeter(r);
  h.colors_used = std::min(GetU32(r.data() + 32), colors);
  h.colors_important = std::min(GetU32(r.data() + 36), colors);
  layout::WriteInfoHeader(out->data(), h);
  layout::CopyPaletteAs4(r, out->data() + kInfoHeaderSize, colors);
  const layout::RowReader rows(r);
  const bool top_down = ImageHeight(r) < 0;
  uint8_t* bits_out = ImageBits(*out);
  for (int64_t s = 0; s < height; ++s) {
    const auto row = rows.Row(s);
    const int64_t y = top_down ? height - 1 - s : s;
    if (!row.empty()) std::memcpy(bits_out + y * stride, row.data(), std::min<size_t>(row.size(), stride));
  }
  return out;
}

// The picture as one byte per pixel (palette index), rows bottom-up.
std::vector<uint8_t> Unpacked(const ImageRecord& r) {
  const int64_t w = ImageWidth(r), h = ImageHeight(r);
  const int bits = ImageBitCount(r);
  const uint64_t stride = ImageRowStride(w, bits);
  std::vector<uint8_t> plane(static_cast<size_t>(w * h));
  const uint8_t* src = ImageBits(r);
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x) plane[y * w + x] = IndexAt(src + y * stride, x, bits);
  return plane;
}

void Pack(const std::vector<uint8_t>& plane, ImageRecord& out) {
  const int64_t w = ImageWidth(out), h = ImageHeight(out);
  const int bits = ImageBitCount(out);
  const uint64_t stride = ImageRowStride(w, bits);
  uint8_t* dst = ImageBits(out);
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x) PutIndex(dst + y * stride, x, bits, plane[y * w + x]);
}

// Output (x, y) of a w_out × h_out turned picture, rows from the bottom,
// takes source (sx, sy) of the w × h source: right (w − 1 − y, x), left
// (y, h − 1 − x). `copy(dst_index, src_index)` moves one pixel.
template <class Copy>
void TurnPixels(int64_t w, int64_t h, Turn turn, Copy copy) {
  const int64_t w_out = h, h_out = w;
  for (int64_t ty = 0; ty < h_out; ty += kTileSide) {
    const int64_t ty_end = std::min(h_out, ty + kTileSide);
    for (int64_t tx = 0; tx < w_out; tx += kTileSide) {
      const int64_t tx_end = std::min(w_out, tx + kTileSide);
      for (int64_t y = ty; y < ty_end; ++y) {
        for (int64_t x = tx; x < tx_end; ++x) {
          const int64_t sx = turn == Turn::kRight ? w - 1 - y : y;
          const int64_t sy = turn == Turn::kRight ? x : h - 1 - x;
          copy(x, y, sx, sy);
        }
      }
    }
  }
}

}  // namespace

Result<Converted> Workable(const ImageRecord& r) {
  ImageRecord work;
  const ImageRecord* current = &r;
  auto adopt = [&](ImageRecord next) {
    work = std::move(next);
    current = &work;
  };
  if (ImageIsCoreForm(*current)) {
    auto info = CoreToInfo(*current);
    if (!info) return info.failure();
    adopt(std::move(info).value());
  }
  if (!ImageIsInfoForm(*current)) return Failure{err::kCreateBitmap};
  auto normal = NormalizeImage(*current);
  if (!normal) return normal.failure();
  if (!normal->same()) adopt(std::move(normal->record()));

  const int bits = ImageBitCount(*current);
  const bool masked = bits == 16 || bits == 32;
  if (!masked && bits != 24 && !PaletteBits(bits)) return Failure{err::kCreateBitmap};
  const uint32_t compression = ImageCompression(*current);
  if (compression != kBiRgb && !(masked && compression == kBiBitfields))
    return Failure{err::kCreateBitmap};
  const bool plain = ImageHeaderSize(*current) == kInfoHeaderSize && ImageHeight(*current) > 0 &&
                     ImageMaskBytes(*current) == 0 && compression == kBiRgb &&
                     ImageHasAllRows(*current) &&
                     layout::ValidDimensions(ImageWidth(*current), ImageHeight(*current));
  if (!plain) {
    const ColorMasks masks = MasksOf(*current);
    auto relaid = Relaid(*current);
    if (!relaid) return relaid.failure();
    adopt(std::move(relaid).value());
    if (masked) {
      auto full = UnpackMaskedTo24(*current, masks);
      if (!full) return full.failure();
      adopt(std::move(full).value());
    }
  } else if (masked) {
    auto full = UnpackMaskedTo24(*current, MasksOf(*current));
    if (!full) return full.failure();
    adopt(std::move(full).value());
  }
  if (current == &r) return Converted::Same();
  return Converted::New(std::move(work));
}

bool CanTurnOrResize(int bit_count) { return PaletteBits(bit_count) || bit_count >= 16; }

Result<ImageRecord> RotateQuarter(const ImageRecord& source, Turn turn) {
  auto workable = Workable(source);
  if (!workable) return workable.failure();
  const ImageRecord& r = workable->Or(source);
  const int64_t w = ImageWidth(r), h = ImageHeight(r);
  const int bits = ImageBitCount(r);
  auto out = RecordLike(r, static_cast<int32_t>(h), static_cast<int32_t>(w));
  if (!out) return out;
  if (bits == 24) {
    const uint64_t in_stride = ImageRowStride(w, 24), out_stride = ImageRowStride(h, 24);
    const uint8_t* src = ImageBits(r);
    uint8_t* dst = ImageBits(*out);
    TurnPixels(w, h, turn, [&](int64_t x, int64_t y, int64_t sx, int64_t sy) {
      const uint8_t* s = src + sy * in_stride + 3 * sx;
      uint8_t* d = dst + y * out_stride + 3 * x;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    });
    return out;
  }
  std::vector<uint8_t> plane, turned;
  try {
    plane = Unpacked(r);
    turned.resize(plane.size());
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  TurnPixels(w, h, turn, [&](int64_t x, int64_t y, int64_t sx, int64_t sy) {
    turned[y * h + x] = plane[sy * w + sx];
  });
  Pack(turned, *out);
  return out;
}

Result<ImageRecord> ResizePicture(const ImageRecord& source, int32_t width, int32_t height) {
  if (!layout::ValidDimensions(width, height)) return Failure{err::kCreateBitmap};
  auto workable = Workable(source);
  if (!workable) return workable.failure();
  const ImageRecord& r = workable->Or(source);
  const int bits = ImageBitCount(r);
  if (bits == 24) return ResampleBilinear(r, width, height);

  // Nearest neighbour on whole rows; within a row on bytes at 8 bits and on
  // single pixels at 4 and 1 bits, so that the pad bits of a row are never
  // taken for pixels and stay 0.
  const int64_t w = ImageWidth(r), h = ImageHeight(r);
  auto out = RecordLike(r, width, height);
  if (!out) return out;
  const double rx = static_cast<double>(width) / static_cast<double>(w);
  const double ry = static_cast<double>(height) / static_cast<double>(h);
  const uint64_t in_stride = ImageRowStride(w, bits), out_stride = ImageRowStride(width, bits);
  std::vector<int64_t> source_x;
  std::vector<uint8_t> unpacked;
  try {
    source_x.resize(static_cast<size_t>(width));
    for (int64_t x = 0; x < width; ++x)
      source_x[x] = std::min<int64_t>(static_cast<int64_t>(x / rx), w - 1);
    if (bits != 8) unpacked.resize(static_cast<size_t>(w));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  const uint8_t* src = ImageBits(r);
  uint8_t* dst = ImageBits(*out);
  for (int64_t y = 0; y < height; ++y) {
    const int64_t sy = std::min<int64_t>(static_cast<int64_t>(y / ry), h - 1);
    const uint8_t* s = src + sy * in_stride;
    uint8_t* d = dst + y * out_stride;
    if (bits == 8) {
      for (int64_t x = 0; x < width; ++x) d[x] = s[source_x[x]];
      continue;
    }
    for (int64_t x = 0; x < w; ++x) unpacked[x] = IndexAt(s, x, bits);
    if (bits == 4) {
      for (int64_t x = 0; x < width; ++x) PutIndex(d, x, 4, unpacked[source_x[x]]);
      continue;
    }
    // 1 bit: bit k of byte j from source pixel trunc(8j / r) + trunc(k / r).
    for (int64_t j = 0; 8 * j < width; ++j) {
      const int64_t base = static_cast<int64_t>(8 * j / rx);
      for (int k = 0; k < 8 && 8 * j + k < width; ++k) {
        const int64_t sx = std::min<int64_t>(base + static_cast<int64_t>(k / rx), w - 1);
        PutIndex(d, 8 * j + k, 1, unpacked[sx]);
      }
    }
  }
  return out;
}

CutRect SnapCutout(int x0, int y0, int x1, int y1, int zoom, int picture_width,
                   int picture_height) {
  x0 = std::clamp(x0, 0, picture_width);
  x1 = std::clamp(x1, 0, picture_width);
  y0 = std::clamp(y0, 0, picture_height);
  y1 = std::clamp(y1, 0, picture_height);
  const double s = zoom / 4.0;
  auto snap = [s](int v) { return static_cast<int>(std::trunc(std::trunc(s * v) / s)); };
  auto extent = [&](int a, int b, int full) {
    const int d = std::abs(b - a);
    if (std::trunc(s * d) == std::trunc(s * full)) return full;
    return snap(d);
  };
  CutRect c;
  c.left = snap(std::min(x0, x1));
  c.top = snap(std::min(y0, y1));
  c.width = std::min(extent(x0, x1, picture_width), picture_width - c.left);
  c.height = std::min(extent(y0, y1, picture_height), picture_height - c.top);
  return c;
}

Result<ImageRecord> CopyRectangle(const ImageRecord& source, int left, int top, int width,
                                  int height) {
  auto workable = Workable(source);
  if (!workable) return workable.failure();
  const ImageRecord& r = workable->Or(source);
  const int64_t w = ImageWidth(r), h = ImageHeight(r);
  if (width <= 0 || height <= 0 || left < 0 || top < 0 || left + int64_t{width} > w ||
      top + int64_t{height} > h)
    return Failure{err::kCreateBitmap};
  auto out = RecordLike(r, width, height);
  if (!out) return out;
  PutU32(out->data() + kImageSizeField, 0);
  const int bits = ImageBitCount(r);
  const uint64_t in_stride = ImageRowStride(w, bits), out_stride = ImageRowStride(width, bits);
  const uint8_t* src = ImageBits(r);
  uint8_t* dst = ImageBits(*out);
  for (int64_t k = 0; k < height; ++k) {
    // Row k from the top is stored at height − 1 − k from the bottom.
    const uint8_t* s = src + (h - 1 - top - k) * in_stride;
    uint8_t* d = dst + (height - 1 - k) * out_stride;
    if (bits == 24 || bits == 8) {
      const int bpp = bits / 8;
      std::memcpy(d, s + int64_t{left} * bpp, static_cast<size_t>(width) * bpp);
    } else {
      for (int64_t x = 0; x < width; ++x) PutIndex(d, x, bits, IndexAt(s, left + x, bits));
    }
  }
  return out;
}

}  // namespace fq::edit
