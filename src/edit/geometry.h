// The geometric edits of a picture: quarter turns, size change and the
// cut-out rectangle. Every one works on the plain form (Workable) and makes
// a new record; none changes its input.
#pragma once

#include <cstdint>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::edit {

// The form every edit works on: a 40-byte header, no compression, rows
// bottom-up and all present, 1, 4, 8 or 24 bits. The core form, run-length
// rows, colour masks (16 and 32 bits go to 24, whatever their masks) and
// top-down rows (taken in their real order) are converted; a record already
// in that form is Same. Failures: kMemory, kCreateBitmap (a size or form
// that cannot be converted).
Result<Converted> Workable(const ImageRecord& r);

// Bit counts the turns and the size change accept: 1, 4, 8 and 16 or more.
bool CanTurnOrResize(int bit_count);

// A quarter turn: right is clockwise on screen, left counter-clockwise.
// Width and height change places; the header is kept otherwise (its image
// size set to the new rows), the palette copied, rows padded with zeros.
enum class Turn { kRight, kLeft };
Result<ImageRecord> RotateQuarter(const ImageRecord& r, Turn turn);

// A new picture of `width` × `height`: bilinear at more than 15 bits (the
// result is 24 bits), nearest neighbour with the palette kept at 1, 4 and 8
// bits. Failures: kMemory, kCreateBitmap.
Result<ImageRecord> ResizePicture(const ImageRecord& r, int32_t width, int32_t height);

// The rectangle a cut-out copies, in picture pixels (top row 0), from the
// selection's corners as dragged (picture coordinates) at a zoom in
// quarters: at 25 % and 50 % it snaps to whole multiples of 4 or 2 pixels.
// The width or height may come out 0: then nothing is cut out.
struct CutRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const CutRect&, const CutRect&) = default;
};
CutRect SnapCutout(int x0, int y0, int x1, int y1, int zoom, int picture_width,
                   int picture_height);

// The pixels of a rectangle (top row 0) of a 1, 4, 8 or 24-bit picture as a
// new picture with the same palette; exactly the selected pixels, also at 1
// and 4 bits. Failures: kMemory, kCreateBitmap (empty or outside).
Result<ImageRecord> CopyRectangle(const ImageRecord& r, int left, int top, int width, int height);

}  // namespace fq::edit
