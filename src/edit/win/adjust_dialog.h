// Image Adjustment (170): the dialog with its sliders, the automatic
// values and the before/after previews, then the change of the whole
// picture of the image window.
#pragma once

#include <windows.h>

namespace fq::win {

// Pictures below 16 bits per pixel are refused with "This image is not
// full color.".
void AdjustImageCommand(HWND image_window);

}  // namespace fq::win
