// The File Open dialog: the explorer-style dialog with the "FILEOPEN"
// template (or "FILEOPEN_JAPAN"), whose hook previews the selected picture.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "image_res.h"

namespace fq::win {

// Control ids of the template.
inline constexpr int kPreviewCheck = IDC_PREVIEW_CHECK;
inline constexpr int kPreviewFrame = IDC_PREVIEW_FRAME;

// The chosen path, or nothing when the user cancelled. The folder of the
// choice and the preview box state are remembered in the settings.
std::optional<std::string> RunOpenDialog(HWND owner);

// A multiple selection of existing JPEG files in the same dialog with its
// preview, titled `title`, in a buffer of `max_chars` characters. Nothing
// chosen when the user cancelled; `too_long` when the selection did not fit
// the buffer. The folder of the choice is remembered.
struct MultipleChoice {
  std::vector<std::string> paths;
  bool too_long = false;
};
MultipleChoice RunMultipleOpenDialog(HWND owner, const char* title, size_t max_chars);

}  // namespace fq::win
