#include "shell/win/help.h"

#include <string>

#include "shell/frame_rules.h"
#include "base/paths.h"

namespace fq::win {
namespace {

bool g_in_help = false;    // a viewer call is in progress
bool g_f1_down = false;    // F1 state at the previous tick

// Calls the viewer with the current drive switched to the Windows folder's
// drive, as the viewer expects, and restored afterwards.
void CallViewer(HWND frame, UINT command) {
  char old_dir[MAX_PATH] = "";
  DWORD n = GetCurrentDirectoryA(MAX_PATH, old_dir);
  char windows_dir[MAX_PATH] = "";
  if (GetWindowsDirectoryA(windows_dir, MAX_PATH) >= 2 && windows_dir[1] == ':') {
    const char drive[] = {windows_dir[0], ':', '\0'};
    SetCurrentDirectoryA(drive);
  }
  const std::string& file = paths::Paths().help_file;
  WinHelpA(frame, file.c_str(), command, 0);
  if (n > 0 && n < MAX_PATH) SetCurrentDirectoryA(old_dir);
}

void OpenContents(HWND frame) {
  if (g_in_help) return;
  g_in_help = true;
  CallViewer(frame, HELP_CONTENTS);
  g_in_help = false;
}

}  // namespace

void StartHelpPoll(HWND frame) { SetTimer(frame, shell::kHelpPollTimer, shell::kHelpPollMs, nullptr); }
void StopHelpPoll(HWND frame) { KillTimer(frame, shell::kHelpPollTimer); }

void OnHelpPollTick(HWND frame) {
  StopHelpPoll(frame);
  const bool down = (GetAsyncKeyState(VK_F1) & 0x8000) != 0;
  if (down && !g_f1_down) OpenContents(frame);
  g_f1_down = down;
  StartHelpPoll(frame);
}

void HelpContentsCommand(HWND frame) {
  StopHelpPoll(frame);
  OpenContents(frame);
  // At most one waiting message: a quit goes back to the loop, a poll tick
  // is dropped, anything else is handled here.
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
    } else if (!(msg.message == WM_TIMER && msg.wParam == shell::kHelpPollTimer)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  StartHelpPoll(frame);
}

void QuitHelp(HWND frame) { CallViewer(frame, HELP_QUIT); }

}  // namespace fq::win
