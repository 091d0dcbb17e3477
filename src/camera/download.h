// Copying the chosen pictures from the camera into the transfer folder:
// one loop per camera family (marker frames, sequenced frames, folders and
// movies), each picture sized, fetched block by block, saved under the next
// free DSC number and filed into an album on the way.
//
// The loop shows its messages through the link's reporter and asks its
// questions and shows its progress through a DownloadView, which the window
// layer fills with the progress dialog, message boxes and album windows, and
// fqtool with lines on its terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "camera/camera_link.h"

namespace fq::cam {

inline constexpr std::string_view kTransferLine = "Now transferring image(Digital Camera -> PC).";
inline constexpr std::string_view kStopTransferText = "Selected image not saved.\nStop transfer.";
inline constexpr std::string_view kRepairedText =
    "The last part of this image was missing in the camera.\nThe image has been repaired.";

// One picture chosen for transfer.
struct TransferItem {
  int number = 0;  // the number shown ("Image No.%d"); types 1 and 2: the camera's own
  int folder = 0;  // type 4: folder and file of the entry
  int file = 0;
};

// Albums that receive the downloads: a new one at the start of each memory
// list, whenever the receiving album has been closed, and (types 2 and 4)
// for every hundred pictures.
struct AlbumFiling {
  bool new_album = true;
  int downloads = 0;   // pictures started since the memory list opened
  bool off = false;    // type 1: the user chose to go on without albums (one batch)
};

class DownloadView {
 public:
  virtual ~DownloadView() = default;
  // The progress dialog, shown once for the batch; false when it cannot be
  // shown (reported).
  virtual bool OpenProgress() = 0;
  virtual void CloseProgress() = 0;
  virtual void SetLines(std::string_view operation, std::string_view detail) = 0;
  virtual void SetMeter(int range, int position) = 0;
  // Cancel offered while more pictures follow; hidden (and a pending request
  // dropped) for the last.
  virtual void OfferCancel(bool more_follow) = 0;
  // A question of the question table; true for Yes.
  virtual bool AskYes(int question) = 0;
  // A message of the download's own (not in the error table), with the
  // error icon.
  virtual void ShowText(std::string_view text) = 0;
  // The "AVIMSG" window while a movie is made.
  virtual void MovieMessage(bool on) = 0;
  // A new untitled album window for the pictures that follow; false when it
  // could not be made (reported).
  virtual bool NewAlbum() = 0;
  // The saved file into the receiving album (a movie by its first frame);
  // false when it was refused (reported).
  virtual bool AddToAlbum(const std::string& path, bool movie) = 0;
  // Makes the movie at `target` (a new file) from the frame files. Failures
  // are reported by the caller with the stop notice; a cancelled choice of
  // compressor is one too.
  virtual Status WriteMovie(std::span<const std::string> parts, uint8_t rate_mode,
                            const std::string& target) = 0;
  // A file was saved (after it took its DSC name).
  virtual void Saved(const std::string& /*path*/, const TransferItem& /*item*/) {}
};

struct DownloadJob {
  std::string folder;   // the transfer folder
  int counter = 0;      // highest number in use (from CheckNumberSpace)
  std::vector<TransferItem> items;
  AlbumFiling* filing = nullptr;  // null: no albums
};

// The loop of the camera type held in the link (1, 2 and 3, or 4). 0 when
// it ran to its end or the user stopped it; otherwise the code of the
// failure that ended it, after its message has been shown (99 when the
// code's own message would say nothing or would repeat one already shown).
int DownloadSelected(CameraLink& link, DownloadJob& job, DownloadView& view);

// The description of a movie in the data of the entry-kind reply: items
// tagged 1, 3, 4 and 5 at offsets 0, 6, 15 and 17; the rate byte (tag 4)
// and the part count (tag 5, 16 bits). Nothing when the tags are misplaced
// or the part count is 0 or above 999.
struct MovieDescription {
  uint8_t rate_mode = 0;
  int parts = 0;
};
inline constexpr int kMaxMovieParts = 999;
std::optional<MovieDescription> ParseMovieDescription(std::span<const uint8_t> data);

}  // namespace fq::cam
