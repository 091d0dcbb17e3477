#include "shell/menu_state.h"

#include "shell/commands.h"

namespace fq::shell {
namespace {

bool IsImage(const ShellState& s) { return s.document_window && s.kind == WindowKind::kImage; }
bool IsAlbum(const ShellState& s) { return s.document_window && s.kind == WindowKind::kAlbum; }

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

bool PassesSourceExtensionTest(std::string_view name) {
  return EndsWith(name, "jpg") || EndsWith(name, "JPG") || EndsWith(name, "bmp") ||
         EndsWith(name, "BMP");
}

std::vector<ItemState> MenuItemStates(const ShellState& s) {
  const bool image = IsImage(s), album = IsAlbum(s), doc = s.document_window;
  const bool album_info = album && s.album_selection &&
                          PassesSourceExtensionTest(s.album_selection_path);
  const bool image_info = image && PassesSourceExtensionTest(s.image_name);
  return {
      // File
      {cmd::kClose, !doc},
      {cmd::kSaveAs, !doc},
      {cmd::kSave, !(album || (image && s.image_modified))},
      {cmd::kSchedule, !(image && s.image_monthly_calendar)},
      {cmd::kPrint, !(image || album)},
      {cmd::kImageInformation, !(image_info || album_info)},
      // Edit
      {cmd::kAddToAlbum, !album},
      {cmd::kCut, !(album && s.album_selection)},
      {cmd::kCopy, !(album && s.album_selection)},
      {cmd::kPaste, !(album && s.clipboard_picture)},
      {cmd::kUndo, !(image && s.image_undo_offered)},
      // Window: the drawing tools draw on pictures, not on calendar pages or albums
      {cmd::kToolOnOff, (image && s.image_calendar) || album},
      // Window
      {cmd::kArrangeIcons, !s.any_child_minimized},
      {cmd::kTile, !doc},
      {cmd::kCascade, !doc},
      {cmd::kCloseAll, !doc},
  };
}

std::vector<ItemState> ToolbarStates(const ShellState& s) {
  const bool image = IsImage(s), album = IsAlbum(s), doc = s.document_window;
  return {
      {cmd::kButtonSaveAs, !doc},
      {cmd::kButtonPrint, !(image || album)},
      {cmd::kButtonAddToAlbum, !album},
      {cmd::kButtonCut, !(album && s.album_selection)},
      {cmd::kButtonCopy, !(album && s.album_selection)},
      {cmd::kButtonPaste, !(album && s.clipboard_picture)},
      {cmd::kButtonTile, !doc},
      {cmd::kButtonCascade, !doc},
      {cmd::kButtonDataIn, s.comm_busy},
      {cmd::kButtonDataOut, s.comm_busy},
  };
}

bool IsGreyed(const std::vector<ItemState>& states, int id) {
  for (const ItemState& st : states)
    if (st.id == id) return st.greyed;
  return false;
}

}  // namespace fq::shell
