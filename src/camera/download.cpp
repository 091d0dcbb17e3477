#include "camera/download.h"

#include <cstdio>
#include <optional>

#include "base/bytes.h"
#include "base/cancel_flag.h"
#include "base/file_io.h"
#include "base/temp_file.h"
#include "camera/block_loops.h"
#include "camera/commands.h"
#include "camera/link_codes.h"
#include "camera/reply_checks.h"
#include "camera/transfer_folder.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/jpeg_quality.h"
#include "image/jpeg_segments.h"
#include "image/jpeg_upload.h"

namespace fq::cam {
namespace {

constexpr int kAlbumMeterRange = 25;
constexpr int kPicturesPerAlbum = 100;
constexpr uint32_t kMovieMessagePauseMs = 200;

// What one picture came to.
enum class Outcome {
  kNext,  // saved (or dropped by a failure the type goes on after): next picture
  kStop,  // the loop ends with `code`
};

struct Step {
  Outcome outcome = Outcome::kNext;
  int code = rc::kOk;
};
Step Next() { return {}; }
Step Stop(int code) { return {Outcome::kStop, code}; }

class Loop {
 public:
  Loop(CameraLink& link, DownloadJob& job, DownloadView& view)
      : link_(link), job_(job), view_(view) {}

  int Run();

 private:
  Step Type1(const TransferItem& item, bool last);
  Step Type2(const TransferItem& item, bool last);
  Step Type4(const TransferItem& item, bool last);
  Step Movie(const TransferItem& item);

  // The link's code as the end of the loop: shown by its message unless the
  // link already said something since `mark`; 99 when nothing more needs
  // saying, so that the caller shows nothing on top.
  int Reported(int code, int mark);
  int Shown() const { return link_.messages_shown; }
  void Show(int message) { link_.Show(message); }
  void StopNotice() { view_.ShowText(kStopTransferText); }

  // Saves link.picture (picture_size bytes) as the next still. The path, or
  // the failure after its message.
  Result<std::string> SavePicture();
  // Files a saved picture into the album; false when that failed (reported).
  bool File(const std::string& path, bool movie);
  // Types 2 and 4: a new album every hundred pictures.
  void CountForAlbum();
  // The cancel question; true when the user wants to stop.
  bool CancelConfirmed(bool more_follow);
  // Type 1: the picture came with an empty last block.
  Result<std::string> RepairAndSave(int number);

  CameraLink& link_;
  DownloadJob& job_;
  DownloadView& view_;
  size_t index_ = 0;
};

int Loop::Reported(int code, int mark) {
  if (code == rc::kOk || code == rc::kListReported) return code;
  if (Shown() != mark) return rc::kListReported;
  if (auto message = MessageForResult(code)) {
    Show(*message);
    return rc::kListReported;
  }
  Show(err::kTransferError);  // a failure never passes unsaid
  return rc::kListReported;
}

Result<std::string> Loop::SavePicture() {
  auto saved = SaveNewFile(job_.folder, job_.counter, kStillExtension,
                           std::span<const uint8_t>(link_.picture.data(), link_.picture_size));
  if (!saved) Show(saved.message());
  return saved;
}

bool Loop::File(const std::string& path, bool movie) {
  AlbumFiling* f = job_.filing;
  if (!f || f->off) return true;
  view_.SetMeter(kAlbumMeterRange, 0);
  if (f->new_album) {
    f->new_album = false;
    if (!view_.NewAlbum()) return false;
  }
  return view_.AddToAlbum(path, movie);
}

void Loop::CountForAlbum() {
  if (AlbumFiling* f = job_.filing) {
    if (f->downloads % kPicturesPerAlbum == 0) f->new_album = true;
    ++f->downloads;
  }
}

bool Loop::CancelConfirmed(bool more_follow) {
  if (!CancelRequested()) return false;
  SetCancelRequested(false);
  if (view_.AskYes(ask::kCancelTransfer)) return true;
  view_.OfferCancel(more_follow);
  return false;
}

int Loop::Run() {
  if (job_.items.empty()) return rc::kNothingSelected;
  if (!view_.OpenProgress()) return rc::kListReported;
  if (job_.filing) job_.filing->off = false;
  const int total = static_cast<int>(job_.items.size());
  Step step;
  for (index_ = 0; index_ < job_.items.size(); ++index_) {
    const TransferItem& item = job_.items[index_];
    const bool last = index_ + 1 == job_.items.size();
    view_.SetLines(kTransferLine, {});
    view_.SetMeter(0, 0);
    view_.OfferCancel(!last);
    char detail[96];
    std::snprintf(detail, sizeof detail, "Image No.%d ( %d / %d )", item.number,
                  static_cast<int>(index_) + 1, total);
    view_.SetLines(kTransferLine, detail);
    switch (link_.camera_type) {
      case 1: step = Type1(item, last); break;
      case 4: step = Type4(item, last); break;
      default: step = Type2(item, last); break;
    }
    link_.picture.clear();
    link_.picture.shrink_to_fit();
    if (step.outcome == Outcome::kStop || link_.quit_seen) break;
  }
  view_.CloseProgress();
  SetCancelRequested(false);
  return step.code;
}

// ---- Type 1 ----

Result<std::string> Loop::RepairAndSave(int number) {
  // The camera sent nothing for the last block: what came is closed with an
  // end-of-picture marker, decoded and encoded again, and only the new
  // picture takes a DSC name. The received bytes are never left as a file.
  const size_t size = link_.picture_size;
  const size_t last_block = size_t{link_.block_count - 1} * kBlockSize;
  std::fill(link_.picture.begin() + static_cast<std::ptrdiff_t>(last_block), link_.picture.end(), 0);
  if (size >= 2) {
    link_.picture[size - 2] = 0xFF;
    link_.picture[size - 1] = kMarkerEoi;
  }
  io::FileSystem& fs = io::Fs();
  const std::string dir = JoinTransferPath(job_.folder, "");
  auto received = fs.NewUniqueFile(dir, "ORX");
  auto remade = fs.NewUniqueFile(dir, "ORX");
  auto cleanup = [&] {
    if (received) fs.Remove(*received);
    if (remade) fs.Remove(*remade);
  };
  if (!received || !remade) {
    cleanup();
    Show(err::kCannotCreateFile);
    return Failure{err::kCannotCreateFile};
  }
  {
    auto f = fs.Create(*received);
    const int problem = !f ? err::kCannotCreateFile
                           : f->Write(link_.picture.data(), size) == size && f->Close() ? -1
                                                                                          : err::kDiskFull;
    f.reset();
    if (problem >= 0) {
      cleanup();
      Show(problem);
      return Failure{problem};
    }
  }
  int size_class = JpegSizeClass(*received);
  auto picture = LoadJpeg(*received);
  Status encoded = picture ? Status{} : Status(picture.failure());
  if (encoded) {
    auto wide = NormalizeImage(picture->record);
    if (!wide) encoded = wide.failure();
    if (encoded) {
      const ImageRecord& r = wide->Or(picture->record);
      encoded = size_class == kSizeClassUnusable ? ImageToJpegAt80(r, *remade, nullptr)
                                                 : ImageToJpegSizeTargeted(r, *remade, nullptr, size_class);
    }
  }
  fs.Remove(*received);
  received.reset();
  if (!encoded) {
    cleanup();
    Show(encoded.message());
    return Failure{encoded.message()};
  }
  auto named = NameNewFile(job_.folder, job_.counter, kStillExtension, *remade);
  remade.reset();
  if (!named) {
    Show(named.message());
    return named;
  }
  (void)MarkerPictureSize(link_, number);  // the camera is asked once more, as after every repair
  view_.ShowText(kRepairedText);
  return named;
}

Step Loop::Type1(const TransferItem& item, bool last) {
  const int mark = Shown();
  int r = MarkerPictureSize(link_, item.number);
  if (r) return Stop(Reported(r, mark));
  if (link_.picture_size == 0) {
    StopNotice();
    return Stop(rc::kListReported);
  }
  if ((r = AllocatePicture(link_))) return Stop(rc::kListReported);
  view_.SetMeter(static_cast<int>(link_.block_count), 0);
  r = FetchBlocksMarker(link_, [&](uint32_t done) { view_.SetMeter(static_cast<int>(link_.block_count), static_cast<int>(done)); });
  if (r) return Stop(Reported(r, mark));
  auto saved = link_.last_block_empty ? RepairAndSave(item.number) : SavePicture();
  if (!saved) return Stop(rc::kListReported);
  view_.Saved(*saved, item);
  if (!File(*saved, false)) {
    if (view_.AskYes(ask::kTransferOnlyImages)) {
      job_.filing->off = true;
    } else {
      io::Fs().Remove(*saved);
      return Stop(rc::kListReported);
    }
  }
  if (CancelConfirmed(!last)) return Stop(rc::kOk);
  return Next();
}

// ---- Type 2 ----

Step Loop::Type2(const TransferItem& item, bool last) {
  CountForAlbum();
  const int mark = Shown();
  int r = SequencedPictureSize(link_, item.number);
  if (r == rc::kZeroSize) {
    StopNotice();
    return Stop(rc::kListReported);
  }
  if (r) return Stop(Reported(r, mark));
  if ((r = AllocatePicture(link_))) return Stop(rc::kListReported);
  view_.SetMeter(static_cast<int>(link_.block_count), 0);
  const int blocks = FetchBlocksSequenced(link_, BlockTarget::kPicture, [&](uint32_t done) {
    view_.SetMeter(static_cast<int>(link_.block_count), static_cast<int>(done));
  });
  if (CancelRequested()) {
    SetCancelRequested(false);
    if (view_.AskYes(ask::kCancelTransfer)) return Stop(rc::kOk);  // this picture is dropped
    view_.OfferCancel(!last);
  }
  if (blocks != rc::kOk) {
    if (Shown() == mark && !link_.quit_seen) Show(err::kTransferError);
    return Stop(rc::kListReported);
  }
  auto saved = SavePicture();
  if (!saved) return Next();  // shown; the next picture may still fit
  view_.Saved(*saved, item);
  (void)File(*saved, false);  // a refusal has been shown; the batch goes on
  return Next();
}

// ---- Type 4 ----

Step Loop::Type4(const TransferItem& item, bool last) {
  CountForAlbum();
  const int mark = Shown();
  const int kind = SequencedEntryKind(link_, item.folder, item.file);
  Step step;
  if (kind == rc::kMovie) {
    step = Movie(item);
  } else if (kind == rc::kStill || kind == rc::kKindRefused) {
    int r = SequencedPictureSizeOf(link_, item.folder, item.file);
    if (r == rc::kZeroSize) {
      StopNotice();
      return Stop(rc::kListReported);
    }
    if (r) return Stop(Reported(r, mark));
    if ((r = AllocatePicture(link_))) return Stop(rc::kListReported);
    view_.SetMeter(static_cast<int>(link_.block_count), 0);
    r = FetchBlocksSequenced(link_, BlockTarget::kPicture, [&](uint32_t done) {
      view_.SetMeter(static_cast<int>(link_.block_count), static_cast<int>(done));
    });
    if (r) return Stop(Reported(r, mark));
    auto saved = SavePicture();
    if (!saved) return Stop(rc::kListReported);
    view_.Saved(*saved, item);
    if (!File(*saved, false)) return Stop(rc::kListReported);
  } else {
    return Stop(Reported(kind == rc::kOk ? rc::kBadHeader : kind, mark));
  }
  if (step.outcome == Outcome::kStop) return step;
  if (CancelConfirmed(!last)) return Stop(rc::kOk);
  return Next();
}

Step Loop::Movie(const TransferItem& item) {
  const int mark = Shown();
  const auto description = ParseMovieDescription(
      std::span<const uint8_t>(SequencedData(link_), SequencedDataSize(link_.receive[0])));
  if (!description) {
    Show(err::kDataError);
    return Stop(rc::kListReported);
  }
  // Every part goes to a temporary file; the movie is made under a
  // temporary name in the transfer folder and takes its DSC name only when
  // whole. Whatever happens, the parts go again.
  std::vector<std::string> parts;
  struct Parts {
    std::vector<std::string>& list;
    ~Parts() {
      for (std::string& p : list) temp::RemoveTempFile(p);
    }
  } remove_parts{parts};
  auto fail = [&](int code) {
    if (code != rc::kListReported) Reported(code, mark);
    StopNotice();
    return Stop(rc::kListReported);
  };
  view_.SetMeter(description->parts, 0);
  for (int part = 1; part <= description->parts; ++part) {
    int r = SequencedMoviePartSize(link_, item.folder, item.file, part);
    if (r) return fail(r == rc::kZeroSize ? rc::kListReported : r);
    if ((r = AllocatePicture(link_))) return fail(rc::kListReported);
    if ((r = FetchBlocksSequenced(link_, BlockTarget::kMoviePart))) return fail(r);
    auto path = temp::MakeTempFileName();
    if (!path) {
      Show(path.message());
      return fail(rc::kListReported);
    }
    parts.push_back(*path);
    auto f = io::Fs().Create(*path);
    const bool whole = f && f->Write(link_.picture.data(), link_.picture_size) == link_.picture_size &&
                       f->Close();
    if (!whole) {
      Show(f ? err::kDiskFull : err::kCannotCreateFile);
      return fail(rc::kListReported);
    }
    view_.SetMeter(description->parts, part);
  }
  link_.picture.clear();
  view_.MovieMessage(true);
  (void)PumpWait(link_, kMovieMessagePauseMs);
  io::FileSystem& fs = io::Fs();
  auto movie = fs.NewUniqueFile(JoinTransferPath(job_.folder, ""), "ORX");
  Status made = movie ? view_.WriteMovie(parts, description->rate_mode, *movie)
                      : Status(Failure{err::kCannotCreateFile});
  view_.MovieMessage(false);
  if (!made) {
    if (movie) fs.Remove(*movie);
    return fail(rc::kListReported);
  }
  auto named = NameNewFile(job_.folder, job_.counter, kMovieExtension, *movie);
  if (!named) {
    Show(named.message());
    return fail(rc::kListReported);
  }
  view_.Saved(*named, item);
  if (!File(*named, true)) return Stop(rc::kListReported);
  return Next();
}

}  // namespace

std::optional<MovieDescription> ParseMovieDescription(std::span<const uint8_t> data) {
  if (data.size() < 20) return std::nullopt;
  if (data[0] != 1 || data[6] != 3 || data[15] != 4 || data[17] != 5) return std::nullopt;
  MovieDescription d;
  d.rate_mode = data[16];
  d.parts = GetU16(data.data() + 18);
  if (d.parts < 1 || d.parts > kMaxMovieParts) return std::nullopt;
  return d;
}

int DownloadSelected(CameraLink& link, DownloadJob& job, DownloadView& view) {
  return Loop(link, job, view).Run();
}

}  // namespace fq::cam
