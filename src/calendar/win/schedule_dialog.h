// The schedule dialog ("CALSCHEDULE", "CALSCHEDULE_EU"): the day texts of a
// monthly calendar page, their position, font and colour.
#pragma once

#include <windows.h>

namespace fq::win {

// Runs the dialog on the calendar page of `window`; a change draws the page
// again and can be undone.
void RunScheduleDialog(HWND window);

}  // namespace fq::win
