#include "base/win/pump.h"

#include <algorithm>
#include <vector>

namespace fq::win {
namespace {

std::vector<HWND>& Dialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

}  // namespace

void AddModelessDialog(HWND dialog) {
  auto& d = Dialogs();
  if (dialog && std::find(d.begin(), d.end(), dialog) == d.end()) d.push_back(dialog);
}

void RemoveModelessDialog(HWND dialog) {
  auto& d = Dialogs();
  d.erase(std::remove(d.begin(), d.end(), dialog), d.end());
}

bool RouteToModelessDialog(MSG* msg) {
  // A copy: a dialog may go away while it handles the message.
  std::vector<HWND> dialogs = Dialogs();
  for (HWND d : dialogs)
    if (IsWindow(d) && IsDialogMessageA(d, msg)) return true;
  return false;
}

bool PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (msg.message == WM_COMMAND) continue;
    if (RouteToModelessDialog(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

bool PumpWait(DWORD ms, DWORD start) {
  while (GetTickCount() - start <= ms) {
    if (!PumpMessages()) return false;
    // Sleep until something arrives or a little time passed, rather than
    // spinning on an empty queue.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

}  // namespace fq::win
