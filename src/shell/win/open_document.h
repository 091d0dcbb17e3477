// Opening files by name: from the start-up command line, from the command
// line a second start hands over, and from a drop on the frame.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace fq::win {

// Opens one file into a window of its kind (by content). A name that does
// not exist fails silently; other failures are shown here. True when a
// window was opened.
bool OpenDocumentFile(HWND mdi_client, const std::string& path);

// File Open's road for the kinds the image window does not show: an album
// in an album window, a movie in the movie window; anything else gives
// error 23. (The command line and drops refuse movies.)
bool OpenChosenFile(HWND mdi_client, const std::string& path);

// Splits a command line into names and opens each; a name that is too long
// is refused with its message and the others are still opened.
void OpenCommandLine(HWND mdi_client, std::string_view command_line);

// Reads the hand-over file a second start wrote and opens what it names;
// nothing happens when it cannot be read or holds no command line.
void OpenHandOver(HWND mdi_client);

}  // namespace fq::win
