// Which menu items and toolbar buttons are greyed, derived from the current
// state alone each time it is needed; nothing is cached.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/frame_rules.h"

namespace fq::shell {

struct ShellState {
  // The active document window: an MDI child with a record in its first slot.
  bool document_window = false;
  WindowKind kind = WindowKind::kNone;  // of the active document window
  // For an image: changed since loading or saving, the name shown for it,
  // and whether it holds a monthly calendar.
  bool image_modified = false;
  std::string image_name;
  bool image_monthly_calendar = false;
  // The active image shows a calendar page (monthly or yearly).
  bool image_calendar = false;
  // The undo step belongs to the active image (its last edit was made there).
  bool image_undo_offered = false;
  // The album cell selected last in any album window, and its picture path.
  bool album_selection = false;
  std::string album_selection_path;
  // The clipboard offers both text and a device-independent bitmap.
  bool clipboard_picture = false;
  // Some MDI child (document or not) is minimised.
  bool any_child_minimized = false;
  bool comm_busy = false;
};

// Both formats are needed for a picture an album can paste.
inline bool ClipboardHoldsPicture(bool has_text, bool has_bitmap) { return has_text && has_bitmap; }

// The name ends in jpg, JPG, bmp or BMP (exactly these forms).
bool PassesSourceExtensionTest(std::string_view name);

struct ItemState {
  int id;
  bool greyed;
  friend bool operator==(const ItemState&, const ItemState&) = default;
};

// The menu items the rules govern, each with its state; the window layer
// applies those of the popup that is opening.
std::vector<ItemState> MenuItemStates(const ShellState& s);

// The toolbar buttons the after-every-message rules govern. The camera
// buttons follow CommBusy: greyed while a transfer runs.
std::vector<ItemState> ToolbarStates(const ShellState& s);

// True when `id` is listed greyed; false when listed enabled or not listed.
bool IsGreyed(const std::vector<ItemState>& states, int id);

}  // namespace fq::shell
