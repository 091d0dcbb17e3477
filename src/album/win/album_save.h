// The save dialog of an album: "Album Files(*.ALB)", the name completed
// with ".alb" before anything is asked, and the replace question for that
// final name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fq::win {

// The final path chosen, or nothing when the dialog was cancelled.
std::optional<std::string> RunAlbumSaveDialog(HWND owner, const std::string& current_path);

}  // namespace fq::win
