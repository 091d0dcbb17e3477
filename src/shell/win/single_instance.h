// One running instance: a second start brings the first forward, hands it
// its command line and ends.
#pragma once

#include <windows.h>

#include <string_view>

namespace fq::win {

// A top-level window whose class name is exactly `cls` and whose title
// begins with `title_prefix` (case-sensitive); nullptr when there is none.
HWND FindTopLevelWindow(std::string_view cls, std::string_view title_prefix);

// When another instance runs: restores it if minimised, brings it to the
// foreground and, for a non-empty command line, writes the hand-over file
// and tells it (only once the file is complete). True when another instance
// was found, and this start should end.
bool HandOverToRunningInstance(std::string_view command_line);

}  // namespace fq::win
