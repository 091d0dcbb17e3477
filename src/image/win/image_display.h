// Showing image records on the display: the display palette, the device
// bitmap, the palette-display copy, stretched drawing, the fitted preview of
// a bitmap file, and the way back from a device bitmap to a record.
// Failures come back as error indexes; the caller shows them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"
#include "base/win/gdi.h"

namespace fq::win {

// Colours a palette display can show at once for a raster capability and a
// bit depth: 0 (not a palette display, or more than 8 bits), 2, 16 or 256.
int ColorCapacityFor(bool palette_device, int bits_per_pixel);
// The same, measured on the window's display.
int DisplayColorCapacity(HWND window);

// The record to build the display palette and device bitmap from: on a
// 256-colour palette display a 24-bit record is shown through its 256-colour
// reduction (a new record); otherwise Same. The display is measured on the
// first call only. Failure: kMemory.
Result<Converted> MakeDisplayCopy(HWND window, const ImageRecord& record);

// The logical palette of the record's colour table; an empty Palette (no
// failure) when the record has no colour table. Failures: kUnexpected for a
// record whose colour table lies outside its block, kMemory.
Result<Palette> CreateImagePalette(const ImageRecord& record);

// A device-dependent bitmap of the record for the window's display, made
// with `palette` (may be null) selected and realised. Failure: kCreateBitmap.
Result<Bitmap> CreateDeviceBitmap(HWND window, const ImageRecord& record, HPALETTE palette);

// Draws the `source` rectangle of the record (picture coordinates, top row
// 0) stretched into `dest`, dropping eliminated rows and columns. False when
// the record cannot be drawn or the system refused.
bool StretchDrawImage(HDC dc, const ImageRecord& record, const RECT& dest, const RECT& source);

// One stretch call of a fitted drawing.
struct FittedPiece {
  RECT dest;
  RECT source;  // picture coordinates, top row 0
};
// The pieces that draw a width × height picture fitted into `box` less a
// 10-pixel margin, centred: horizontal strips of at most 256 source rows
// (the last strip takes the rest), each in a left and a right half.
std::vector<FittedPiece> PlanFittedDraw(int width, int height, const RECT& box);

// Reads a bitmap file and draws it fitted into `box` (the open dialog's
// preview). Failures: those of reading the file, kMemory, kCreateBitmap.
Status DrawBitmapFileFitted(HDC dc, const std::string& path, const RECT& box);

// A record made from a device bitmap, read with `palette` (may be null)
// selected into the screen's device context. `bits` 0 takes the bitmap's
// own depth; the depth is rounded up to 1, 4, 8 or 24. Failures: kGetBitmap
// (no bitmap), kMemory, kCreateBitmap (the pixels could not be read).
Result<ImageRecord> ImageFromDeviceBitmap(HBITMAP bitmap, HPALETTE palette, uint32_t compression,
                                          int bits);

}  // namespace fq::win
