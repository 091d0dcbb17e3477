// The picture of a cell: the stored thumbnail and the 96 × 72 bitmap drawn
// in the cell, made from any picture by the cell's thumbnail rule.
#pragma once

#include <windows.h>

#include "base/messages.h"
#include "base/win/gdi.h"
#include "image/image_record.h"

namespace fq::win {

struct CellPicture {
  ImageRecord thumbnail;
  Bitmap display;
  Palette palette;
};

// Palette and full-colour pictures without compression are subsampled and
// the bitmap drawn from the result; any other picture is stretched into the
// bitmap by the system and the bitmap read back as the thumbnail. The
// bitmap is filled with the button-face colour around the picture.
// Failures: kCreateBitmap, kMemory.
Result<CellPicture> MakeCellPicture(const ImageRecord& source);

}  // namespace fq::win
