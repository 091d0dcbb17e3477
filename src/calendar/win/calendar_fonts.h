// The fonts and colours of a calendar page: the installed families the
// defaults are chosen from, the system font dialog with the calendar's
// templates (and its colour button), and the system colour dialog.
#pragma once

#include <windows.h>

#include <vector>

#include "calendar/calendar_record.h"
#include "calendar/calendar_settings.h"

namespace fq::win {

// The installed raster and TrueType families, in the order the system
// enumerates them.
std::vector<cal::FontFamily> InstalledFamilies();

// The font dialog of a wizard button: 1251 title, 1351 month names, 1352
// week days, 1353 day numbers. The chosen font replaces the element's on
// OK; colours chosen through the dialog's colour button are stored at once.
// Notes the button in FontTarget.
bool ChooseCalendarFont(HWND owner, int button, cal::CalendarRecord& r);
// The schedule's font dialog (button 1603) on a working font and colour.
bool ChooseScheduleFont(HWND owner, cal::CalendarRecord& r, cal::LogFont& font, uint32_t& color);
// The system colour dialog started on `color`; true and the new colour on OK.
bool ChooseCalendarColor(HWND owner, uint32_t& color);

}  // namespace fq::win
