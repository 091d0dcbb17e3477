// Hand-built Exif segments for the tests: a TIFF structure in either byte
// order laid out at explicit offsets, wrapped into an APP1 segment.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace fq::testing {

class TiffBytes {
 public:
  explicit TiffBytes(bool big, size_t size = 512) : big_(big), b_(size, 0) {
    b_[0] = b_[1] = big ? 'M' : 'I';
    P16(2, 42);
    P32(4, 8);  // IFD0
  }
  void P16(size_t at, uint32_t v) { Put(at, v, 2); }
  void P32(size_t at, uint32_t v) { Put(at, v, 4); }
  // An IFD header: the entry count, and the next-IFD offset after n entries.
  void Ifd(size_t at, uint16_t n, uint32_t next) {
    P16(at, n);
    P32(at + 2 + 12u * n, next);
  }
  // Entry i of the IFD at `ifd`; SHORT values go in the first two bytes.
  void Entry(size_t ifd, int i, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    const size_t e = ifd + 2 + 12u * i;
    P16(e, tag);
    P16(e + 2, type);
    P32(e + 4, count);
    if (type == 3 && count == 1) P16(e + 8, value);
    else P32(e + 8, value);
  }
  // Raw bytes of an entry's value field (texts of up to 4 bytes).
  void EntryBytes(size_t ifd, int i, std::string_view bytes) {
    std::memcpy(&b_[ifd + 2 + 12u * i + 8], bytes.data(), bytes.size());
  }
  void Text(size_t at, std::string_view s) { std::memcpy(&b_[at], s.data(), s.size()); }
  std::vector<uint8_t>& bytes() { return b_; }

  // FF E1, length, "Exif\0\0", then the TIFF bytes.
  std::vector<uint8_t> Segment() const {
    std::vector<uint8_t> s = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    s.insert(s.end(), b_.begin(), b_.end());
    const size_t length = s.size() - 2;
    s[2] = static_cast<uint8_t>(length >> 8);
    s[3] = static_cast<uint8_t>(length);
    return s;
  }

 private:
  void Put(size_t at, uint32_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) b_[at + i] = static_cast<uint8_t>(v >> (8 * (big_ ? n - 1 - i : i)));
  }
  bool big_;
  std::vector<uint8_t> b_;
};

// A JPEG with `segments` inserted right after its SOI.
inline std::vector<uint8_t> WithSegments(const std::vector<uint8_t>& jpeg,
                                         const std::vector<std::vector<uint8_t>>& segments) {
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  for (const auto& s : segments) out.insert(out.end(), s.begin(), s.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// A plain APPn segment with the given body.
inline std::vector<uint8_t> AppSegment(uint8_t marker, std::string_view body) {
  const size_t length = body.size() + 2;
  std::vector<uint8_t> s = {0xFF, marker, static_cast<uint8_t>(length >> 8),
                            static_cast<uint8_t>(length)};
  s.insert(s.end(), body.begin(), body.end());
  return s;
}

}  // namespace fq::testing
