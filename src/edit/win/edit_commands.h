// The image editing entry points for the frame: the text tool's state that
// is checked before every command, the drawing-tool window, and the edit
// commands on the active image.
#pragma once

#include <windows.h>

namespace fq::win {

// True while the text tool holds text that is not yet fixed.
bool TextToolHoldsText();
// The three answers to the fix question.
void FixToolText();
void FocusToolText();
void AbandonToolText();
// The drawing tools are told before a command runs and when the program is
// activated or deactivated.
void NotifyDrawingTools(HWND frame);

// Shows or hides the drawing-tool window.
void ShowToolWindow(HWND frame, bool show);

// Image Adjustment (170), Rotate (176, 177), Image Size (180) and Undo
// (178) on the active image window.
void EditCommand(HWND image_window, int command_id);

}  // namespace fq::win
