// The schedule of a monthly page: its day texts with their position, font
// and colour, as the schedule dialog edits them and undo exchanges them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "calendar/calendar_record.h"

namespace fq::cal {

struct Schedule {
  std::array<std::string, kScheduleDays> texts;  // days 1-31
  uint32_t position = 0;  // as stored: 0 in a new calendar
  LogFont font;
  uint32_t color = 0;
  friend bool operator==(const Schedule&, const Schedule&) = default;
};

// The record's schedule, exactly as stored.
Schedule ScheduleOf(const CalendarRecord& r);
// Writes texts, position, font and colour into the record.
void ApplySchedule(CalendarRecord& r, const Schedule& s);
// Whether two schedules draw the same: positions outside 1331-1339 count as
// 1331, so OK on an untouched dialog changes nothing.
bool SameSchedule(const Schedule& a, const Schedule& b);
// Exchanges the record's schedule with `s` (the undo of a schedule edit).
void ExchangeSchedule(CalendarRecord& r, Schedule& s);

// The day list of the dialog: " 1", " 2", ... up to the month's length.
std::vector<std::string> ScheduleDays(const CalendarRecord& r);

// Whether a typed day text may stand: at most 10 characters.
inline bool ScheduleTextFits(const std::string& text) {
  return text.size() <= static_cast<size_t>(kScheduleMaxChars);
}

}  // namespace fq::cal
