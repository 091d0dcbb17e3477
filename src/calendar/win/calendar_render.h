// A calendar page drawn on any device context at any width: the printer
// draws the page's lines and texts at its own resolution instead of
// copying the screen bitmap.
#pragma once

#include <windows.h>

#include <string>

#include "base/messages.h"
#include "calendar/calendar_record.h"

namespace fq::win {

// Draws the page of `record` with its top-left corner at (x0, y0), `width`
// pixels across, on `dc`; nothing is filled behind it. The photograph
// comes from `own_file` (the calendar file of a saved page) or the
// record's own path. Failures: the photograph loader's, kUnexpected when the
// page cannot be laid out.
Status RenderCalendar(cal::CalendarRecord& record, HDC dc, int x0, int y0, int width,
                      const std::string& own_file);

}  // namespace fq::win
