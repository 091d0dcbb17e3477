// The menu and toolbar states of the frame, derived from the windows as
// they are now and applied through the core's rules: items of a popup just
// before it opens, the toolbar after every message, and the help text of a
// highlighted menu entry.
#pragma once

#include <windows.h>

#include "shell/menu_state.h"

namespace fq::win {

// The state the rules read: the active document window, its kind and
// record, the album selection, the clipboard, CommBusy.
shell::ShellState CurrentShellState();

// Makes the frame the receiver of what document windows report (menu state,
// status texts), or detaches it again.
void InstallShellFrameLink(bool installed);

// Applies the governed items that sit directly in `popup`; other items are
// left as they are.
void ApplyMenuPopupState(HMENU popup);

// Recomputes the toolbar's button states.
void UpdateToolbarState();

// WM_MENUSELECT: the status or greyed text of the highlighted entry in
// status-bar part 0.
void ShowMenuHelp(WPARAM wParam, LPARAM lParam);

}  // namespace fq::win
