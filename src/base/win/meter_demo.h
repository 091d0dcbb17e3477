// A run of the progress and status windows without a camera, for the
// end-to-end tests: "fotaquill.exe /demo-meter" shows them one after another
// and ends.
#pragma once

#include <windows.h>

namespace fq::win {

// Whether the command line asks for the demonstration.
bool IsMeterDemo(const char* command_line);

// Shows, in turn: the progress dialog (bar running to 13 of 25 with Cancel
// offered, then waiting up to 30 s for a cancel request), the delete status
// dialog (waiting up to 30 s for its Cancel), the thumbnail and card
// messages (blinking, 4.5 s each), the movie message and the connection
// status (3 s each). Returns 0 when both cancel requests arrived, 1 when one
// did not, 2 when a window could not be made.
int RunMeterDemo(HINSTANCE instance);

}  // namespace fq::win
