#include "shell/win/drop_files.h"

#include <string>

#include "base/win/message_box.h"
#include "image/win/image_window.h"
#include "shell/command_line.h"
#include "shell/win/open_document.h"

namespace fq::win {

void OpenDroppedFiles(HWND mdi_client, HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    if (length > shell::kMaxFileNameLength) {
      ShowError(err::kFileNameTooLong);
      continue;
    }
    std::string path(length + 1, '\0');
    path.resize(DragQueryFileA(drop, i, path.data(), length + 1));
    // A window that shows the file comes forward even when the file is no
    // longer on disk; only then is a missing file reported.
    if (RaiseImageWindowShowing(mdi_client, path)) continue;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      ShowError(err::kFileDoesNotExist);
      continue;
    }
    OpenDocumentFile(mdi_client, path);
  }
  DragFinish(drop);
}

}  // namespace fq::win
