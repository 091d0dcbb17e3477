// The process-wide state of the application shell: the handles of the frame
// and its children, the switches persisted in the settings file, the
// start-up command line and CommBusy. One user-interface thread owns it.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

struct ShellWindows {
  HINSTANCE instance = nullptr;
  HWND frame = nullptr;
  HWND mdi_client = nullptr;
  HWND toolbar = nullptr;     // none while switched off
  HWND status_bar = nullptr;  // none while switched off
  HMENU menu = nullptr;       // "DscMenu"
  HMENU window_menu = nullptr;
  // Tool, Status and ToolBox of the settings file: true = shown (0).
  bool toolbar_on = false;
  bool status_bar_on = false;
  bool toolbox_on = false;
  // Kept until the frame has been created and has opened what it names.
  std::string command_line;
};

ShellWindows& Shell();

// True while a camera transfer runs: the frame cannot be closed, the
// camera commands are greyed.
bool CommBusy();
void SetCommBusy(bool busy);

// The active MDI child, or nullptr; `maximized` tells whether it is shown
// maximised.
HWND ActiveChild(bool* maximized = nullptr);

}  // namespace fq::win
