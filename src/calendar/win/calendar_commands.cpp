#include "calendar/win/calendar_commands.h"

#include "base/win/not_available.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"

namespace fq::win {
namespace {

LRESULT CALLBACK PlaceholderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefMDIChildProcA(h, m, w, l);
}

}  // namespace

bool RegisterCalendarWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = "MYCALCLASS",
                                        .procedure = PlaceholderProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_CALENDAR,
                                        .cursor = IDC_ARROW,
                                        .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

void CalendarCommand(HWND, int) { ShowNotAvailable(); }
void ScheduleCommand(HWND) { ShowNotAvailable(); }
bool HoldsMonthlyCalendar(HWND) { return false; }

}  // namespace fq::win
