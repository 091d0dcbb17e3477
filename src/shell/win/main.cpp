// The process: region first, then the single-instance rule, the program
// paths and settings, the window classes, the frame, and the one message
// loop.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/win/meter_demo.h"
#include "base/win/pump.h"
#include "shell/commands.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "base/settings_store.h"
#include "shell/win/frame_window.h"
#include "shell/win/menu_apply.h"
#include "base/win/profile_store.h"
#include "base/win/region_win.h"
#include "shell/win/shell_state.h"
#include "shell/win/single_instance.h"
#include "base/win/win_file_system.h"
#include "shell/win/window_classes.h"

namespace {

// The test switches below are honoured only when the end-to-end tests ask
// for them through this environment variable (value 1); for anyone else
// they are ordinary names on the command line, which open nothing.
constexpr char kTestSwitchesVariable[] = "FQ_TEST_SWITCHES";

bool TestSwitchesAllowed() {
  char value[4] = "";
  const DWORD n = GetEnvironmentVariableA(kTestSwitchesVariable, value, sizeof value);
  return n == 1 && value[0] == '1';
}

// Test switch for the end-to-end tests: starts as if a camera transfer were
// running, so that the close refusal can be seen without a camera. It is
// taken off the command line before anything else reads it.
constexpr std::string_view kTestCommBusySwitch = "/test-commbusy";

std::string TakeTestSwitches(std::string line) {
  if (!TestSwitchesAllowed()) return line;
  if (line.rfind(kTestCommBusySwitch, 0) == 0) {
    fq::win::SetCommBusy(true);
    line.erase(0, kTestCommBusySwitch.size());
    line.erase(0, line.find_first_not_of(" \t"));
  }
  return line;
}

// Keyboard messages of a registered modeless dialog go to it; everything
// else is translated and dispatched. The toolbar follows every message.
int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 0;
    if (!fq::win::RouteToModelessDialog(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    fq::win::UpdateToolbarState();
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
  // Test switch: the progress and status windows on their own.
  if (TestSwitchesAllowed() && fq::win::IsMeterDemo(command_line))
    return fq::win::RunMeterDemo(instance);

  fq::win::InitRegion();
  const std::string line = TakeTestSwitches(command_line ? command_line : "");
  if (fq::win::HandOverToRunningInstance(line)) return 0;

  fq::win::Shell().instance = instance;
  fq::win::Shell().command_line = line;
  if (!fq::win::InitProgramPaths()) return 0;
  static fq::win::ProfileStore store(fq::paths::Paths().settings_file);
  fq::settings::SetStore(&store);

  if (!previous && !fq::win::RegisterWindowClasses(instance)) return 0;
  const std::string menu_name(fq::cmd::kMenuName);
  HMENU menu = LoadMenuA(instance, menu_name.c_str());
  HWND frame = fq::win::CreateFrameWindow(instance, menu);
  if (!frame) {
    if (menu) DestroyMenu(menu);
    return 0;
  }
  ShowWindow(frame, show);
  UpdateWindow(frame);
  const int code = RunMessageLoop();
  if (menu && IsMenu(menu)) DestroyMenu(menu);
  return code;
}
