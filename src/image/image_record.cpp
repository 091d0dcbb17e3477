#include "image/image_record.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "image/color_reduce.h"
#include "image/record_layout.h"

namespace fq {

namespace {

enum class Form { kNone, kCore, kInfo };

Form FormOf(const ImageRecord& r) {
  if (r.size() < 4) return Form::kNone;
  const uint32_t header = GetU32(r.data());
  if (header == kCoreHeaderSize) return r.size() >= kCoreHeaderSize ? Form::kCore : Form::kNone;
  if (header >= kInfoHeaderSize && header <= r.size()) return Form::kInfo;
  return Form::kNone;
}

uint32_t DefaultColorCount(uint32_t bit_count) {
  switch (bit_count) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

size_t Saturate(uint64_t v) {
  return v > std::numeric_limits<size_t>::max() ? std::numeric_limits<size_t>::max()
                                                : static_cast<size_t>(v);
}

Failure Fail(int message) { return Failure{message}; }

}  // namespace

// ---------------------------------------------------------------------------
// The block.

Result<ImageRecord> ImageRecord::Allocate(size_t bytes) {
  ImageRecord r;
  if (Status s = r.Resize(bytes); !s) return Fail(s.message());
  return r;
}

ImageRecord ImageRecord::Adopt(std::vector<uint8_t> bytes) {
  ImageRecord r;
  r.bytes_ = std::move(bytes);
  return r;
}

Status ImageRecord::Resize(size_t bytes) {
  if (bytes > kMaxImageBlockBytes) return Fail(err::kMemory);
  try {
    bytes_.resize(bytes);
  } catch (const std::bad_alloc&) {
    return Fail(err::kMemory);
  } catch (const std::length_error&) {
    return Fail(err::kMemory);
  }
  return Status::Ok();
}

Result<ImageRecord> ImageRecord::Create(int32_t width, int32_t height, uint16_t bit_count,
                                        uint32_t colors) {
  switch (bit_count) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return Fail(err::kMemory);
  }
  if (!layout::ValidDimensions(width, height) || colors > 256) return Fail(err::kMemory);
  const uint64_t palette = uint64_t{colors ? colors : DefaultColorCount(bit_count)} * 4;
  const uint64_t pixels = ImageRowStride(width, bit_count) * static_cast<uint64_t>(height);
  const uint64_t total = kInfoHeaderSize + palette + pixels;
  if (total > kMaxImageBlockBytes) return Fail(err::kMemory);
  auto r = Allocate(static_cast<size_t>(total));
  if (!r) return r;
  layout::InfoHeader h;
  h.width = width;
  h.height = height;
  h.bit_count = bit_count;
  h.image_size = static_cast<uint32_t>(std::min<uint64_t>(pixels, 0xFFFFFFFFu));
  h.colors_used = colors;
  layout::WriteInfoHeader(r->data(), h);
  return r;
}

Result<ImageRecord> ImageRecord::Clone() const {
  auto r = Allocate(bytes_.size());
  if (!r) return r;
  if (!bytes_.empty()) std::memcpy(r->data(), bytes_.data(), bytes_.size());
  return r;
}

// ---------------------------------------------------------------------------
// Header accessors.

uint32_t ImageHeaderSize(const ImageRecord& r) {
  return FormOf(r) == Form::kNone ? 0 : GetU32(r.data());
}

bool ImageIsCoreForm(const ImageRecord& r) { return FormOf(r) == Form::kCore; }
bool ImageIsInfoForm(const ImageRecord& r) { return FormOf(r) == Form::kInfo; }

int32_t ImageWidth(const ImageRecord& r) {
  switch (FormOf(r)) {
    case Form::kCore: return GetU16(r.data() + 4);
    case Form::kInfo: return GetI32(r.data() + 4);
    default: return 0;
  }
}

int32_t ImageHeight(const ImageRecord& r) {
  switch (FormOf(r)) {
    case Form::kCore: return GetU16(r.data() + 6);
    case Form::kInfo: return GetI32(r.data() + 8);
    default: return 0;
  }
}

uint16_t ImageBitCount(const ImageRecord& r) {
  switch (FormOf(r)) {
    case Form::kCore: return GetU16(r.data() + 10);
    case Form::kInfo: return GetU16(r.data() + 14);
    default: return 0;
  }
}

uint32_t ImageCompression(const ImageRecord& r) {
  switch (FormOf(r)) {
    case Form::kCore: return kBiBitfields;
    case Form::kInfo: return GetU32(r.data() + 16);
    default: return 0;
  }
}

uint32_t ImageColorCount(const ImageRecord& r) {
  const Form form = FormOf(r);
  if (form == Form::kNone) return 0;
  if (form == Form::kInfo) {
    if (uint32_t used = GetU32(r.data() + 32); used != 0) return used;
  }
  return DefaultColorCount(ImageBitCount(r));
}

size_t ImagePaletteBytes(const ImageRecord& r) {
  const uint64_t entry = ImageIsCoreForm(r) ? 3 : 4;
  return Saturate(uint64_t{ImageColorCount(r)} * entry);
}

size_t ImageMaskBytes(const ImageRecord& r) {
  if (FormOf(r) != Form::kInfo || GetU32(r.data()) != kInfoHeaderSize) return 0;
  const uint16_t bits = ImageBitCount(r);
  return ImageCompression(r) == kBiBitfields && (bits == 16 || bits == 32) ? 12 : 0;
}

size_t ImagePixelOffset(const ImageRecord& r) {
  if (FormOf(r) == Form::kNone) return 0;
  const uint64_t offset = uint64_t{GetU32(r.data())} + ImageMaskBytes(r) + ImagePaletteBytes(r);
  return Saturate(offset);
}

uint64_t ImageRowStride(int64_t width, int bit_count) {
  if (width <= 0 || bit_count <= 0 || width > 0xFFFFFFFFLL || bit_count > 0xFFFF) return 0;
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bit_count) + 31) / 32 * 4;
}

const uint8_t* ImageBits(const ImageRecord& r) {
  const size_t offset = ImagePixelOffset(r);
  if (offset == 0 || offset >= r.size()) return nullptr;
  return r.data() + offset;
}

uint8_t* ImageBits(ImageRecord& r) {
  return const_cast<uint8_t*>(ImageBits(static_cast<const ImageRecord&>(r)));
}

bool ImageHasAllRows(const ImageRecord& r) {
  const size_t offset = ImagePixelOffset(r);
  const int64_t width = ImageWidth(r);
  const int64_t rows = std::abs(static_cast<int64_t>(ImageHeight(r)));
  const uint64_t stride = ImageRowStride(width, ImageBitCount(r));
  if (offset == 0 || offset > r.size() || stride == 0 || rows == 0) return false;
  return static_cast<uint64_t>(rows) <= (r.size() - offset) / stride;
}

Rgb ImagePaletteEntry(const ImageRecord& r, uint32_t i) {
  if (i >= ImageColorCount(r)) return {};
  const bool core = ImageIsCoreForm(r);
  const uint64_t at = uint64_t{GetU32(r.data())} + ImageMaskBytes(r) + uint64_t{i} * (core ? 3 : 4);
  if (at + 3 > r.size()) return {};
  const uint8_t* p = r.data() + at;
  return Rgb{p[0], p[1], p[2]};
}

// ---------------------------------------------------------------------------
// Shared layout helpers.

namespace layout {

void WriteInfoHeader(uint8_t* p, const InfoHeader& h) {
  PutU32(p, kInfoHeaderSize);
  PutI32(p + 4, h.width);
  PutI32(p + 8, h.height);
  PutU16(p + 12, 1);
  PutU16(p + 14, h.bit_count);
  PutU32(p + 16, h.compression);
  PutU32(p + 20, h.image_size);
  PutI32(p + 24, h.x_pels_per_meter);
  PutI32(p + 28, h.y_pels_per_meter);
  PutU32(p + 32, h.colors_used);
  PutU32(p + 36, h.colors_important);
}

int32_t XPelsPerMeter(const ImageRecord& r) { return ImageIsInfoForm(r) ? GetI32(r.data() + 24) : 0; }
int32_t YPelsPerMeter(const ImageRecord& r) { return ImageIsInfoForm(r) ? GetI32(r.data() + 28) : 0; }

bool ValidDimensions(int64_t width, int64_t height) {
  return width >= 1 && width <= kMaxImageDimension && height >= 1 && height <= kMaxImageDimension;
}

void CopyPaletteAs4(const ImageRecord& r, uint8_t* dest, uint32_t colors) {
  for (uint32_t i = 0; i < colors; ++i) {
    const Rgb c = ImagePaletteEntry(r, i);
    dest[4 * i] = c.blue;
    dest[4 * i + 1] = c.green;
    dest[4 * i + 2] = c.red;
    dest[4 * i + 3] = 0;
  }
}

RowReader::RowReader(const ImageRecord& r)
    : base_(r.data()),
      size_(r.size()),
      offset_(ImagePixelOffset(r)),
      stride_(ImageRowStride(ImageWidth(r), ImageBitCount(r))),
      rows_(std::abs(static_cast<int64_t>(ImageHeight(r)))) {}

}  // namespace layout

// ---------------------------------------------------------------------------
// Conversions.

Result<ImageRecord> CoreToInfo(const ImageRecord& r) {
  if (!ImageIsCoreForm(r)) return Fail(err::kUnexpected);
  const int32_t width = ImageWidth(r);
  const int32_t height = ImageHeight(r);
  const uint16_t bits = ImageBitCount(r);
  if (!layout::ValidDimensions(width, height)) return Fail(err::kCreateBitmap);
  const uint32_t colors = ImageColorCount(r);
  const layout::RowReader rows(r);
  const uint64_t pixels = rows.stride() * static_cast<uint64_t>(height);
  const uint64_t total = kInfoHeaderSize + uint64_t{colors} * 4 + pixels;
  auto out = ImageRecord::Allocate(total > kMaxImageBlockBytes ? SIZE_MAX : static_cast<size_t>(total));
  if (!out) return out;
  layout::InfoHeader h;
  h.width = width;
  h.height = height;
  h.bit_count = bits;
  layout::WriteInfoHeader(out->data(), h);
  uint8_t* pal = out->data() + kInfoHeaderSize;
  layout::CopyPaletteAs4(r, pal, colors);
  // Both forms share the row layout: the rows move as one run of bytes.
  const size_t offset = ImagePixelOffset(r);
  if (offset < r.size()) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(pixels, r.size() - offset));
    std::memcpy(pal + uint64_t{colors} * 4, r.data() + offset, n);
  }
  return out;
}

Result<ImageRecord> Expand8To24(const ImageRecord& r) {
  const uint16_t bits = ImageBitCount(r);
  if (bits != 1 && bits != 4 && bits != 8) return Fail(err::kUnexpected);
  if (!ImageIsCoreForm(r) && ImageCompression(r) != kBiRgb) return Fail(err::kUnexpected);
  const int32_t width = ImageWidth(r);
  const int32_t height = ImageHeight(r);
  const int64_t rows = std::abs(static_cast<int64_t>(height));
  if (!layout::ValidDimensions(width, rows)) return Fail(err::kCreateBitmap);

  // Indexes beyond the palette read as entry 0 rather than as whatever
  // follows the palette.
  const uint32_t colors = ImageColorCount(r);
  std::array<Rgb, 256> lut{};
  for (uint32_t i = 0; i < 256; ++i) lut[i] = ImagePaletteEntry(r, i < colors ? i : 0);

  auto out = ImageRecord::Create(width, static_cast<int32_t>(rows), 24);
  if (!out) return out;
  layout::InfoHeader h;
  h.width = width;
  h.height = height;  // a top-down record stays top-down
  h.bit_count = 24;
  h.x_pels_per_meter = layout::XPelsPerMeter(r);
  h.y_pels_per_meter = layout::YPelsPerMeter(r);
  layout::WriteInfoHeader(out->data(), h);

  const layout::RowReader in(r);
  const uint64_t out_stride = ImageRowStride(width, 24);
  uint8_t* dst_bits = out->data() + kInfoHeaderSize;
  const int shift_mask = bits == 8 ? 0 : (bits == 4 ? 1 : 7);  // pixels per byte - 1
  const int per_byte_log = bits == 8 ? 0 : (bits == 4 ? 1 : 3);
  for (int64_t y = 0; y < rows; ++y) {
    const std::span<const uint8_t> src = in.Row(y);
    uint8_t* dst = dst_bits + static_cast<uint64_t>(y) * out_stride;
    // Pixels whose bytes the block does not hold stay black.
    const int64_t present = std::min<int64_t>(width, static_cast<int64_t>(src.size()) << per_byte_log);
    for (int64_t x = 0; x < present; ++x) {
      uint8_t index;
      if (bits == 8) {
        index = src[static_cast<size_t>(x)];
      } else {
        const uint8_t byte = src[static_cast<size_t>(x >> per_byte_log)];
        const int slot = static_cast<int>(x & shift_mask);
        index = static_cast<uint8_t>((byte >> (8 - bits - slot * bits)) & ((1 << bits) - 1));
      }
      const Rgb c = lut[index];
      dst[3 * x] = c.blue;
      dst[3 * x + 1] = c.green;
      dst[3 * x + 2] = c.red;
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Conversion for writing.

namespace {

Result<Converted> FromDevice(const DeviceBitmapReader& from_device, int bits) {
  if (!from_device) return Fail(err::kCreateBitmap);
  auto r = from_device(bits);
  if (!r) return r.failure();
  return Converted::New(std::move(r).value());
}

Result<Converted> NewOrFail(Result<ImageRecord> r) {
  if (!r) return r.failure();
  return Converted::New(std::move(r).value());
}

// The 256-colour reduction, which must not hand back a 24-bit record as the
// result of an 8-bit conversion.
Result<Converted> Reduce(const ImageRecord& r) {
  auto reduced = ReduceTo256(r);
  if (!reduced) return reduced;
  if (reduced->same()) return Fail(err::kCreateBitmap);
  return reduced;
}

}  // namespace

Result<Converted> ConvertForSave(const ImageRecord& r, int target_bits,
                                 const DeviceBitmapReader& from_device) {
  if (target_bits != 8 && target_bits != 24) return Fail(err::kUnexpected);
  const bool to24 = target_bits == 24;
  const uint16_t bits = ImageBitCount(r);
  const bool core = ImageIsCoreForm(r);
  const uint32_t compression = ImageCompression(r);

  if (bits == 8) {
    if (core) {
      auto info = CoreToInfo(r);
      if (!info || !to24) return NewOrFail(std::move(info));
      return NewOrFail(Expand8To24(*info));  // the intermediate record goes here
    }
    switch (compression) {
      case kBiRgb: return to24 ? NewOrFail(Expand8To24(r)) : Converted::Same();
      case kBiRle8: return FromDevice(from_device, target_bits);
      default: return Fail(err::kCreateBitmap);
    }
  }
  if (bits == 24) {
    if (core) {
      auto info = CoreToInfo(r);
      if (!info || to24) return NewOrFail(std::move(info));
      return Reduce(*info);
    }
    if (compression != kBiRgb) return Fail(err::kCreateBitmap);
    return to24 ? Converted::Same() : Reduce(r);
  }
  return FromDevice(from_device, target_bits);
}

}  // namespace fq
