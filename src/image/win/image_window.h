// Image windows: MDI children of class ORXNormalChild that show one picture
// with its zoom, scroll bars and selection rectangle, and the commands the
// frame routes to the active one.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fq::win {

struct ImageDocument;

inline constexpr char kImageWindowClass[] = "ORXNormalChild";

// Registers the image window class; the frame calls it with its other
// classes at start-up. False when the system refuses.
bool RegisterImageWindowClass(HINSTANCE instance);

// The image window's message handling, also used by windows that show a
// picture as an image window does (calendar pages).
LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Opens a JPEG or BMP file (recognised by content) in a new image window of
// the MDI client, titled with the file's name. Failures are shown here; the
// answer says whether a window was opened.
bool OpenImageDocument(HWND mdi_client, const std::string& path);

// When an image window already shows `path`: the box "File with same name
// has already been opened.", that window restored and focused, and true.
// False (and nothing shown) otherwise.
bool RaiseImageWindowShowing(HWND mdi_client, const std::string& path);

// The File Open command: the Open dialog with its preview, then the chosen
// file in an image window. A file that is neither JPEG nor BMP goes to
// `open_other` (albums, calendars and movies open in windows of their own
// kinds), or gives error 23 without one. False when nothing was opened.
using OpenOtherKind = std::function<bool(const std::string& path)>;
bool OpenFileCommand(HWND mdi_client, const OpenOtherKind& open_other = {});

// The image commands of the frame for the active MDI child: zoom (171-175),
// Save (101), Save As (107), Image Information (570), Close (106) and Image
// Cutout (179). False
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
  bool undo_offered = false;     // Undo would act in this window
};
std::optional<ImageWindowState> ImageWindowStateOf(HWND window);

// What the editing commands ask of an image window.

// A minimised or maximised image window is shown restored.
void RestoreImageWindow(HWND window);

// The selection shown in the window, as dragged (picture coordinates).
struct PictureSelection {
  POINT start{}, end{};
};
std::optional<PictureSelection> ShownSelection(HWND window);
// Shows a remembered selection again (a question box took the focus, which
// clears it).
void ShowSelection(HWND window, const PictureSelection& selection);
// Clears the selection and empties status-bar parts 1 to 4.
void ClearImageSelection(HWND window);

// The window sized for its picture at its zoom from its current top-left
// corner, repainted and sent a size message.
void FitImageWindow(HWND window);

// A new image window in the MDI client for a document made in memory (a
// cut-out), moved to lie inside the client area; null when it could not be
// made (the document is then freed).
HWND CreateDocumentWindow(HWND mdi_client, std::unique_ptr<ImageDocument> doc);

}  // namespace fq::win
