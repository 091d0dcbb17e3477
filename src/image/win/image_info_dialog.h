// The Image Information dialog ("EXIF_DIALOG_US", "_EU", "_JAPAN"): the
// file's name and location, the camera's make and model, the dates and the
// picture size, read-only.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

// Shows the dialog for the picture file of an image window.
void ShowImageInformation(HWND window);
// Shows the dialog for a picture file named by path (an album's selected
// picture), owned by `owner`.
void ShowImageInformationFor(HWND owner, const std::string& path);

}  // namespace fq::win
