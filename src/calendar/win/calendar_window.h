// Calendar pages in windows: a new page in a calendar window (class
// MYCALCLASS), and a calendar file opened from File Open in an ordinary
// image window. Both hold the page as their picture and the calendar record
// in their document, and behave as read-only image windows.
#pragma once

#include <windows.h>

#include <string>

#include "calendar/calendar_record.h"
#include "image/image_record.h"

namespace fq::win {

inline constexpr char kCalendarWindowClass[] = "MYCALCLASS";

// A new calendar window for a page the wizard made, titled "Untitled %d";
// its document is new (never saved) until the first save.
HWND CreateCalendarWindow(HWND mdi_client, ImageRecord page, const cal::CalendarRecord& record);

// File Open of a calendar file: the page rendered with the file's own
// photograph in an image window of document type 4. Failures are shown
// here; false when nothing was opened.
bool OpenCalendarFile(HWND mdi_client, const std::string& path, const std::string& name);

// The calendar record of a window's document, or null.
cal::CalendarRecord* CalendarOf(HWND window);

}  // namespace fq::win
