#include "calendar/win/calendar_commands.h"

#include "shell/win/not_available.h"
#include "shell/win/window_slots.h"
#include "shell_res.h"

namespace fq::win {
namespace {

LRESULT CALLBACK PlaceholderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefMDIChildProcA(h, m, w, l);
}

}  // namespace

bool RegisterCalendarWindowClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlaceholderProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CALENDAR));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = "MYCALCLASS";
  return RegisterClassA(&wc) != 0;
}

void CalendarCommand(HWND, int) { ShowNotAvailable(); }
void ScheduleCommand(HWND) { ShowNotAvailable(); }
bool HoldsMonthlyCalendar(HWND) { return false; }

}  // namespace fq::win
