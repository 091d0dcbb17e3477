#include "album/win/album_add_files.h"

#include <optional>

#include "album/album_add.h"
#include "album/album_rename.h"
#include "album/win/album_window.h"
#include "base/messages.h"
#include "base/win/message_box.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "image/win/coding_meter.h"
#include "image/win/open_dialog.h"
#include "show/win/movie_picture.h"

namespace fq::win {
namespace {

constexpr char kAddTitle[] = "Add Album File";
constexpr char kAddFilter[] =
    "JPEG Files(*.JPG)\0*.jpg\0Bitmap Files(*.BMP)\0*.bmp\0AVI Files(*.avi)\0*.avi\0";

bool Exists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// A JPEG decoded for the album, with the meter over the frame.
std::optional<ImageRecord> DecodeJpeg(HWND album, const std::string& path) {
  Result<BitmapRead> read = Failure{err::kUnexpected};
  {
    CodingMeter meter(GetParent(GetParent(album)), kExtractingText, album::TitleOf(path));
    read = LoadJpeg(path, meter.Progress());
  }
  if (!read) {
    ShowError(read.message());
    return std::nullopt;
  }
  return std::move(read->record);
}

bool AddJpeg(HWND album, const std::string& path) {
  auto picture = DecodeJpeg(album, path);
  if (!picture) return false;
  // A JPEG named like a movie enters under its ".jpg" name; a name that is
  // taken is never replaced, and a move that fails leaves the file as it
  // was, added under its own name.
  std::string entered = path;
  bool moved = false;
  if (auto jpg = album::JpegNameForMovieName(path);
      jpg && GetFileAttributesA(jpg->c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (MoveFileA(path.c_str(), jpg->c_str())) {
      entered = *jpg;
      moved = true;
    }
  }
  if (AddPicture(album, entered, *picture)) return true;
  if (moved) MoveFileA(entered.c_str(), path.c_str());  // not in the album: its own name back
  return false;
}

}  // namespace

bool AddPictureFile(HWND album, const std::string& path) {
  if (!Exists(path)) {
    ShowError(err::kFileDoesNotExist);
    return false;
  }
  switch (album::PictureKindOf(path)) {
    case album::PictureKind::kBmp: {
      auto read = ReadBitmapFile(path);
      if (!read) {
        ShowError(read.message());
        return false;
      }
      return AddPicture(album, path, read->record) != nullptr;
    }
    case album::PictureKind::kJpeg:
      return AddJpeg(album, path);
    case album::PictureKind::kMovie: {
      // Frame 0 stands for the movie; a file the video library cannot
      // open has its own message.
      auto frame = ReadMovieFrame(path);
      if (!frame) {
        if (frame.message() == err::kFileCannotBeOpened)
          MessageBoxA(nullptr, kAviOpenErrorText, nullptr, MB_OK | MB_TASKMODAL);
        else
          ShowError(err::kCreateBitmap);
        return false;
      }
      return AddPicture(album, path, *frame) != nullptr;
    }
    case album::PictureKind::kOther:
      break;
  }
  ShowError(err::kNoCorrespondence);
  return false;
}

void AddPicturesFromFiles(HWND album) {
  PictureFilesChoice choice =
      RunPictureFilesDialog(GetParent(GetParent(album)), kAddTitle, kAddFilter, album::kSelectionBufferSize);
  if (choice.too_long) ShowError(err::kFileNameTooLong);
  if (!choice.chosen) return;
  Albums().keep_adding = true;
  BatchAddition batch(album);
  for (const std::string& path : album::SelectedPaths(choice.answer)) {
    if (!Albums().keep_adding) break;  // the album is full
    AddPictureFile(album, path);
  }
}

}  // namespace fq::win
