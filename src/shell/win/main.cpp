// The process: installs the Windows file access for the core, registers the
// window classes, creates the frame and runs the one message loop.
#include <windows.h>

#include "camera/win/meter.h"
#include "camera/win/meter_demo.h"
#include "shell/file_io.h"
#include "shell/win/frame_window.h"
#include "shell/win/win_file_system.h"

namespace {

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 0;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
  // Test switch: the progress and status windows on their own.
  if (fq::win::IsMeterDemo(command_line)) return fq::win::RunMeterDemo(instance);

  if (!previous && !fq::win::RegisterFrameClass(instance)) return 0;
  if (!previous) fq::win::RegisterMeterClass(instance);
  HWND frame = fq::win::CreateFrameWindow(instance);
  if (!frame) return 0;
  ShowWindow(frame, show);
  UpdateWindow(frame);
  return RunMessageLoop();
}
