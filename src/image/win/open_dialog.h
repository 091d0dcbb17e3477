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

// The same dialog with its preview for choosing several pictures: its own
// title and filter (pairs of zero-terminated texts), existing files only,
// the answer (one path, or a folder and names) in `buffer_size` bytes. The
// folder is remembered as for RunOpenDialog.
struct PictureFilesChoice {
  bool chosen = false;
  bool too_long = false;   // the choice did not fit the buffer
  std::vector<char> answer;
};
PictureFilesChoice RunPictureFilesDialog(HWND owner, const char* title, const char* filter,
                                         size_t buffer_size);

}  // namespace fq::win
