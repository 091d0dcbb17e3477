// The frame window: the program's top-level window, class ORXDscFrame.
#pragma once

#include <windows.h>

namespace fq::win {

inline constexpr char kFrameClass[] = "ORXDscFrame";
inline constexpr char kFrameClassMenu[] = "ORXDscMenu";

// Registers the frame class. False when the system refuses.
bool RegisterFrameClass(HINSTANCE instance);
// Creates the frame window (not yet shown); nullptr on failure.
HWND CreateFrameWindow(HINSTANCE instance);
// The frame window of this process, or nullptr before it exists and after
// it is destroyed.
HWND FrameWindow();

}  // namespace fq::win
