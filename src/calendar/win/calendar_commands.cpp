#include "calendar/win/calendar_commands.h"

#include "calendar/calendar_record.h"
#include "calendar/win/calendar_window.h"
#include "calendar/win/calendar_wizard.h"
#include "calendar/win/schedule_dialog.h"

namespace fq::win {

void CalendarCommand(HWND mdi_client, int command_id) {
  const uint32_t kind = static_cast<uint32_t>(command_id);
  if (kind != cal::kMonthly && kind != cal::kYearly) return;
  auto made = RunCalendarWizard(GetParent(mdi_client), kind);
  if (made) CreateCalendarWindow(mdi_client, std::move(made->page), made->record);
}

void ScheduleCommand(HWND image_window) {
  if (HoldsMonthlyCalendar(image_window)) RunScheduleDialog(image_window);
}

bool HoldsMonthlyCalendar(HWND image_window) {
  const cal::CalendarRecord* r = CalendarOf(image_window);
  return r && r->Kind == cal::kMonthly;
}

}  // namespace fq::win
