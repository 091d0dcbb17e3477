// Image Size (180) with its dialog, Rotate Right and Left (176, 177) on an
// image window's picture.
#pragma once

#include <windows.h>

namespace fq::win {

// The Image Size dialog, then ResizeImage. Bit counts other than 1, 4, 8
// and 16 or more are refused with "The size of this image cannot be
// changed.".
void ImageSizeCommand(HWND window);

// The picture resampled to width × height and shown at 100 %; an undoable
// edit. False (reported) when nothing changed.
bool ResizeImage(HWND window, int width, int height);

// A quarter turn, clockwise for 176, counter-clockwise for 177.
void RotateCommand(HWND window, int command_id);

}  // namespace fq::win
