#include "shell/win/menu_apply.h"

#include <commctrl.h>

#include "album/win/album_commands.h"
#include "base/win/frame_link.h"
#include "calendar/win/calendar_commands.h"
#include "edit/win/edit_commands.h"
#include "image/image_view.h"
#include "image/win/image_window.h"
#include "shell/commands.h"
#include "base/region.h"
#include "shell/win/shell_state.h"
#include "shell/win/status_bar.h"
#include "shell/win/toolbar.h"
#include "base/win/window_slots.h"

namespace fq::win {
namespace {

bool HasDocumentSlots(HWND w) {
  return GetClassLongPtrA(w, GCL_CBWNDEXTRA) >= kDocumentExtraBytes;
}

bool AnyChildMinimized(HWND mdi) {
  for (HWND c = GetWindow(mdi, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (!GetWindow(c, GW_OWNER) && IsIconic(c)) return true;
  return false;
}

// The menu bar shifts by one while the active child is maximised (its
// system menu comes first).
int PopupShift(HMENU bar) { return GetMenuItemCount(bar) > cmd::kHelpPopup + 1 ? 1 : 0; }

void EnablePopup(HMENU bar, int index, bool on) {
  EnableMenuItem(bar, index + PopupShift(bar), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void EnableItem(HMENU bar, int id, bool on) {
  EnableMenuItem(bar, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void CheckZoomItem(HMENU bar, int zoom) {
  HMENU viewmenu = GetSubMenu(bar, cmd::kViewPopup + PopupShift(bar));
  if (!viewmenu) return;
  auto checked = view::CommandForZoom(view::ValidZoom(zoom));
  for (int z : view::kZoomQuarters) {
    int id = *view::CommandForZoom(z);
    CheckMenuItem(viewmenu, id, MF_BYCOMMAND | (id == *checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

// The drawing-tool window is hidden while a calendar page is active and
// comes back (if switched on) when another picture is.
void HideToolsOverCalendars(bool calendar_active) {
  static bool hidden = false;
  if (calendar_active == hidden) return;
  hidden = calendar_active;
  ShowToolWindow(Shell().frame, !calendar_active && Shell().toolbox_on);
}

// The items the rules govern, for the active document; an image window also
// gives the Edit, Image and View popups, Image Cutout and the zoom check.
void ApplyActiveDocumentMenu(HWND document) {
  HWND frame = Shell().frame;
  HMENU bar = frame ? GetMenu(frame) : nullptr;
  if (!bar) return;
  const shell::ShellState state = CurrentShellState();
  for (const auto& item : shell::MenuItemStates(state))
    EnableItem(bar, item.id, !item.greyed);
  if (auto image = ImageWindowStateOf(document)) {
    EnableItem(bar, cmd::kImageCutout, image->selection_shown);
    EnablePopup(bar, cmd::kEditPopup, true);
    EnablePopup(bar, cmd::kImagePopup, !image->calendar);
    EnablePopup(bar, cmd::kViewPopup, true);
    CheckZoomItem(bar, image->zoom);
    EnableItem(bar, cmd::kToolOnOff, !image->calendar);
    HideToolsOverCalendars(image->calendar);
  } else if (state.document_window && state.kind == shell::WindowKind::kAlbum) {
    // An album: its Edit commands, no picture menus, no drawing tools.
    EnablePopup(bar, cmd::kEditPopup, true);
    EnablePopup(bar, cmd::kImagePopup, false);
    EnablePopup(bar, cmd::kViewPopup, false);
    EnableItem(bar, cmd::kToolOnOff, false);
  }
  DrawMenuBar(frame);
}

int DocumentChildrenBut(HWND mdi_client, HWND except) {
  int n = 0;
  for (HWND h = GetWindow(mdi_client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h != except && !GetWindow(h, GW_OWNER)) ++n;
  return n;
}

// What the documents tell the frame.
class ShellFrameLink final : public FrameLink {
 public:
  HWND Frame() override { return Shell().frame; }

  void DocumentChanged(HWND document) override {
    if (document && document == ActiveChild()) ApplyActiveDocumentMenu(document);
  }

  // With the last document gone, the document popups are greyed and the
  // position parts of the status bar emptied.
  void DocumentClosing(HWND document) override {
    HWND frame = Shell().frame, mdi = Shell().mdi_client;
    if (!frame || !mdi || DocumentChildrenBut(mdi, document) != 0) return;
    if (HMENU bar = GetMenu(frame)) {
      EnablePopup(bar, cmd::kEditPopup, false);
      EnablePopup(bar, cmd::kImagePopup, false);
      EnablePopup(bar, cmd::kViewPopup, false);
      DrawMenuBar(frame);
    }
    SetStatusText(1, "", false);
    SetStatusText(2, "", false);
  }

  void SetStatusText(int part, const char* text, bool raised) override {
    if (HWND bar = Shell().status_bar)
      SendMessageA(bar, SB_SETTEXTA, part | (raised ? SBT_POPOUT : 0),
                   reinterpret_cast<LPARAM>(text));
  }
};

ShellFrameLink g_link;

}  // namespace

void InstallShellFrameLink(bool installed) { InstallFrameLink(installed ? &g_link : nullptr); }

shell::ShellState CurrentShellState() {
  shell::ShellState s;
  s.comm_busy = CommBusy();
  s.clipboard_picture = shell::ClipboardHoldsPicture(IsClipboardFormatAvailable(CF_TEXT) != FALSE,
                                                      IsClipboardFormatAvailable(CF_DIB) != FALSE);
  if (auto path = AlbumSelectionPath()) {
    s.album_selection = true;
    s.album_selection_path = *path;
  }
  HWND mdi = Shell().mdi_client;
  if (!mdi) return s;
  s.any_child_minimized = AnyChildMinimized(mdi);
  HWND active = ActiveChild();
  if (!active || !HasDocumentSlots(active) || GetWindowLongPtrA(active, kRecordSlot) == 0) return s;
  s.document_window = true;
  s.kind = static_cast<shell::WindowKind>(GetWindowLongPtrA(active, kKindSlot));
  if (s.kind == shell::WindowKind::kImage) {
    if (auto image = ImageWindowStateOf(active)) {
      s.image_modified = image->modified;
      s.image_name = image->name;
      s.image_calendar = image->calendar;
      s.image_undo_offered = image->undo_offered;
    }
    s.image_monthly_calendar = HoldsMonthlyCalendar(active);
  }
  return s;
}

void ApplyMenuPopupState(HMENU popup) {
  const auto states = shell::MenuItemStates(CurrentShellState());
  const int count = GetMenuItemCount(popup);
  for (int pos = 0; pos < count; ++pos) {
    const UINT id = GetMenuItemID(popup, pos);
    if (id == static_cast<UINT>(-1)) continue;  // a sub-popup
    for (const shell::ItemState& st : states) {
      if (static_cast<UINT>(st.id) != id) continue;
      EnableMenuItem(popup, pos, MF_BYPOSITION | (st.greyed ? MF_GRAYED : MF_ENABLED));
    }
  }
}

void UpdateToolbarState() {
  HWND toolbar = Shell().toolbar;
  if (toolbar) ApplyToolbarStates(toolbar, shell::ToolbarStates(CurrentShellState()));
}

void ShowMenuHelp(WPARAM wParam, LPARAM lParam) {
  const UINT flags = HIWORD(wParam);
  int id = LOWORD(wParam);
  if (flags == 0xFFFF && lParam == 0) {  // the menu closed
    ShowReady();
    return;
  }
  if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU)) id = 0;
  SetStatusText(0, cmd::MenuHelpText(id, (flags & (MF_GRAYED | MF_DISABLED)) != 0, region::Code()));
}

}  // namespace fq::win
