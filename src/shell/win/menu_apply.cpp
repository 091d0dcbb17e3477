#include "shell/win/menu_apply.h"

#include "album/win/album_commands.h"
#include "calendar/win/calendar_commands.h"
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

// The name an image window shows: its title without the zoom in brackets
// and the changed mark.
std::string ImageDisplayName(HWND w) {
  char title[MAX_PATH + 32] = "";
  GetWindowTextA(w, title, sizeof title);
  std::string name = title;
  if (size_t at = name.rfind(" ["); at != std::string::npos) name.erase(at);
  if (!name.empty() && name.back() == '*') name.pop_back();
  return name;
}

bool AnyChildMinimized(HWND mdi) {
  for (HWND c = GetWindow(mdi, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (!GetWindow(c, GW_OWNER) && IsIconic(c)) return true;
  return false;
}

}  // namespace

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
    s.image_modified = IsImageModified(active);
    s.image_name = ImageDisplayName(active);
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
