// Printing and screen capture entry points for the frame.
#pragma once

#include <windows.h>

#include "output/win/capture.h"

namespace fq::win {

// Print (102) for the active image, calendar or album window.
void PrintCommand(HWND frame, HWND document_window);
void PrintSetupCommand(HWND frame);

}  // namespace fq::win
