#include "edit/win/edit_commands.h"

#include "base/win/not_available.h"

namespace fq::win {

bool TextToolHoldsText() { return false; }
void FixToolText() {}
void FocusToolText() {}
void AbandonToolText() {}
void NotifyDrawingTools(HWND) {}
void ShowToolWindow(HWND, bool) {}
void EditCommand(HWND, int) { ShowNotAvailable(); }

}  // namespace fq::win
