// What a file is, decided by its content and never by its name.
#pragma once

#include <string>

namespace fq::shell {

enum class FileKind : int {
  kEmptyName = -1,
  kUnknown = 0,
  kBmp = 1,
  kJpeg = 2,
  kAlbum = 3,
  kCalendar = 4,
  kMovie = 5,
};

// Tests, in this order: JPEG (IsJpegFile), BMP ("BM" in a 14-byte file header), album
// (its signature), calendar (a 1530-byte header starting with the value 131
// or 132), movie ("RIFF" ... "AVI"). A file that cannot be opened is
// kUnknown; an empty name kEmptyName.
FileKind DetectFileKind(const std::string& path);

// What opening a file by name (command line, hand-over, drop) does with it.
enum class OpenAction {
  kBitmap,  // an image window on the file
  kJpeg,    // decoded through a temporary bitmap file, shown under its own name
  kAlbum,   // an album window
  kRefuse,  // error kNoCorrespondence: calendars and movies included
};
OpenAction OpenActionFor(FileKind kind);

}  // namespace fq::shell
