#include "camera/frames.h"

#include <algorithm>
#include <cstring>

namespace fq::cam {

size_t SequencedLength(uint8_t k) {
  switch (k) {
    case kind::kShort: return 16;
    case kind::kMedium: return 262;
    case kind::kLong: return 1030;
    default: return 0;
  }
}

size_t SequencedDataSize(uint8_t k) {
  size_t n = SequencedLength(k);
  return n ? n - 6 : 0;
}

bool PlausibleSequencedHeader(const uint8_t* four) {
  return SequencedLength(four[0]) != 0 && four[1] == static_cast<uint8_t>(~four[2]);
}

uint8_t SequencedChecksum(const uint8_t* frame, uint8_t k) {
  size_t end = kSequencedDataOffset + SequencedDataSize(k);  // one past the data area
  unsigned sum = 0;
  for (size_t i = 1; i < end; ++i) sum += frame[i];
  return static_cast<uint8_t>(sum);
}

size_t BuildMarkerFrame(uint8_t* out, size_t room, uint8_t command, uint32_t length,
                        const uint8_t* data, size_t n) {
  if (room < kMarkerHeaderSize + n) return 0;
  std::memcpy(out, kMarkerToCamera.data(), kMarkerTextSize);
  PutBigEndian32(out + kMarkerLengthOffset, length);
  out[kMarkerCodeOffset] = command;
  if (n) std::memcpy(out + kMarkerHeaderSize, data, n);
  return kMarkerHeaderSize + n;
}

size_t BuildSequencedFrame(uint8_t* out, size_t room, uint8_t k, uint8_t sequence,
                           uint8_t command, const uint8_t* data, size_t n) {
  size_t total = SequencedLength(k);
  if (total == 0 || room < total) return 0;
  size_t area = SequencedDataSize(k);
  out[0] = k;
  out[1] = sequence;
  out[2] = static_cast<uint8_t>(~sequence);
  out[3] = command;
  size_t copied = std::min(n, area);
  if (copied) std::memcpy(out + kSequencedDataOffset, data, copied);
  std::memset(out + kSequencedDataOffset + copied, 0, area - copied);
  out[kSequencedDataOffset + area] = SequencedChecksum(out, k);
  out[kSequencedDataOffset + area + 1] = 0;
  return total;
}

}  // namespace fq::cam
