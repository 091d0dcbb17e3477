// The calendar subsystem's entry points for the frame: the calendar window
// class, the two wizards and the schedule dialog.
#pragma once

#include <windows.h>

namespace fq::win {

// MYCALCLASS, an MDI child.
bool RegisterCalendarWindowClass(HINSTANCE instance);

// The monthly (131) and yearly (132) calendar dialogs; a calendar they
// produce opens in a new calendar window of `mdi_client`.
void CalendarCommand(HWND mdi_client, int command_id);
// Schedule (133) for the active image that holds a monthly calendar.
void ScheduleCommand(HWND image_window);
// Whether an image window holds a monthly calendar page.
bool HoldsMonthlyCalendar(HWND image_window);

}  // namespace fq::win
