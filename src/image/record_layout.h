// Helpers shared by the image record's conversions: writing a 40-byte
// header and reading pixel rows of a record that may be shorter than its
// header promises.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_record.h"

namespace fq::layout {

struct InfoHeader {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bit_count = 0;
  uint32_t compression = kBiRgb;
  uint32_t image_size = 0;
  int32_t x_pels_per_meter = 0;
  int32_t y_pels_per_meter = 0;
  uint32_t colors_used = 0;
  uint32_t colors_important = 0;
};

// Writes the 40 header bytes at p.
void WriteInfoHeader(uint8_t* p, const InfoHeader& h);

// Resolution fields of the 40-byte form (0 for the core form).
int32_t XPelsPerMeter(const ImageRecord& r);
int32_t YPelsPerMeter(const ImageRecord& r);

bool ValidDimensions(int64_t width, int64_t height);

// Writes the first `colors` palette entries of `r` (either header form) as
// 4-byte entries (blue, green, red, 0) at `dest`.
void CopyPaletteAs4(const ImageRecord& r, uint8_t* dest, uint32_t colors);

// Pixel rows of a record as far as its block holds them.
class RowReader {
 public:
  // Rows start at the record's pixel offset; `rows` is |height|.
  explicit RowReader(const ImageRecord& r);
  uint64_t stride() const { return stride_; }
  int64_t rows() const { return rows_; }
  // Row y (stored order) clipped to the block: fewer than stride() bytes,
  // or none, when the block ends early.
  std::span<const uint8_t> Row(int64_t y) const {
    if (offset_ == 0 || y < 0 || y >= rows_) return {};
    const uint64_t start = offset_ + static_cast<uint64_t>(y) * stride_;
    if (start >= size_) return {};
    return {base_ + start, static_cast<size_t>(std::min<uint64_t>(stride_, size_ - start))};
  }

 private:
  const uint8_t* base_ = nullptr;
  uint64_t size_ = 0;
  uint64_t offset_ = 0;
  uint64_t stride_ = 0;
  int64_t rows_ = 0;
};

}  // namespace fq::layout
