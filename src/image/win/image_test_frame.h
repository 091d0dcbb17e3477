// A stand-in frame for exercising image windows on their own: the
// "/test-open" switch starts a frame with an MDI client, menu and status
// bar that routes the image commands and opens the files named after the
// switch. The end-to-end tests use it until the program's own frame opens
// pictures by name.
#pragma once

#include <windows.h>

namespace fq::win {

bool IsImageTestOpen(const char* command_line);
int RunImageTestFrame(HINSTANCE instance, const char* command_line);

}  // namespace fq::win
