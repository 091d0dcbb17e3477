#include "shell/win/shell_state.h"

namespace fq::win {
namespace {

ShellWindows g_shell;
bool g_comm_busy = false;

}  // namespace

ShellWindows& Shell() { return g_shell; }

bool CommBusy() { return g_comm_busy; }
void SetCommBusy(bool busy) { g_comm_busy = busy; }

HWND ActiveChild(bool* maximized) {
  BOOL max = FALSE;
  HWND active = nullptr;
  if (g_shell.mdi_client)
    active = reinterpret_cast<HWND>(
        SendMessageA(g_shell.mdi_client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)));
  if (maximized) *maximized = active && max;
  return active;
}

}  // namespace fq::win
