// The album subsystem's entry points: its window classes, the album
// commands the frame routes here, the album selection the menu rules read,
// and what the camera download needs to file pictures into albums.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "image/image_record.h"

namespace fq::win {

// ORXAlbumChild (an MDI child) and ORXAlbumButton (a picture cell).
bool RegisterAlbumWindowClass(HINSTANCE instance);
bool RegisterAlbumButtonClass(HINSTANCE instance);

// Opens an album file in a new album window (File Open, the command line,
// a second start, a drop). An album already open is raised with "File with
// same name has already been opened."; failures are shown here. False when
// nothing opened.
bool OpenAlbumDocument(HWND mdi_client, const std::string& path);
// The album file an album window shows, or "" for any other window.
std::string AlbumDocumentPath(HWND window);
// The picture path of the album cell selected last in any album window.
std::optional<std::string> AlbumSelectionPath();

void NewAlbumCommand(HWND mdi_client);
// Save (101), Save As (107), Image Information (570), Add to Album (143),
// Cut (142), Copy (140) and Paste (141) on the active album window.
void AlbumCommand(HWND album_window, int command_id);

// --- For the camera download -----------------------------------------------

// A new, empty, untitled album window ("Album %d") in the MDI client; null
// when it could not be made (reported).
HWND NewUntitledAlbum(HWND mdi_client);

// Adds the picture file `path` to the album window, its thumbnail made from
// `picture` (already decoded by the caller; the record is not kept). The
// refusals are reported here: the album full ("This album is full."), the
// path already in it, a picture whose thumbnail cannot be made. True when
// the picture was added; the album is then marked changed.
bool AddPictureToAlbum(HWND album_window, const std::string& path, const ImageRecord& picture);

// Calls `notice` once when the album window closes (the user closed it,
// answered the save question, or the frame ended), before the window is
// gone; a later call replaces the notice, an empty one removes it.
void NotifyWhenAlbumCloses(HWND album_window, std::function<void(HWND album_window)> notice);

}  // namespace fq::win
