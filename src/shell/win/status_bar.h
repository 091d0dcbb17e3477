// The frame's status bar: control 700 with five parts whose right edges
// follow the region; part 0 carries the help texts of menus and buttons.
#pragma once

#include <windows.h>

#include <string_view>

namespace fq::win {

// Creates the status bar of `frame` (visible, bottom-aligned, size grip)
// with "Ready" in part 0, nothing in the Japanese region; nullptr on failure.
HWND CreateStatusBar(HWND frame);

// Sets the five parts for a frame client width.
void SetStatusParts(HWND status_bar, int client_width);

// Writes a part; nothing happens without a status bar. `without_border`
// draws the text flat.
void SetStatusText(int part, std::string_view text, bool without_border = false);
// "Ready" in part 0, or nothing in the Japanese region.
void ShowReady();

}  // namespace fq::win
