// Save and Save As of a calendar page: the Save As dialog with the one type
// "Calendar File(*.CAL)", and the calendar file written beside its target
// and moved over it only when whole.
#pragma once

#include <windows.h>

namespace fq::win {

// Save (save_as false) and Save As of the calendar page in `window`; true
// when it was saved. A failed save leaves the old file and keeps the page
// modified.
bool SaveCalendarDocument(HWND window, bool save_as);

}  // namespace fq::win
