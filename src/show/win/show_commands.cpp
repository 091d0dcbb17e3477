#include "show/win/show_commands.h"

#include "shell/win/not_available.h"
#include "shell/win/window_slots.h"
#include "shell_res.h"

namespace fq::win {
namespace {

LRESULT CALLBACK PlaceholderShowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}
LRESULT CALLBACK PlaceholderMovieProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefMDIChildProcA(h, m, w, l);
}

}  // namespace

bool RegisterSlideShowClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlaceholderShowProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_ALBUM));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = "AutoViewClass";
  return RegisterClassA(&wc) != 0;
}

bool RegisterMovieWindowClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlaceholderMovieProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MOVIE));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "MYAVICLASS";
  return RegisterClassA(&wc) != 0;
}

void SlideShowStartCommand(HWND) { ShowNotAvailable(); }
void SlideShowOptionCommand(HWND) { ShowNotAvailable(); }

}  // namespace fq::win
