// The version dialog "AboutDlg_Normal".
#pragma once

#include <windows.h>

namespace fq::win {

// Modal over `owner`: centred across, a third of the free height down;
// closed by OK, Cancel or the close box.
void ShowVersionDialog(HWND owner);

}  // namespace fq::win
