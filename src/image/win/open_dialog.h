// The File Open dialog: the explorer-style dialog with the "FILEOPEN"
// template (or "FILEOPEN_JAPAN"), whose hook previews the selected picture.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "image_res.h"

namespace fq::win {

// Control ids of the template.
inline constexpr int kPreviewCheck = IDC_PREVIEW_CHECK;
inline constexpr int kPreviewFrame = IDC_PREVIEW_FRAME;

// The chosen path, or nothing when the user cancelled. The folder of the
// choice and the preview box state are remembered in the settings.
std::optional<std::string> RunOpenDialog(HWND owner);

}  // namespace fq::win
