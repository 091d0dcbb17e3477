#include "calendar/schedule.h"

#include <cstdio>

#include "calendar/calendar_layout.h"

namespace fq::cal {

Schedule ScheduleOf(const CalendarRecord& r) {
  Schedule s;
  for (int d = 1; d <= kScheduleDays; ++d) s.texts[d - 1] = DayText(r, d);
  s.position = r.SchedulePos;
  s.font = r.ScheduleFont;
  s.color = r.ScheduleColor;
  return s;
}

void ApplySchedule(CalendarRecord& r, const Schedule& s) {
  for (int d = 1; d <= kScheduleDays; ++d) SetDayText(r, d, s.texts[d - 1]);
  r.SchedulePos = s.position;
  r.ScheduleFont = s.font;
  r.ScheduleColor = s.color;
}

bool SameSchedule(const Schedule& a, const Schedule& b) {
  auto cell = [](uint32_t p) { return CellOf(p).row * 3 + CellOf(p).column; };
  return a.texts == b.texts && cell(a.position) == cell(b.position) && a.font == b.font &&
         a.color == b.color;
}

void ExchangeSchedule(CalendarRecord& r, Schedule& s) {
  Schedule now = ScheduleOf(r);
  ApplySchedule(r, s);
  s = std::move(now);
}

std::vector<std::string> ScheduleDays(const CalendarRecord& r) {
  std::vector<std::string> days;
  const int n = MonthLength(YearOf(r), MonthOf(r));
  for (int d = 1; d <= n; ++d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d", d);
    days.push_back(buf);
  }
  return days;
}

}  // namespace fq::cal
