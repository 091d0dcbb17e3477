// Printing and screen capture entry points for the frame. Not built yet:
// the commands show the not-available notice.
#pragma once

#include <windows.h>

namespace fq::win {

// Print (102) for the active image or album window.
void PrintCommand(HWND frame, HWND document_window);
void PrintSetupCommand(HWND frame);
// Display (182) or window (183) capture.
void CaptureCommand(HWND frame, int command_id);
// The captured picture is on the clipboard (the frame's private message).
void CapturedPictureArrived(HWND frame);

}  // namespace fq::win
