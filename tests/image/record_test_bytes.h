// Building image records byte by byte in tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "image/image_record.h"

namespace fq::test {

class Bytes {
 public:
  Bytes& u8(uint8_t v) {
    b_.push_back(v);
    return *this;
  }
  Bytes& u16(uint16_t v) { return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8)); }
  Bytes& u32(uint32_t v) { return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16)); }
  Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
  Bytes& raw(std::initializer_list<uint8_t> v) {
    b_.insert(b_.end(), v);
    return *this;
  }
  Bytes& zeros(size_t n) {
    b_.insert(b_.end(), n, 0);
    return *this;
  }
  // A 4-byte palette entry in stored order.
  Bytes& bgr0(uint8_t b, uint8_t g, uint8_t r) { return raw({b, g, r, 0}); }
  size_t size() const { return b_.size(); }
  ImageRecord record() const { return ImageRecord::Adopt(b_); }

 private:
  std::vector<uint8_t> b_;
};

// The 40 header bytes with the given fields, planes 1, resolutions as given.
inline Bytes InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                        uint32_t colors_used = 0, uint32_t image_size = 0, int32_t xppm = 0,
                        int32_t yppm = 0) {
  Bytes b;
  b.u32(40).i32(width).i32(height).u16(1).u16(bits).u32(compression).u32(image_size);
  b.i32(xppm).i32(yppm).u32(colors_used).u32(0);
  return b;
}

inline Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits) {
  Bytes b;
  b.u32(12).u16(width).u16(height).u16(1).u16(bits);
  return b;
}

// Pixel (x, y) of an uncompressed 24-bit record, y in stored order.
inline Rgb Pixel24(const ImageRecord& r, int x, int y) {
  const uint8_t* p = ImageBits(r) + static_cast<size_t>(y) * ImageRowStride(ImageWidth(r), 24) + 3 * x;
  return Rgb{p[0], p[1], p[2]};
}

// Stored row y of a record as bytes (the whole stride).
inline std::vector<uint8_t> RowBytes(const ImageRecord& r, int y) {
  const uint64_t stride = ImageRowStride(ImageWidth(r), ImageBitCount(r));
  const uint8_t* p = ImageBits(r) + static_cast<size_t>(y) * stride;
  return std::vector<uint8_t>(p, p + stride);
}

}  // namespace fq::test
