// The Image Information dialog ("EXIF_DIALOG_US", "_EU", "_JAPAN"): the
// file's name and location, the camera's make and model, the dates and the
// picture size, read-only.
#pragma once

#include <windows.h>

namespace fq::win {

// Shows the dialog for the picture file of an image window.
void ShowImageInformation(HWND window);

}  // namespace fq::win
