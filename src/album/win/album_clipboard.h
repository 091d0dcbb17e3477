// Copy, Cut and Paste of album pictures through the clipboard.
#pragma once

#include <windows.h>

namespace fq::win {

// The selected picture of the album to the clipboard (its path and its
// thumbnail); without a selected picture "The photo putting album is not
// selected.". True when the clipboard holds it.
bool CopyAlbumPicture(HWND album);
// Copy, and only when that succeeded, remove the picture from the album.
void CutAlbumPicture(HWND album);
// The clipboard's picture into the album by the rules of adding; a failure
// changes no album.
bool PasteAlbumPicture(HWND album);

}  // namespace fq::win
