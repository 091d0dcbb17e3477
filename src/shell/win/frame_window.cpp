#include "shell/win/frame_window.h"

#include <windowsx.h>

#include <string>

#include "base/messages.h"
#include "edit/win/edit_commands.h"
#include "output/win/output_commands.h"
#include "shell/commands.h"
#include "shell/frame_rules.h"
#include "base/settings.h"
#include "shell/win/command_dispatch.h"
#include "shell/win/drop_files.h"
#include "shell/win/frame_create.h"
#include "shell/win/help.h"
#include "shell/win/menu_apply.h"
#include "shell/win/open_document.h"
#include "shell/win/shell_state.h"
#include "shell/win/toolbar.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "shell_res.h"

namespace fq::win {
namespace {

bool g_palette_broadcast = false;  // a palette change is being passed on

LRESULT DefaultFrame(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(hwnd, Shell().mdi_client, msg, wParam, lParam);
}

BOOL OnCreate(HWND hwnd, LPCREATESTRUCT) {
  Shell().frame = hwnd;
  InstallShellFrameLink(true);
  return CreateFrameChildren(hwnd) ? TRUE : FALSE;
}

// The frame's children are not touched while it is minimised.
void OnSize(HWND hwnd, UINT state, int, int) {
  if (state != SIZE_MINIMIZED) LayoutFrame(hwnd);
}

void OnCommand(HWND hwnd, int id, HWND control, UINT code) {
  if (!RunCommand(hwnd, id))
    DefaultFrame(hwnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void OnInitMenuPopup(HWND, HMENU popup, UINT, BOOL system_menu) {
  if (!system_menu) ApplyMenuPopupState(popup);
}

LRESULT OnNotify(HWND hwnd, int id, LPNMHDR hdr) {
  if (HandleToolbarTip(hdr)) return 0;
  return DefaultFrame(hwnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(hdr));
}

// The capture countdown ticks once a second; on palette displays a second
// settle time follows the synthesised key before the picture is taken.
void OnCaptureTick(HWND hwnd) {
  if (!CaptureTick(hwnd)) return;
  KillTimer(hwnd, shell::kCaptureCountdownTimer);
  if (TakeCapture(hwnd)) SetTimer(hwnd, shell::kCaptureSettleTimer, 1000, nullptr);
}

void OnTimer(HWND hwnd, UINT id) {
  if (id == shell::kHelpPollTimer) {
    OnHelpPollTick(hwnd);
  } else if (id == shell::kCaptureCountdownTimer) {
    OnCaptureTick(hwnd);
  } else if (id == shell::kCaptureSettleTimer) {
    KillTimer(hwnd, shell::kCaptureSettleTimer);
    PostMessageA(hwnd, shell::kMsgCapturePicture, 0, 0);
  }
}

void OnDropFiles(HWND, HDROP drop) { OpenDroppedFiles(Shell().mdi_client, drop); }

void OnClose(HWND hwnd) {
  if (CommBusy()) {
    ShowBusyRefusal(false);
    return;
  }
  if (CloseAllDocuments()) DestroyWindow(hwnd);
}

BOOL OnQueryEndSession(HWND) {
  if (CommBusy()) {
    ShowBusyRefusal(true);
    return FALSE;
  }
  return CloseAllDocuments() ? TRUE : FALSE;
}

void OnDestroy(HWND hwnd) {
  ShellWindows& s = Shell();
  settings::WriteVisibility(settings::Store(), s.toolbar_on, s.status_bar_on, s.toolbox_on);
  KillTimer(hwnd, shell::kCaptureCountdownTimer);
  KillTimer(hwnd, shell::kCaptureSettleTimer);
  CaptureFrameClosing(hwnd);
  StopHelpPoll(hwnd);
  QuitHelp(hwnd);
  DragAcceptFiles(hwnd, FALSE);
  const HINSTANCE instance = s.instance;
  s = ShellWindows{};
  s.instance = instance;
  InstallShellFrameLink(false);
  PostQuitMessage(0);
}

void OnActivateApp(HWND hwnd, BOOL, DWORD) {
  if (TextToolHoldsText()) return;
  NotifyDrawingTools(hwnd);
  if (HWND active = ActiveChild()) InvalidateRect(active, nullptr, FALSE);
}

// The active document realises its palette in the foreground.
BOOL OnQueryNewPalette(HWND hwnd) {
  HWND active = ActiveChild();
  if (!active) return FALSE;
  return static_cast<BOOL>(
      SendMessageA(active, kMsgRealizePalette, reinterpret_cast<WPARAM>(hwnd), 0));
}

void OnPaletteChanged(HWND, HWND changer) {
  if (g_palette_broadcast || !Shell().mdi_client) return;
  g_palette_broadcast = true;
  for (HWND c = GetWindow(Shell().mdi_client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    SendMessageA(c, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(changer), 0);
  g_palette_broadcast = false;
}

// Posted at the end of creation: help polling starts and the start-up
// command line is opened.
void OnStarted(HWND hwnd) {
  StartHelpPoll(hwnd);
  std::string line = std::move(Shell().command_line);
  Shell().command_line.clear();
  OpenCommandLine(Shell().mdi_client, line);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
    HANDLE_MSG(hwnd, WM_SIZE, OnSize);
    HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
    HANDLE_MSG(hwnd, WM_TIMER, OnTimer);
    HANDLE_MSG(hwnd, WM_DROPFILES, OnDropFiles);
    HANDLE_MSG(hwnd, WM_CLOSE, OnClose);
    HANDLE_MSG(hwnd, WM_QUERYENDSESSION, OnQueryEndSession);
    HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
    HANDLE_MSG(hwnd, WM_QUERYNEWPALETTE, OnQueryNewPalette);
    HANDLE_MSG(hwnd, WM_PALETTECHANGED, OnPaletteChanged);
    case WM_NOTIFY:
      return OnNotify(hwnd, static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam));
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(hwnd, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;  // the default procedure still sees it
    case WM_MENUSELECT:
      ShowMenuHelp(wParam, lParam);
      break;
    case WM_ACTIVATEAPP:
      OnActivateApp(hwnd, static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
      break;
    case shell::kMsgStarted:
      OnStarted(hwnd);
      return 0;
    case shell::kMsgHandOver:
      OpenHandOver(Shell().mdi_client);
      return 0;
    case shell::kMsgCapturePicture:
      CapturedPictureArrived(hwnd);
      return 0;
  }
  return DefaultFrame(hwnd, msg, wParam, lParam);
}

}  // namespace

bool RegisterFrameClass(HINSTANCE instance) {
  // The hourglass until the program sets a cursor of its own: the frame's
  // client area is covered by its children once the shell is complete.
  return RegisterWindowClass(instance, {.name = kFrameClass,
                                        .procedure = FrameProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_FRAME,
                                        .cursor = IDC_WAIT,
                                        .background = SystemColorBrush(COLOR_BTNFACE),
                                        .menu = kFrameClassMenu});
}

HWND CreateFrameWindow(HINSTANCE instance, HMENU menu) {
  ShellWindows& s = Shell();
  s.instance = instance;
  s.menu = menu;
  s.window_menu = menu ? GetSubMenu(menu, cmd::kWindowPopup) : nullptr;
  char title[64];
  if (LoadStringA(instance, IDS_FRAME_TITLE, title, sizeof title) <= 0) {
    lstrcpynA(title, kAppCaption.data(), static_cast<int>(sizeof title));
  }
  return CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                         instance, nullptr);
}

}  // namespace fq::win
