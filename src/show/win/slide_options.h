// The slide show's two commands from the frame's menu: Option (the
// "VIEWSETUP" dialog, kept in the settings file) and Start (an album
// chosen in an open dialog, then the show).
#pragma once

#include <windows.h>

namespace fq::win {

// The options dialog; OK stores Size, Speed and Type, Cancel nothing.
void RunSlideShowOptions(HWND frame);
// Asks for an album file and runs the show on it.
void RunSlideShowStart(HWND frame);

}  // namespace fq::win
