// Screen capture on the frame: the dialog, the countdown the frame's
// one-second timer drives, the direct copy of the screen, and on palette
// displays the system's own screen copy through the clipboard.
#pragma once

#include <windows.h>

namespace fq::win {

// Display (182) or window (183) capture: the "Capture" dialog; on OK its
// keys are written, the capture commands greyed and the frame minimised
// when asked. True when the countdown started: the frame then ticks
// CaptureTick once a second.
bool CaptureCommand(HWND frame, int command_id);
// One second passed; true when the capture is due (the frame stops its
// timer and calls TakeCapture).
bool CaptureTick(HWND frame);
// Takes the picture. True on the palette road: the frame waits a second
// and then sends itself the message that calls CapturedPictureArrived.
bool TakeCapture(HWND frame);
void CapturedPictureArrived(HWND frame);
// The frame goes away: a countdown stops, a clipboard set aside comes back.
void CaptureFrameClosing(HWND frame);

}  // namespace fq::win
