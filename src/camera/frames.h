// The camera's two frame formats, built and taken apart byte by byte.
//
// Marker frame: 12-byte text marker, data length (4 bytes, most significant
// first), command or reply code, data.
// Sequenced frame: kind (8, 16 or 1), sequence number, its complement,
// command or reply code, a fixed data area (10, 256 or 1024 bytes, zero
// filled), an additive checksum over bytes 1 up to the end of the data
// area, a final 0. Numbers inside sequenced data are least significant
// byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fq::cam {

inline constexpr size_t kLinkBufferSize = 3000;
inline constexpr std::string_view kMarkerToCamera = "ORX DSC PC  ";
inline constexpr std::string_view kMarkerFromCamera = "ORX PC  DSC ";
inline constexpr size_t kMarkerTextSize = 12;
inline constexpr size_t kMarkerHeaderSize = 17;
inline constexpr size_t kMarkerLengthOffset = 12;
inline constexpr size_t kMarkerCodeOffset = 16;
// Data bytes of a marker reply kept in the receive buffer (all but the
// header of 256 bytes); more are left in the driver and purged.
inline constexpr size_t kMarkerReplyLimit = 239;
// Picture blocks: 1024 bytes each, in both formats.
inline constexpr size_t kBlockSize = 1024;

namespace kind {
inline constexpr uint8_t kShort = 8;    // 16 bytes, 10 data bytes
inline constexpr uint8_t kMedium = 16;  // 262 bytes, 256 data bytes
inline constexpr uint8_t kLong = 1;     // 1030 bytes, 1024 data bytes
}  // namespace kind

inline constexpr size_t kSequencedHeaderSize = 4;
inline constexpr size_t kSequencedDataOffset = 4;

// Total length and data area size of a sequenced frame kind; 0 for a byte
// that is not a kind.
size_t SequencedLength(uint8_t kind);
size_t SequencedDataSize(uint8_t kind);

// Whether the first four bytes of a sequenced frame look like a header:
// a known kind and a sequence byte followed by its complement.
bool PlausibleSequencedHeader(const uint8_t* four);

// Sum of bytes 1 to the end of the data area, modulo 256.
uint8_t SequencedChecksum(const uint8_t* frame, uint8_t kind);

// Writes a marker frame header and data into `out` (room for 17 + n
// bytes). `length` is the length written into the header; normally n, but
// the picture upload header announces the picture that follows separately.
// Returns the bytes written.
size_t BuildMarkerFrame(uint8_t* out, size_t room, uint8_t command, uint32_t length,
                        const uint8_t* data, size_t n);

// Writes a whole sequenced frame of `kind`; data beyond the data area is
// not copied. Returns the frame length (0 for an unknown kind or too
// little room).
size_t BuildSequencedFrame(uint8_t* out, size_t room, uint8_t kind, uint8_t sequence,
                           uint8_t command, const uint8_t* data, size_t n);

// Byte order helpers for the two formats.
inline uint32_t GetBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline void PutBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline uint16_t GetLittle16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLittle32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline void PutLittle16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLittle32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace fq::cam
