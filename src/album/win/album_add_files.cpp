#include "album/win/album_add_files.h"

#include <memory>
#include <optional>
#include <vector>

#include "album/album_add.h"
#include "album/album_thumbnail.h"
#include "album/album_rename.h"
#include "album/win/album_window.h"
#include "base/messages.h"
#include "base/win/message_box.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "base/cancel_flag.h"
#include "base/win/meter.h"
#include "base/win/pump.h"
#include "base/win/status_dialogs.h"
#include "image/jpeg_sampled.h"
#include "image/win/coding_meter.h"
#include "image/win/open_dialog.h"
#include "show/win/movie_picture.h"

namespace fq::win {

// The progress dialog over a whole addition: made for the first JPEG of
// the batch, its text naming each file in turn, its bar counting the files
// done, its Cancel button offered while more files follow.
class AddMeter {
 public:
  AddMeter(HWND owner, size_t files) : owner_(owner), files_(files) {}
  // Before file `index` (0-based) of the batch.
  void Next(size_t index, const std::string& name) {
    if (!dialog_) {
      dialog_ = std::make_unique<ProgressDialog>(owner_);
      if (!*dialog_) return;
      SetMeterRange(ProgressMeter(dialog_->get()), static_cast<int>(files_));
    }
    if (!*dialog_) return;
    SetProgressText(dialog_->get(), kExtractingText, name);
    SetMeterPos(ProgressMeter(dialog_->get()), static_cast<int>(index));
    OfferCancel(dialog_->get(), index + 1 < files_);
    last_pump_ = GetTickCount();
    PumpMessages();
  }
  // Keeps the program alive while a picture decodes: the queue is looked at
  // every few hundredths of a second, not for every row (each look is a
  // round trip to the window system).
  JpegProgress Progress() {
    return [this](int, int) {
      const DWORD now = GetTickCount();
      if (now - last_pump_ < kPumpEveryMs) return true;
      last_pump_ = now;
      return PumpMessages();
    };
  }

 private:
  HWND owner_;
  size_t files_;
  std::unique_ptr<ProgressDialog> dialog_;
  static constexpr DWORD kPumpEveryMs = 40;
  DWORD last_pump_ = 0;
};

namespace {

constexpr char kAddTitle[] = "Add Album File";
constexpr char kAddFilter[] =
    "JPEG Files(*.JPG)\0*.jpg\0Bitmap Files(*.BMP)\0*.bmp\0AVI Files(*.avi)\0*.avi\0";

bool Exists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The nearest samples of a JPEG at the cell's thumbnail size, decoded
// without making the rows that are not sampled.
std::optional<ImageRecord> DecodeJpeg(const std::string& path, AddMeter* meter) {
  auto picture = DecodeJpegSampled(
      path,
      [](int64_t w, int64_t h) {
        const album::FittedSize f = album::FitThumbnailSize(w, h);
        return SampledSize{f.width, f.height};
      },
      meter ? meter->Progress() : JpegProgress{});
  if (!picture) {
    ShowError(picture.message());
    return std::nullopt;
  }
  return std::move(*picture);
}

bool AddJpeg(HWND album, const std::string& path, AddMeter* meter) {
  auto picture = DecodeJpeg(path, meter);
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

bool AddPictureFile(HWND album, const std::string& path, AddMeter* meter) {
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
      return AddJpeg(album, path, meter);
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
  const std::vector<std::string> paths = album::SelectedPaths(choice.answer);
  Albums().keep_adding = true;
  SetCancelRequested(false);
  BatchAddition batch(album);
  AddMeter meter(GetParent(GetParent(album)), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!Albums().keep_adding || CancelRequested()) break;  // the album is full, or the user stopped
    meter.Next(i, album::TitleOf(paths[i]));
    AddPictureFile(album, paths[i], &meter);
  }
  SetCancelRequested(false);
}

}  // namespace fq::win
