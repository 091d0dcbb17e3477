// Add to Album: the "Add Album File" dialog and the files it names, read
// and added one after another in the dialog's order (its first and last
// names exchanged) until the album is full or the user cancels in the
// progress dialog.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

void AddPicturesFromFiles(HWND album);

class AddMeter;

// One file into the album by its kind: a BMP as read, a JPEG decoded into
// the samples its thumbnail takes (one named like a movie first gets its
// ".jpg" name, when that name is free), a movie by its first frame. False
// when it was not added (reported). `meter` (may be null) keeps the
// program alive while a JPEG decodes.
bool AddPictureFile(HWND album, const std::string& path, AddMeter* meter = nullptr);

}  // namespace fq::win
