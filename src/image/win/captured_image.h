// A picture made in memory (a screen capture) opened as a new, unsaved
// image window.
#pragma once

#include <windows.h>

#include "image/image_record.h"

namespace fq::win {

// A new image window of the MDI client for `picture`: JPEG document type,
// actual size, titled "Untitled %d" with the shared untitled counter, its
// save path the folder used last followed by that title, marked changed so
// that closing asks to save. Null when the window could not be made.
HWND OpenCapturedImage(HWND mdi_client, ImageRecord picture);

}  // namespace fq::win
