#include "show/win/show_commands.h"

#include "base/win/not_available.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"

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
  return RegisterWindowClass(instance, {.name = "AutoViewClass",
                                        .procedure = PlaceholderShowProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_ALBUM,
                                        .cursor = IDC_ARROW,
                                        .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

bool RegisterMovieWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = "MYAVICLASS",
                                        .procedure = PlaceholderMovieProc,
                                        .icon = IDI_MOVIE,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

void SlideShowStartCommand(HWND) { ShowNotAvailable(); }
void SlideShowOptionCommand(HWND) { ShowNotAvailable(); }

}  // namespace fq::win
