#include "show/movie_frame.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "image/record_layout.h"

namespace fq::show {
namespace {

// The longest header a decoder uses (the fifth version of the bitmap header).
constexpr uint32_t kLongestHeader = 124;
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kMaxColors = 256;

Failure Bad() { return Failure{err::kCreateBitmap}; }

bool KnownBitCount(uint16_t bits) {
  switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

bool CompressionFits(uint32_t compression, uint16_t bits) {
  switch (compression) {
    case kBiRgb: return true;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    case kBiBitfields: return bits == 16 || bits == 32;
    default: return false;  // codes of compressed forms a display never gets
  }
}

}  // namespace

Result<FrameLayout> MeasureFrame(std::span<const uint8_t> header) {
  if (header.size() < kInfoHeaderSize) return Bad();
  const uint8_t* h = header.data();
  FrameLayout f;
  f.header_bytes = GetU32(h);
  if (f.header_bytes < kInfoHeaderSize || f.header_bytes > kLongestHeader) return Bad();
  const int64_t width = GetI32(h + 4);
  const int64_t height = GetI32(h + 8);
  const int64_t rows = height < 0 ? -height : height;  // 64 bits: no overflow at INT32_MIN
  if (width < 1 || width > kMaxImageDimension || rows < 1 || rows > kMaxImageDimension)
    return Bad();
  f.width = static_cast<int32_t>(width);
  f.rows = static_cast<int32_t>(rows);
  f.top_down = height < 0;
  f.bit_count = GetU16(h + 14);
  f.compression = GetU32(h + 16);
  if (!KnownBitCount(f.bit_count) || !CompressionFits(f.compression, f.bit_count)) return Bad();
  const uint32_t image_size = GetU32(h + 20);
  const uint32_t colors_used = GetU32(h + 32);

  if (f.bit_count <= 8) {
    const uint32_t most = 1u << f.bit_count;
    if (colors_used > most) return Bad();
    f.colors = colors_used ? colors_used : most;
  } else {
    // A deep frame may carry a colour table for palette displays; it sits
    // before the pixels and is skipped.
    if (colors_used > kMaxColors) return Bad();
    f.colors = colors_used;
  }
  f.palette_bytes = uint64_t{f.colors} * 4;
  // Masks follow a 40-byte header; a longer header holds them itself.
  f.mask_bytes = f.compression == kBiBitfields && f.header_bytes == kInfoHeaderSize ? kMaskBytes : 0;
  // A longer header must be long enough to hold the masks it claims to hold.
  if (f.compression == kBiBitfields && f.header_bytes > kInfoHeaderSize &&
      f.header_bytes < kInfoHeaderSize + kMaskBytes)
    return Bad();

  if (f.compression == kBiRle8 || f.compression == kBiRle4) {
    // Coded rows have no stride: only the stated size says where they end,
    // and coded pictures are always stored bottom-up.
    if (image_size == 0 || f.top_down) return Bad();
    f.pixel_bytes = image_size;
  } else {
    f.pixel_bytes = ImageRowStride(width, f.bit_count) * static_cast<uint64_t>(rows);
  }
  f.total = uint64_t{f.header_bytes} + f.mask_bytes + f.palette_bytes + f.pixel_bytes;
  if (f.total > kMaxImageBlockBytes) return Bad();
  return f;
}

Result<ImageRecord> PictureFromFrame(std::span<const uint8_t> frame) {
  auto measured = MeasureFrame(frame);
  if (!measured) return measured.failure();
  const FrameLayout& f = *measured;
  if (frame.size() < f.total) return Bad();

  const bool deep = f.bit_count > 8;
  const uint64_t out_palette = deep ? 0 : f.palette_bytes;
  const bool has_masks = f.compression == kBiBitfields;
  const uint64_t out_masks = has_masks ? kMaskBytes : 0;
  const uint64_t out_total = kInfoHeaderSize + out_masks + out_palette + f.pixel_bytes;
  auto made = ImageRecord::Allocate(static_cast<size_t>(out_total));
  if (!made) return made.failure();
  ImageRecord& out = *made;
  uint8_t* o = out.data();
  const uint8_t* in = frame.data();

  // The 40-byte form of the header: upright, its own size, a colour count
  // that matches what is kept.
  std::memcpy(o, in, kInfoHeaderSize);
  PutU32(o, kInfoHeaderSize);
  PutI32(o + 8, f.rows);
  if (deep) {
    PutU32(o + 32, 0);
    PutU32(o + 36, 0);
  }
  if (f.compression == kBiRgb || f.compression == kBiBitfields)
    PutU32(o + 20, f.pixel_bytes > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(f.pixel_bytes));

  uint64_t at = kInfoHeaderSize;
  if (has_masks) {
    // After a 40-byte header the masks follow it; a longer header holds
    // them at the same offset inside itself.
    std::memcpy(o + at, in + kInfoHeaderSize, kMaskBytes);
    at += kMaskBytes;
  }
  const uint64_t in_palette = uint64_t{f.header_bytes} + f.mask_bytes;
  if (!deep) std::memcpy(o + at, in + in_palette, static_cast<size_t>(f.palette_bytes));
  at += out_palette;

  const uint8_t* pixels = in + in_palette + f.palette_bytes;
  if (f.top_down) {
    const uint64_t stride = ImageRowStride(f.width, f.bit_count);
    for (int64_t y = 0; y < f.rows; ++y)
      std::memcpy(o + at + static_cast<uint64_t>(f.rows - 1 - y) * stride, pixels + y * stride,
                  static_cast<size_t>(stride));
  } else {
    std::memcpy(o + at, pixels, static_cast<size_t>(f.pixel_bytes));
  }

  auto normal = NormalizeImage(out);
  if (!normal) return normal.failure();
  normal->ApplyTo(out);
  // Masks the conversions do not know leave a 16- or 32-bit record that
  // nothing else in the program draws or stores.
  if (ImageCompression(out) != kBiRgb || ImageBitCount(out) == 16 || ImageBitCount(out) == 32)
    return Bad();
  return std::move(out);
}

}  // namespace fq::show
