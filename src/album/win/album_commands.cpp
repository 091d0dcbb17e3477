#include "album/win/album_commands.h"

#include "base/win/not_available.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"

namespace fq::win {
namespace {

// Until the album window exists its classes answer as plain windows.
LRESULT CALLBACK PlaceholderChildProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefMDIChildProcA(h, m, w, l);
}
LRESULT CALLBACK PlaceholderCellProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

}  // namespace

bool RegisterAlbumWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = "ORXAlbumChild",
                                        .procedure = PlaceholderChildProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_ALBUM,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

bool RegisterAlbumButtonClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = "ORXAlbumButton",
                                        .procedure = PlaceholderCellProc,
                                        .extra_style = CS_DBLCLKS,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

bool OpenAlbumDocument(HWND, const std::string&) {
  ShowNotAvailable();
  return false;
}

std::string AlbumDocumentPath(HWND) { return {}; }

std::optional<std::string> AlbumSelectionPath() { return std::nullopt; }

void NewAlbumCommand(HWND) { ShowNotAvailable(); }

void AlbumCommand(HWND, int) { ShowNotAvailable(); }

}  // namespace fq::win
