#include "shell/win/version_dialog.h"

#include <string>

#include "shell/commands.h"
#include "shell/win/shell_state.h"

namespace fq::win {
namespace {

void PlaceOnScreen(HWND dialog) {
  RECT r;
  GetWindowRect(dialog, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(dialog, nullptr, (sw - w) / 2, (sh - h) / 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR CALLBACK VersionProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      PlaceOnScreen(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowVersionDialog(HWND owner) {
  const std::string name(cmd::kAboutDialog);
  DialogBoxParamA(Shell().instance, name.c_str(), owner, VersionProc, 0);
}

}  // namespace fq::win
