// A movie frame as the video library hands it over — a packed
// device-independent bitmap (header, masks, colour table, pixel rows) whose
// length nobody states — turned into an image record the rest of the
// program can use: 40-byte header, bottom-up rows, 24 bits for 16- and
// 32-bit frames.
//
// The header comes from a decoder, so every size in it is outside data: the
// layout is computed from it in 64 bits and checked before a single pixel is
// copied, and only the bytes the layout names are ever read.
#pragma once

#include <cstdint>
#include <span>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::show {

// Where the parts of a packed frame lie, from the start of its header.
struct FrameLayout {
  uint32_t header_bytes = 0;   // 40, or a longer header that begins like it
  uint32_t mask_bytes = 0;     // 12 after a 40-byte header with bit-field masks
  uint32_t colors = 0;         // colour table entries in the frame
  uint64_t palette_bytes = 0;  // colors × 4
  uint64_t pixel_bytes = 0;    // every row (uncompressed) or the stated image size
  uint64_t total = 0;          // all of it: the bytes to copy
  int32_t width = 0;
  int32_t rows = 0;            // |height|
  bool top_down = false;       // negative height: the first row is the top one
  uint16_t bit_count = 0;
  uint32_t compression = 0;
};

// Reads the layout from the first bytes of a frame (at least 40). Failure
// kCreateBitmap for a header that cannot describe a picture: a header size
// below 40, width or height 0 or beyond kMaxImageDimension, a bit count other
// than 1, 4, 8, 16, 24 and 32, a colour count above what the bit count
// allows (above 256 for the deep ones), masks with other than 16 or 32 bits,
// run-length coding without an image size or with a top-down height, or a
// total beyond kMaxImageBlockBytes.
Result<FrameLayout> MeasureFrame(std::span<const uint8_t> header);

// Copies a packed frame of `layout.total` bytes (at least) into a new record
// and makes it one of the forms the program draws and stores: rows
// bottom-up, run-length frames decoded, 16- and 32-bit frames widened to 24
// bits (a colour table of a deep frame is dropped). Failures: kCreateBitmap
// (a layout that does not fit the bytes or a form that cannot be
// converted), kMemory.
Result<ImageRecord> PictureFromFrame(std::span<const uint8_t> frame);

}  // namespace fq::show
