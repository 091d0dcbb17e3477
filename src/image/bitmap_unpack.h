// Pixel forms that only come from files — 1 and 4 bits, 16 and 32 bits with
// colour masks — turned into the program's own 8 and 24-bit forms in
// software. The window layer gets the same result from a device bitmap; the
// command-line tool and the tests have none, so they use these.
#pragma once

#include <cstdint>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq {

struct ColorMasks {
  uint32_t red = 0, green = 0, blue = 0;
  friend bool operator==(const ColorMasks&, const ColorMasks&) = default;
};
inline constexpr ColorMasks kMasks555{0x7C00, 0x03E0, 0x001F};
inline constexpr ColorMasks kMasks565{0xF800, 0x07E0, 0x001F};
inline constexpr ColorMasks kMasks888{0x00FF0000, 0x0000FF00, 0x000000FF};

// One channel of a masked pixel widened to 8 bits by repeating its top bits
// (a 4-bit 15 becomes 255); channels wider than 8 bits keep their top 8.
// Used for the masks normalisation does not know.
uint8_t MaskedChannel(uint32_t pixel, uint32_t mask);

// A new 24-bit record (compression 0) from the rows of an uncompressed 16 or
// 32-bit record read with the given masks; the record's compression field is
// not looked at. Failures: kMemory, kUnexpected (not 16/32 bits or rows missing).
Result<ImageRecord> UnpackMaskedTo24(const ImageRecord& r, const ColorMasks& masks);

// A new 24-bit record from any uncompressed 40-byte-form record: palette
// pixels (1, 4, 8 bits; indexes beyond the palette are black), 24 bits
// copied, 16 and 32 bits through NormalizeImage (standard masks only).
// Failures: kMemory, kCreateBitmap (compressed or odd form), kUnexpected
// (rows missing).
Result<ImageRecord> UnpackTo24(const ImageRecord& r);

// The record at 8 or 24 bits, as a device bitmap of that depth would give it:
// 24 → UnpackTo24; 8 → 1 and 4-bit pictures widened with their palette,
// 8-bit pictures copied, deeper ones unpacked and reduced to 256 colours.
// Usable as the DeviceBitmapReader of ConvertForSave.
Result<ImageRecord> RenderAtDepth(const ImageRecord& r, int bits);

}  // namespace fq
