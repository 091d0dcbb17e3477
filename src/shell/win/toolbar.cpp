#include "shell/win/toolbar.h"

#include <commctrl.h>

#include "shell/commands.h"
#include "shell/win/shell_state.h"
#include "shell/win/status_bar.h"

namespace fq::win {
namespace {

int StandardIndex(cmd::StandardImage image) {
  switch (image) {
    case cmd::StandardImage::kFileOpen: return STD_FILEOPEN;
    case cmd::StandardImage::kPrint: return STD_PRINT;
    case cmd::StandardImage::kCut: return STD_CUT;
    case cmd::StandardImage::kCopy: return STD_COPY;
    case cmd::StandardImage::kPaste: return STD_PASTE;
    case cmd::StandardImage::kNone: break;
  }
  return 0;
}

BYTE StateFor(BYTE old, bool greyed) {
  BYTE pressed = old & TBSTATE_PRESSED;
  return pressed | (greyed ? TBSTATE_INDETERMINATE : TBSTATE_ENABLED);
}

}  // namespace

HWND CreateToolbar(HWND frame) {
  HINSTANCE inst = Shell().instance;
  HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmd::kToolbarId)), inst,
                            nullptr);
  if (!tb) return nullptr;
  SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The own strip is loaded with its greys, black and white mapped to the
  // system's button colours.
  TBADDBITMAP own{inst, static_cast<UINT_PTR>(cmd::kToolbarBitmap)};
  const int own_base = static_cast<int>(
      SendMessageA(tb, TB_ADDBITMAP, cmd::kOwnImageCount, reinterpret_cast<LPARAM>(&own)));
  TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
  const int std_base =
      static_cast<int>(SendMessageA(tb, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));

  TBBUTTON buttons[cmd::kToolbarEntryCount] = {};
  int n = 0;
  for (const cmd::ToolbarEntry& e : cmd::Toolbar()) {
    TBBUTTON& b = buttons[n++];
    if (e.id == 0) {
      b.fsStyle = TBSTYLE_SEP;
      continue;
    }
    b.idCommand = e.id;
    b.iBitmap = e.own_image >= 0 ? own_base + e.own_image : std_base + StandardIndex(e.standard);
    b.fsState = StateFor(0, e.initially_greyed);
    b.fsStyle = TBSTYLE_BUTTON;
  }
  SendMessageA(tb, TB_ADDBUTTONSA, n, reinterpret_cast<LPARAM>(buttons));
  SendMessageA(tb, TB_AUTOSIZE, 0, 0);
  return tb;
}

void CreateToolbarTips(HWND toolbar) {
  HINSTANCE inst = Shell().instance;
  HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, toolbar, nullptr, inst,
                              nullptr);
  if (!tips) return;
  for (const cmd::ToolbarEntry& e : cmd::Toolbar()) {
    if (e.id == 0) continue;
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = toolbar;
    ti.uId = static_cast<UINT_PTR>(e.id);
    ti.hinst = inst;
    ti.lpszText = MAKEINTRESOURCEA(e.id);
    LRESULT index = SendMessageA(toolbar, TB_COMMANDTOINDEX, e.id, 0);
    SendMessageA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&ti.rect));
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  SendMessageA(toolbar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tips), 0);
}

void ApplyToolbarStates(HWND toolbar, const std::vector<shell::ItemState>& states) {
  if (!toolbar) return;
  for (const shell::ItemState& s : states) {
    LRESULT old = SendMessageA(toolbar, TB_GETSTATE, s.id, 0);
    if (old == -1) continue;
    BYTE want = StateFor(static_cast<BYTE>(old), s.greyed);
    BYTE keep = static_cast<BYTE>(old) & ~(TBSTATE_PRESSED | TBSTATE_INDETERMINATE | TBSTATE_ENABLED);
    if ((want | keep) != static_cast<BYTE>(old))
      SendMessageA(toolbar, TB_SETSTATE, s.id, MAKELONG(want | keep, 0));
  }
}

void SetAllButtonsGreyed(HWND toolbar, bool greyed) {
  if (!toolbar) return;
  for (const cmd::ToolbarEntry& e : cmd::Toolbar()) {
    if (e.id == 0) continue;
    LRESULT old = SendMessageA(toolbar, TB_GETSTATE, e.id, 0);
    if (old == -1 || (!greyed && (old & TBSTATE_HIDDEN))) continue;
    BYTE keep = static_cast<BYTE>(old) & ~(TBSTATE_PRESSED | TBSTATE_INDETERMINATE | TBSTATE_ENABLED);
    SendMessageA(toolbar, TB_SETSTATE, e.id, MAKELONG(StateFor(static_cast<BYTE>(old), greyed) | keep, 0));
  }
}

bool HandleToolbarTip(const NMHDR* hdr) {
  HWND toolbar = Shell().toolbar;
  if (!toolbar || (hdr->code != TTN_SHOW && hdr->code != TTN_POP)) return false;
  const int button = static_cast<int>(hdr->idFrom);
  if (!cmd::ButtonCommand(button)) return false;
  if (hdr->code == TTN_POP) {
    ShowReady();
    return true;
  }
  LRESULT state = SendMessageA(toolbar, TB_GETSTATE, button, 0);
  const bool greyed = state != -1 && !(state & TBSTATE_ENABLED);
  if (auto text = cmd::ToolbarHelpText(button, greyed))
    SetStatusText(0, *text, !greyed && cmd::ButtonTextWithoutBorder(button));
  return true;
}

}  // namespace fq::win
