#include "image/win/image_test_frame.h"

#include <commctrl.h>

#include <cstring>

#include "camera/win/meter.h"
#include "image/win/image_window.h"
#include "shell/command_line.h"
#include "shell/commands.h"
#include "shell/frame_rules.h"

namespace fq::win {
namespace {

constexpr char kSwitch[] = "/test-open";
constexpr char kTestFrameClass[] = "ORXDscFrame";

HWND g_client = nullptr;

HWND ActiveChild() {
  return g_client ? reinterpret_cast<HWND>(SendMessageA(g_client, WM_MDIGETACTIVE, 0, 0))
                  : nullptr;
}

void CreateBars(HWND frame) {
  CLIENTCREATESTRUCT ccs{nullptr, static_cast<UINT>(shell::kFirstMdiChildId)};
  HMENU bar = GetMenu(frame);
  if (bar) ccs.hWindowMenu = GetSubMenu(bar, cmd::kWindowPopup);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  g_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                             WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0,
                             0, 0, 0, frame, reinterpret_cast<HMENU>(shell::kMdiClientId), inst,
                             &ccs);
  HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(shell::kStatusBarId), inst, nullptr);
  int edges[shell::kStatusBarParts] = {200, 320, 440, 560, -1};
  SendMessageA(status, SB_SETPARTS, shell::kStatusBarParts, reinterpret_cast<LPARAM>(edges));
}

void Layout(HWND frame) {
  RECT r;
  GetClientRect(frame, &r);
  HWND status = GetDlgItem(frame, shell::kStatusBarId);
  RECT s{};
  if (status) {
    SendMessageA(status, WM_SIZE, 0, 0);
    GetWindowRect(status, &s);
  }
  if (g_client) MoveWindow(g_client, 0, 0, r.right, r.bottom - (s.bottom - s.top), TRUE);
}

LRESULT CALLBACK TestFrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateBars(frame);
      return 0;
    case WM_SIZE:
      Layout(frame);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == cmd::kOpen) {
        OpenFileCommand(g_client);
        return 0;
      }
      if (ImageWindowCommand(frame, ActiveChild(), LOWORD(wp))) return 0;
      break;
    case WM_CLOSE:
      // Each window asks about its own unsaved picture first.
      while (HWND child = ActiveChild()) {
        SendMessageA(child, WM_CLOSE, 0, 0);
        if (IsWindow(child)) return 0;
      }
      DestroyWindow(frame);
      return 0;
    case WM_DESTROY:
      g_client = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcA(frame, g_client, msg, wp, lp);
}

}  // namespace

bool IsImageTestOpen(const char* command_line) {
  return command_line && std::strncmp(command_line, kSwitch, sizeof kSwitch - 1) == 0;
}

int RunImageTestFrame(HINSTANCE instance, const char* command_line) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterMeterClass(instance);
  if (!RegisterImageWindowClass(instance)) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TestFrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kTestFrameClass;
  if (!RegisterClassA(&wc)) return 2;
  HMENU menu = LoadMenuA(instance, cmd::kMenuName.data());
  HWND frame = CreateWindowExA(0, kTestFrameClass, shell::kFrameTitle.data(),
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 760, nullptr,
                               menu, instance, nullptr);
  if (!frame) return 2;
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);
  for (const auto& path : shell::ParseCommandLine(command_line + sizeof kSwitch - 1))
    if (path.ok()) OpenImageDocument(g_client, *path);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (g_client && TranslateMDISysAccel(g_client, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace fq::win
