// The slide show's control panel "VIEWMENUDLG" ("Slide Show Menu"): a
// modeless dialog owned by the show window with six picture buttons (exit,
// pointer on/off, size mode, previous, play/pause, next); each sends its
// number to the show once the current picture has finished drawing.
#pragma once

#include <windows.h>

namespace fq::win {

// Opens the panel over the show; null when it cannot be made.
HWND OpenSlidePanel(HWND show);

}  // namespace fq::win
