// The drawing tools as the image window meets them: the tool window comes
// with the first image window, the window hands its mouse and key messages
// to the tools while one other than select is current or a text is placed,
// and it lets them paint the placed text and the strokes not yet fixed.
#pragma once

#include <windows.h>

namespace fq::win {

// An image window was made: the tool window exists from now on and shows
// while the user wants it.
void DrawingToolsWindowCreated(HWND image_window);
// An image window is being destroyed: a text or strokes it held are
// dropped; with no image window left the tool window hides.
void DrawingToolsWindowGone(HWND image_window);

// A message of the image window the tools take: true when they did, with
// the window procedure's answer in `result`.
bool DrawingToolMessage(HWND image_window, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

// Paints what the tools hold over the picture just drawn: strokes not yet
// fixed and the placed text with its dotted frame.
void PaintDrawingTools(HWND image_window, HDC dc);

// Whether the tool window is shown (tests).
HWND ToolWindow();

}  // namespace fq::win
