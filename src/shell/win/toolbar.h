// The frame's toolbar: control 701 with 19 entries, the program's own
// images and the system's standard ones, one tooltip per button, its state
// recomputed after every message and its status-bar help.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/menu_state.h"

namespace fq::win {

// Creates the toolbar of `frame` with its buttons (not yet its tooltips);
// nullptr on failure.
HWND CreateToolbar(HWND frame);
// Registers one tooltip per button, texts from the string resources of the
// button ids, and attaches the tooltip window to the toolbar.
void CreateToolbarTips(HWND toolbar);

// Greys (indeterminate, not clickable) or enables the listed buttons; a
// pressed button keeps its pressed look.
void ApplyToolbarStates(HWND toolbar, const std::vector<shell::ItemState>& states);

// Calendar commands grey every button while they run and enable them again
// afterwards (the after-every-message rules then correct them).
void SetAllButtonsGreyed(HWND toolbar, bool greyed);

// Tooltip notifications of the toolbar's buttons: shown and gone. True
// when `hdr` was one of them.
bool HandleToolbarTip(const NMHDR* hdr);

}  // namespace fq::win
