// Files dropped on the frame: each is opened in drop order.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace fq::win {

// Opens every dropped file and releases the drop. A file that does not
// exist is reported, as is a name too long for the program's path fields.
void OpenDroppedFiles(HWND mdi_client, HDROP drop);

}  // namespace fq::win
