#include "edit/win/edit_commands.h"

#include "base/command_ids.h"
#include "edit/win/adjust_dialog.h"
#include "edit/win/geometry_commands.h"
#include "edit/win/undo.h"

namespace fq::win {

void EditCommand(HWND image_window, int command_id) {
  switch (command_id) {
    case cmd::kUndo: UndoCommand(image_window); break;
    case cmd::kImageAdjustment: AdjustImageCommand(image_window); break;
    case cmd::kRotateRight:
    case cmd::kRotateLeft: RotateCommand(image_window, command_id); break;
    case cmd::kImageSize: ImageSizeCommand(image_window); break;
  }
}

}  // namespace fq::win

