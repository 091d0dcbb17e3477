// The frame window: the program's top-level window, class ORXDscFrame, with
// its MDI client, toolbar and status bar.
#pragma once

#include <windows.h>

#include "base/win/frame_link.h"  // FrameWindow()

namespace fq::win {

inline constexpr char kFrameClass[] = "ORXDscFrame";
inline constexpr char kFrameClassMenu[] = "ORXDscMenu";

// Registers the frame class. False when the system refuses.
bool RegisterFrameClass(HINSTANCE instance);
// Creates the frame window (not yet shown) with `menu` as its menu bar
// (popup 4 becomes the MDI window menu); nullptr on failure.
HWND CreateFrameWindow(HINSTANCE instance, HMENU menu = nullptr);

}  // namespace fq::win
