// The album subsystem's entry points for the frame: its window classes, the
// album commands and the album selection the menu rules read. Album windows
// are not built yet: the classes are registered with a placeholder window
// procedure and the commands show the not-available notice.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fq::win {

// ORXAlbumChild (an MDI child) and ORXAlbumButton (a picture cell).
bool RegisterAlbumWindowClass(HINSTANCE instance);
bool RegisterAlbumButtonClass(HINSTANCE instance);

// Opens an album file in a new album window; false when nothing opened.
bool OpenAlbumDocument(HWND mdi_client, const std::string& path);
// The album file an album window shows, or "" for any other window.
std::string AlbumDocumentPath(HWND window);
// The picture path of the album cell selected last in any album window.
std::optional<std::string> AlbumSelectionPath();

void NewAlbumCommand(HWND mdi_client);
// Save (101), Save As (107), Image Information (570), Add to Album (143),
// Cut (142), Copy (140) and Paste (141) on the active album window.
void AlbumCommand(HWND album_window, int command_id);

}  // namespace fq::win
