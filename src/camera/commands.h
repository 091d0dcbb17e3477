// One operation per camera command: each prepares its frame, sends it,
// waits for the reply with the command's deadline, checks the reply and
// tries again on the command's retry codes. Results are the link's codes
// (link_codes.h); values from replies land in the arguments or the link.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "base/messages.h"

namespace fq::cam {

// Command codes.
namespace cmd {
inline constexpr uint8_t kUpload = 0;
inline constexpr uint8_t kIdentify = 2;
inline constexpr uint8_t kSpeed = 4;
inline constexpr uint8_t kUploadData = 5;
inline constexpr uint8_t kPictureList = 7;   // marker; sequenced: picture count
inline constexpr uint8_t kFolderTotal = 10;
inline constexpr uint8_t kFolderPage = 12;
inline constexpr uint8_t kNextFile = 14;
inline constexpr uint8_t kStart = 16;
inline constexpr uint8_t kDelete = 17;
inline constexpr uint8_t kMediaStatus = 18;
inline constexpr uint8_t kViewfinder = 20;
inline constexpr uint8_t kUploadStart = 21;  // marker: recording mode
inline constexpr uint8_t kThumbnailSize = 22;
inline constexpr uint8_t kMoviePartSize = 23;
inline constexpr uint8_t kEntryKind = 24;
inline constexpr uint8_t kPictureSize = 26;
inline constexpr uint8_t kSelectMedium = 28;
inline constexpr uint8_t kBlock = 30;
inline constexpr uint8_t kEnd = 31;
inline constexpr uint8_t kSetClock = 52;
inline constexpr uint8_t kReadClock = 53;
inline constexpr uint8_t kProbe = 56;
}  // namespace cmd

// Reply codes.
namespace reply {
inline constexpr uint8_t kBlock = 0;
inline constexpr uint8_t kAck = 1;
inline constexpr uint8_t kIdentity = 3;
inline constexpr uint8_t kBlockSequenced = 5;
inline constexpr uint8_t kList = 8;
inline constexpr uint8_t kFolderTotal = 11;
inline constexpr uint8_t kFolderPage = 13;
inline constexpr uint8_t kNextFile = 15;
inline constexpr uint8_t kMediaStatus = 19;
inline constexpr uint8_t kEntryKind = 25;
inline constexpr uint8_t kSize = 29;
inline constexpr uint8_t kClockItem = 54;
}  // namespace reply

// Retry codes of a command, as a set.
namespace retry {
inline constexpr unsigned kRetry = 1;    // 33
inline constexpr unsigned kBusy = 2;     // 34
inline constexpr unsigned kTimeout = 4;  // 100
inline constexpr unsigned kAll = kRetry | kBusy | kTimeout;
}  // namespace retry

struct CommandRule {
  uint32_t deadline_ms = 5000;
  int attempts = 20;
  unsigned retry_on = retry::kAll;
  int exhausted_message = err::kCannotAccessCamera;  // shown when every attempt ended in a retry code; -1 none
};

bool IsRetried(unsigned retry_on, int code);

// Examines a received reply; `report` is set on the last attempt, the only
// one whose header, checksum and length faults are shown.
using ReplyCheck = std::function<int(CameraLink&, bool report)>;
// Sends the prepared frame and checks each reply until a code outside the
// rule's retry set comes, the attempts are used up or a quit message was
// seen. A reply that fails its checks counts as no reply and is tried
// again; when the last attempt ends so, its check has shown the data error
// and the rule's message is not shown on top.
int RunMarkerCommand(CameraLink& link, const CommandRule& rule, const ReplyCheck& check);
int RunSequencedCommand(CameraLink& link, const CommandRule& rule, const ReplyCheck& check);

// ---- Marker commands (type 1, and every camera before identification) ----

// Start (16) with data byte 0.
int MarkerStart(CameraLink& link);
// Picture list (7): fills link.listed, link.picture_modes and
// link.picture_count. No pictures: message 26 and 102.
int MarkerPictureList(CameraLink& link);
// Picture numbers that travel in one byte: the marker commands and the
// size and deletion commands of a type-2 camera. A number outside 1..255
// cannot be named: the command is refused before anything is sent, with
// "Command cannot be executed.", and gives kListReported (already shown).
inline constexpr int kLargestOneBytePicture = 255;

// Delete (17) and viewfinder preview (20) of a picture number.
int MarkerDelete(CameraLink& link, int number);
int MarkerViewfinder(CameraLink& link, int number);
// Recording mode of the next upload (21).
int MarkerRecordingMode(CameraLink& link, uint8_t mode);
// Picture size (26): sets link.picture_size and link.block_count.
int MarkerPictureSize(CameraLink& link, int number);
// One attempt at a picture block (30) into link.picture; checks reported
// when `report`.
int MarkerBlockOnce(CameraLink& link, uint32_t block, bool report);
// End (31).
int MarkerEnd(CameraLink& link);
// Upload (0): header announcing `size`, then the picture in writes of at
// most 256 bytes (`between` runs before each write), then the
// acknowledgement within 5000 ms.
int MarkerUpload(CameraLink& link, const uint8_t* picture, size_t size,
                 const std::function<void(size_t written)>& between = {});

// ---- Sequenced commands (types 2 to 4) ----

// A folder number as the camera writes it: three digits and a zero.
void PutFolderText(uint8_t* out, int folder);
// A file number: four digits.
void PutFileText(uint8_t* out, int file);

int SequencedStart(CameraLink& link);
// Picture count of a type-2 camera (7): 0 shows message 26 and gives 102.
int SequencedPictureCount(CameraLink& link, int& count);
// Picture count of a folder (7 with the folder); 0 gives 102.
int SequencedFolderCount(CameraLink& link, int folder, int& count);
// Number of folders on the current medium (10), 0 to 999.
int SequencedFolderTotal(CameraLink& link, int& folders);
// A page of folder numbers (12); entries that are not three digits and a
// zero read as -1.
int SequencedFolderPage(CameraLink& link, std::vector<int>& folders);
// Next file of a folder after `file` (14); 0 gives 102.
int SequencedNextFile(CameraLink& link, int folder, int file, int& next);
int SequencedDelete(CameraLink& link, int number);
int SequencedDeleteFile(CameraLink& link, int folder, int file);

struct MediaStatus {
  uint8_t medium1 = 0;  // 0 to 4; 1 = present
  uint8_t medium2 = 0;
  uint8_t current = 0;  // 1 or 2
};
int SequencedMediaStatus(CameraLink& link, MediaStatus& status);
// Upload start (21) with the picture size.
int SequencedUploadStart(CameraLink& link, uint32_t size);
// Thumbnail size (22): sets link.picture_size/block_count; 0 or a refusal
// 6 gives 102.
int SequencedThumbnailSize(CameraLink& link, int number);
int SequencedThumbnailSizeOf(CameraLink& link, int folder, int file);
// Movie part size (23); 0 gives 103.
int SequencedMoviePartSize(CameraLink& link, int folder, int file, int part);
// Entry kind (24): 108 movie, 109 still, 110 refused; the movie
// description stays in the receive buffer.
int SequencedEntryKind(CameraLink& link, int folder, int file);
// Picture size (26); 0 gives 103.
int SequencedPictureSize(CameraLink& link, int number);
int SequencedPictureSizeOf(CameraLink& link, int folder, int file);
// Select medium (28); 0 or 111.
int SequencedSelectMedium(CameraLink& link, int medium);
// One attempt at a picture block (30) with the link's send sequence; a
// good reply's 1024 bytes go to block × 1024 of link.picture.
int SequencedBlockOnce(CameraLink& link, uint32_t block, bool report, bool thumbnail);
// End (31): sent once, 1000 ms, reply not examined.
void SequencedEnd(CameraLink& link);
// Clock items (52, 53).
int SequencedSetClockItem(CameraLink& link, uint8_t item, uint8_t flag, uint16_t value);
// Type 2 sends the item code only; types 3 and 4 the code and flag. The
// first two data bytes of the reply land in `value` (least significant
// first).
int SequencedReadClockItem(CameraLink& link, uint8_t item, uint8_t flag, uint16_t& value);
// Type probe (56): one attempt; turns type 2 into 3 when the reply data
// starts FF FF. Unanswered: "Cannot access Camera." and the code.
int SequencedTypeProbe(CameraLink& link);
// Upload data (5): one 1024-byte block with sequence = block index; the
// reply carries sequence 0. `data` holds at most 1024 bytes, zero padded.
int SequencedUploadBlock(CameraLink& link, uint32_t block, const uint8_t* data, size_t n);

// Sizes announced by the camera: bounded, then the block count.
int AcceptPictureSize(CameraLink& link, uint32_t size);

}  // namespace fq::cam
