// Image windows: MDI children of class ORXNormalChild that show one picture
// with its zoom, scroll bars and selection rectangle, and the commands the
// frame routes to the active one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fq::win {

inline constexpr char kImageWindowClass[] = "ORXNormalChild";

// Registers the image window class; the frame calls it with its other
// classes at start-up. False when the system refuses.
bool RegisterImageWindowClass(HINSTANCE instance);

// Opens a JPEG or BMP file (recognised by content) in a new image window of
// the MDI client, titled with the file's name. Failures are shown here; the
// answer says whether a window was opened.
bool OpenImageDocument(HWND mdi_client, const std::string& path);

// When an image window already shows `path`: the box "File with same name
// has already been opened.", that window restored and focused, and true.
// False (and nothing shown) otherwise.
bool RaiseImageWindowShowing(HWND mdi_client, const std::string& path);

// The File Open command: the Open dialog with its preview, then the chosen
// file in an image window. False when nothing was opened.
bool OpenFileCommand(HWND mdi_client);

// The image commands of the frame for the active MDI child: zoom (171-175),
// Save (101), Save As (107), Image Information (570) and Close (106). False
// when `command_id` is not one of them or `active_child` is not an image
// window, so that the frame handles it elsewhere.
bool ImageWindowCommand(HWND frame, HWND active_child, int command_id);

// True for an image window whose picture changed since it was loaded or
// saved.
bool IsImageWindow(HWND window);
bool IsImageModified(HWND window);

// What the frame's menu reads of an image window; nothing for other windows.
struct ImageWindowState {
  bool modified = false;
  std::string name;       // shown in the title, without zoom and change mark
  int zoom = 100;
  bool selection_shown = false;  // Image Cutout is possible
  bool calendar = false;         // a calendar page: the Image menu is greyed
};
std::optional<ImageWindowState> ImageWindowStateOf(HWND window);

}  // namespace fq::win
