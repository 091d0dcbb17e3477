// The frame's children: toolbar, status bar and MDI client, made when the
// frame is created as the settings ask, switched on and off by the Window
// menu, and laid out when the frame changes size.
#pragma once

#include <windows.h>

namespace fq::win {

// The frame's creation steps; false when the MDI client cannot be made
// (the frame's creation then fails).
bool CreateFrameChildren(HWND frame);

// The Window menu's "Toolbar On/Off" and "Statusbar On/Off": create or
// destroy the bar, set the check mark and the switch, lay the frame out.
void SetToolbarShown(HWND frame, bool on);
void SetStatusBarShown(HWND frame, bool on);

// Bars resized, status-bar parts set, the MDI client placed between them
// and its icons arranged.
void LayoutFrame(HWND frame);

}  // namespace fq::win
