#include "album/win/album_commands.h"

#include "shell/win/not_available.h"
#include "shell/win/window_slots.h"
#include "shell_res.h"

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
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlaceholderChildProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_ALBUM));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "ORXAlbumChild";
  return RegisterClassA(&wc) != 0;
}

bool RegisterAlbumButtonClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = PlaceholderCellProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "ORXAlbumButton";
  return RegisterClassA(&wc) != 0;
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
