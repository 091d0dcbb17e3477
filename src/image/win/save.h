// Save and Save As of an image window: the Save As dialog with its five
// picture types, and writing the picture as JPEG (three qualities) or BMP
// (full colour or 256 colours). A file that is replaced is written beside it
// first, so a failed save leaves it as it was and the window modified.
#pragma once

#include <windows.h>

namespace fq::win {

// Save (save_as false) and Save As; true when the picture was saved.
bool SaveImageDocument(HWND window, bool save_as);

}  // namespace fq::win
