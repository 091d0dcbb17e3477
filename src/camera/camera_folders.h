// What a type-4 camera holds as the memory list sees it: its storage media,
// the numbered folders of the current medium with their picture counts, and
// the file numbers of each folder once it has been opened. Also the
// thumbnails of any sequenced camera, fetched into memory.
//
// Each call shows its messages where they arise (through the link's
// reporter) and returns the link's result code.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/memory_list.h"

namespace fq::cam {

struct CameraFolder {
  int number = 0;  // 100..999
  int count = 0;   // pictures, as the folder list reported them
  bool opened = false;
  std::vector<int> files;  // file numbers in camera order, once opened
};

struct CameraMedia {
  MediaStatus status;
  int current = 0;  // 1 or 2; 0 when no medium is present
  std::vector<CameraFolder> folders;  // of the current medium
  int chosen = -1;                    // index into folders

  bool Present(int medium) const {
    return (medium == 1 ? status.medium1 : medium == 2 ? status.medium2 : 0) == 1;
  }
  bool AnyPresent() const { return Present(1) || Present(2); }
  CameraFolder* Chosen() {
    return chosen >= 0 && chosen < static_cast<int>(folders.size()) ? &folders[static_cast<size_t>(chosen)]
                                                                    : nullptr;
  }
};

// Pause between the picture counts of two folders, and after a medium
// change.
inline constexpr uint32_t kFolderPauseMs = 300;
inline constexpr uint32_t kMediumSettleMs = 5000;

// Media status (sequenced 18): which media are present and which is
// current. The current medium is data byte 5 when it names a present
// medium, else the first present one.
int ReadMedia(CameraLink& link, CameraMedia& media);

// The folder list of the current medium: the count (1 to 999; 0 means none:
// "This Camera has no stored images." on medium 1 unless medium 2 is
// present, message 3 on medium 2 unless medium 1 is present, and 102), the
// folder numbers page by page (a malformed entry, or fewer than announced:
// message 5 and 30), each folder's picture count with a pumping pause
// between folders; leading folders without pictures are dropped. Replaces
// `media.folders` only on success.
int ReadFolderList(CameraLink& link, CameraMedia& media);

// Opens a folder the first time it is chosen: its count again (sequenced 7)
// and its file numbers by enumeration (sequenced 14), which must rise
// (otherwise message 5 and 30). An empty folder opens with no files.
int OpenFolder(CameraLink& link, CameraFolder& folder);

// Chooses the other medium (sequenced 28; 111 counts as done), waits for
// the camera, reads its folder list and opens its first folder. On failure
// the previous state is kept.
int ChangeMedium(CameraLink& link, CameraMedia& media, int medium);

// A thumbnail as the camera sends it, and the same decoded.
struct Thumbnail {
  bool exists = false;   // false: the camera has none (refusal 6 or size 0)
  std::vector<uint8_t> jpeg;
  ImageRecord picture;   // empty when the bytes do not decode
  ThumbnailDate date;
};

// Fetches the thumbnail of a type-2 picture (`folder` 0) or a type-4 file:
// the size command (22), then the blocks for thumbnails. 0 with `exists`
// false when the camera has none; the link's code on a failure (messages
// as the commands show them).
int FetchThumbnailBytes(CameraLink& link, int number, int folder, int file, Thumbnail& out);
// The road of the memory list: fetched into "dt%d.jpg" in the temporary
// folder, decoded, the file removed again. Bytes that do not decode give an
// entry without picture or date.
int FetchThumbnail(CameraLink& link, int number, int folder, int file, Thumbnail& out);

// Brings the thumbnails of a page into the cache: numbers already cached are
// left as they are (the camera is not asked), the others are fetched with
// `fetch` in button order and stored. Stops at the first failure and gives
// its code; 0 when the page is complete.
using ThumbnailFetch = std::function<int(int number, Thumbnail& out)>;
int FillPage(ThumbnailCache& cache, std::span<const int> numbers, const ThumbnailFetch& fetch);

// The name of the thumbnail file of picture `number`.
std::string ThumbnailFileName(int number);

}  // namespace fq::cam
