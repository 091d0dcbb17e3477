// Reduction of a full-colour picture to 256 colours (popularity with
// coverage), for "256 Color BMP" and for palette displays.
#pragma once

#include "base/messages.h"
#include "image/image_record.h"

namespace fq {

// 13-bit colour key: 4 bits red, 5 bits green, 4 bits blue.
inline constexpr uint16_t ColorKey(uint8_t b, uint8_t g, uint8_t r) {
  return static_cast<uint16_t>((r >> 4) | ((g >> 3) << 4) | ((b >> 4) << 9));
}

// An uncompressed 24-bit record becomes a new 8-bit record; any other record
// is returned as Same. Running out of memory is a failure (kMemory), never a
// silent "same", so a 256-colour save cannot quietly write 24 bits.
Result<Converted> ReduceTo256(const ImageRecord& r);

}  // namespace fq
