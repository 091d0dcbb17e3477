// The image record: one packed device-independent bitmap in one block —
// header (40-byte form, or the 12-byte core form on input), palette, pixel
// rows bottom-up padded to 4 bytes. The record is also a storage format
// (BMP, album and calendar files), so every byte of it is read and written
// explicitly, little-endian.
//
// Ownership: an ImageRecord owns its block. Operations that may leave their
// input unchanged return a Converted, which is either "same" (keep using the
// input) or a new record owned by the caller; this is the copy-and-compare
// rule of a handle-based design with the freeing done by RAII.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/bytes.h"
#include "base/messages.h"

namespace fq {

inline constexpr uint32_t kInfoHeaderSize = 40;
inline constexpr uint32_t kCoreHeaderSize = 12;

// Compression field values.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;  // also what ImageCompression reports for the core form

// Largest width or height accepted anywhere a picture enters the program.
inline constexpr int64_t kMaxImageDimension = 65535;
// Largest block ever allocated for a record: the biggest legal picture
// (65535 × 65535 at 32 bits) fits, anything beyond is refused before
// allocating. Bounded by what the address space can index.
inline constexpr uint64_t kMaxImageBlockBytes =
    static_cast<uint64_t>(PTRDIFF_MAX) < (uint64_t{1} << 35) ? static_cast<uint64_t>(PTRDIFF_MAX)
                                                              : (uint64_t{1} << 35);

struct Rgb {
  uint8_t blue = 0, green = 0, red = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class ImageRecord {
 public:
  ImageRecord() = default;  // no record
  ImageRecord(ImageRecord&&) noexcept = default;
  ImageRecord& operator=(ImageRecord&&) noexcept = default;
  ImageRecord(const ImageRecord&) = delete;  // copies are explicit: Clone()
  ImageRecord& operator=(const ImageRecord&) = delete;

  // A zero-filled block of `bytes`. Failure: kMemory (also above
  // kMaxImageBlockBytes).
  static Result<ImageRecord> Allocate(size_t bytes);
  // Takes over existing bytes as a block (no validation).
  static ImageRecord Adopt(std::vector<uint8_t> bytes);
  // A new uncompressed record with a 40-byte header: the given size and bit
  // count, `colors` palette entries (0: the default for the bit count), the
  // palette and pixels zero. The colours-used field holds `colors` as given;
  // the image-size field holds row stride × height. Bit counts 1, 4, 8, 16,
  // 24 and 32; width and height 1..kMaxImageDimension; colors <= 256.
  // Failure: kMemory (also for absurd sizes).
  static Result<ImageRecord> Create(int32_t width, int32_t height, uint16_t bit_count,
                                    uint32_t colors = 0);
  Result<ImageRecord> Clone() const;

  bool empty() const { return bytes_.empty(); }
  size_t size() const { return bytes_.size(); }  // the whole block
  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }
  std::span<uint8_t> bytes() { return bytes_; }
  std::span<const uint8_t> bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() && { return std::move(bytes_); }
  // Grows or shrinks the block, zero-filling new bytes. Failure: kMemory.
  Status Resize(size_t bytes);

 private:
  std::vector<uint8_t> bytes_;
};

// Header accessors, for both header forms. They never read past the block:
// a block too small for its header reads as 0 everywhere. Header sizes of
// 40 and more (the later, longer headers begin with the same 40 bytes) read
// as the 40-byte form, 12 as the core form; any other size reads as 0.
uint32_t ImageHeaderSize(const ImageRecord& r);
bool ImageIsCoreForm(const ImageRecord& r);
bool ImageIsInfoForm(const ImageRecord& r);
int32_t ImageWidth(const ImageRecord& r);
int32_t ImageHeight(const ImageRecord& r);
uint16_t ImageBitCount(const ImageRecord& r);
// The compression field; kBiBitfields (3) for the core form, read by callers
// as "convert from the core form first".
uint32_t ImageCompression(const ImageRecord& r);
uint32_t ImageColorCount(const ImageRecord& r);
size_t ImagePaletteBytes(const ImageRecord& r);
// The three colour masks that follow a 40-byte header with compression 3 at
// 16 or 32 bits (12 bytes); 0 for every other record. Longer headers hold
// their masks inside the header.
size_t ImageMaskBytes(const ImageRecord& r);
// Header + masks + palette; 0 when the header is unusable. Saturates
// instead of overflowing for absurd colour counts.
size_t ImagePixelOffset(const ImageRecord& r);
// Bytes per stored row: ((width × bits + 31) / 32) × 4, computed in 64 bits.
uint64_t ImageRowStride(int64_t width, int bit_count);
// First (bottom) pixel row, or nullptr when the block does not reach it.
uint8_t* ImageBits(ImageRecord& r);
const uint8_t* ImageBits(const ImageRecord& r);
// True when the block holds header, palette and every uncompressed row.
bool ImageHasAllRows(const ImageRecord& r);
// Palette entry i (40-byte form: 4 bytes; core form: 3 bytes); black when
// i is not below the colour count or the entry lies past the block.
Rgb ImagePaletteEntry(const ImageRecord& r, uint32_t i);

// Either the input unchanged or a new record.
class Converted {
 public:
  static Converted Same() { return Converted(); }
  static Converted New(ImageRecord r) { return Converted(std::move(r)); }
  bool same() const { return record_.empty(); }
  ImageRecord& record() { return record_; }
  // The record to use from now on: the new one, or `input` when unchanged.
  const ImageRecord& Or(const ImageRecord& input) const { return same() ? input : record_; }
  // Replaces `target` with the new record when there is one.
  void ApplyTo(ImageRecord& target) {
    if (!same()) target = std::move(record_);
  }

 private:
  Converted() = default;
  explicit Converted(ImageRecord r) : record_(std::move(r)) {}
  ImageRecord record_;
};

// Conversions. None changes or frees its input. Pixel bytes a short block
// does not hold read as zero. Width and height outside
// 1..kMaxImageDimension fail with kCreateBitmap.

// Core form (12-byte header, 3-byte palette entries) to the 40-byte form.
// Failure: kUnexpected for a record not in the core form, kMemory.
Result<ImageRecord> CoreToInfo(const ImageRecord& r);
// A palette picture (8 bits; 1 and 4 bits are accepted too) to 24 bits.
// Indexes not below the colour count read as index 0. Failure: kUnexpected
// for a record without a palette or with compression, kMemory.
Result<ImageRecord> Expand8To24(const ImageRecord& r);
// To compression 0: run-length 8 and 4 bits decoded (same bit count and
// palette); 16 bits (5-6-5 or 5-5-5 masks, or compression 0 meaning 5-5-5)
// and 32 bits (compression 0, or standard 8-8-8 masks) to 24 bits; every
// other record, the core form included, is returned as Same.
// Failure: kMemory, kCreateBitmap (unusable size).
Result<Converted> NormalizeImage(const ImageRecord& r);
// A new 24-bit record of the given size by bilinear interpolation; palette,
// core-form, run-length and mask pictures are converted first.
// Failure: kCreateBitmap (bad size or a form that cannot be converted), kMemory.
Result<ImageRecord> ResampleBilinear(const ImageRecord& source, int32_t width, int32_t height);

// Supplies a record made from the window's device bitmap at the given bit
// count (8 or 24); provided by the window layer. An empty function fails
// with kCreateBitmap.
using DeviceBitmapReader = std::function<Result<ImageRecord>(int bits)>;
// A record at 24 or 8 bits (target_bits) for writing; a result that cannot
// reach the target bit count is a failure (kCreateBitmap), never Same.
Result<Converted> ConvertForSave(const ImageRecord& r, int target_bits,
                                 const DeviceBitmapReader& from_device = {});

}  // namespace fq
