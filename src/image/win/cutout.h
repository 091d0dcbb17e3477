// Image Cutout (179): the selected rectangle of an image window copied
// into a new "Untitled %d" window.
#pragma once

#include <windows.h>

namespace fq::win {

// Nothing happens without a selection, or when the selection snaps to an
// empty rectangle at the window's zoom.
void CutOutSelection(HWND image_window);

}  // namespace fq::win
