// Printing the active window: an image or calendar window on one sheet, an
// album several pictures to a sheet.
#pragma once

#include <windows.h>

#include "base/settings.h"

namespace fq::win {

// One picture, or the calendar page drawn again at the printer's
// resolution. Error 42 when `window` shows neither.
void PrintImageDocument(HWND frame, HWND window, const settings::PrintOptions& options);

// The album's pictures (all, or the ticked ones) in the chosen layout; a
// picture that cannot be loaded leaves its cell empty.
void PrintAlbum(HWND frame, HWND album, const settings::PrintOptions& options);

}  // namespace fq::win
