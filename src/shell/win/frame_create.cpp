#include "shell/win/frame_create.h"

#include "edit/win/edit_commands.h"

#include <commctrl.h>
#include <shellapi.h>

#include "shell/commands.h"
#include "shell/frame_rules.h"
#include "base/settings.h"
#include "shell/win/shell_state.h"
#include "shell/win/status_bar.h"
#include "shell/win/toolbar.h"

namespace fq::win {
namespace {

void SetCheck(int id, bool on) {
  if (HMENU menu = Shell().menu) CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

HWND CreateMdiClient(HWND frame) {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = Shell().window_menu;
  ccs.idFirstChild = shell::kFirstMdiChildId;
  return CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_HSCROLL |
                             WS_VSCROLL,
                         0, 0, 0, 0, frame,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(shell::kMdiClientId)),
                         Shell().instance, &ccs);
}

}  // namespace

bool CreateFrameChildren(HWND frame) {
  ShellWindows& s = Shell();
  DragAcceptFiles(frame, TRUE);
  settings::SettingsStore& store = settings::Store();
  const shell::Bars bars =
      shell::BarsFromSettings(settings::Read(store, settings::kTool), settings::Read(store, settings::kStatus));
  s.toolbar_on = bars.toolbar;
  s.status_bar_on = bars.status_bar;
  if (bars.toolbar) s.toolbar = CreateToolbar(frame);
  if (bars.status_bar) s.status_bar = CreateStatusBar(frame);
  SetCheck(cmd::kToolbarOnOff, bars.toolbar);
  SetCheck(cmd::kStatusbarOnOff, bars.status_bar);
  s.mdi_client = CreateMdiClient(frame);
  if (!s.mdi_client) return false;
  if (s.toolbar) CreateToolbarTips(s.toolbar);
  s.toolbox_on = settings::ReadToolBoxShown(store);
  if (s.menu) EnableMenuItem(s.menu, cmd::kToolOnOff, MF_BYCOMMAND | MF_GRAYED);
  SetCheck(cmd::kToolOnOff, s.toolbox_on);
  ShowToolWindow(frame, s.toolbox_on);  // shown with the first image window
  PostMessageA(frame, shell::kMsgStarted, 0, 0);
  return true;
}

void SetToolbarShown(HWND frame, bool on) {
  ShellWindows& s = Shell();
  if (!on && s.toolbar) {
    ShowWindow(s.toolbar, SW_HIDE);
    DestroyWindow(s.toolbar);
    s.toolbar = nullptr;
  } else if (on && !s.toolbar) {
    s.toolbar = CreateToolbar(frame);
    if (s.toolbar) {
      CreateToolbarTips(s.toolbar);
      ShowWindow(s.toolbar, SW_SHOW);
    }
  }
  s.toolbar_on = on && s.toolbar;
  SetCheck(cmd::kToolbarOnOff, s.toolbar_on);
  LayoutFrame(frame);
}

void SetStatusBarShown(HWND frame, bool on) {
  ShellWindows& s = Shell();
  if (!on && s.status_bar) {
    ShowWindow(s.status_bar, SW_HIDE);
    DestroyWindow(s.status_bar);
    s.status_bar = nullptr;
  } else if (on && !s.status_bar) {
    s.status_bar = CreateStatusBar(frame);
  }
  s.status_bar_on = on && s.status_bar;
  SetCheck(cmd::kStatusbarOnOff, s.status_bar_on);
  LayoutFrame(frame);
}

void LayoutFrame(HWND frame) {
  ShellWindows& s = Shell();
  RECT client;
  GetClientRect(frame, &client);
  int top = 0, bottom = client.bottom;
  if (s.toolbar) {
    SendMessageA(s.toolbar, WM_SIZE, 0, 0);
    RECT r;
    GetWindowRect(s.toolbar, &r);
    top = r.bottom - r.top;
  }
  if (s.status_bar) {
    SendMessageA(s.status_bar, WM_SIZE, 0, 0);
    SetStatusParts(s.status_bar, client.right);
    RECT r;
    GetWindowRect(s.status_bar, &r);
    bottom -= r.bottom - r.top;
  }
  if (s.mdi_client) {
    MoveWindow(s.mdi_client, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    SendMessageA(s.mdi_client, WM_MDIICONARRANGE, 0, 0);
  }
}

}  // namespace fq::win
