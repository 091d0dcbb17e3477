#include "camera/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera/reply_checks.h"

namespace fq::cam {
namespace {

constexpr CommandRule kAnswer20{5000, 20, retry::kTimeout};             // 20; 100
constexpr CommandRule kAnswer20Long{8000, 20, retry::kTimeout};         // 20; 100 at 8 s
constexpr CommandRule kRetryAll{5000, 20, retry::kAll};                 // 20; 33, 34, 100
constexpr CommandRule kRetryAllLong{8000, 20, retry::kAll};
constexpr CommandRule kRetryNoBusy{5000, 20, retry::kRetry | retry::kTimeout};
constexpr CommandRule kRetryNoBusyLong{8000, 20, retry::kRetry | retry::kTimeout};
constexpr uint32_t kBlockDeadlineMs = 10000;
constexpr uint32_t kEndDeadlineMs = 1000;
constexpr size_t kUploadChunk = 256;
constexpr uint8_t kAckRefusedNoThumbnail = 6;
constexpr uint8_t kAckRefusedKind = 7;

int RunWith(CameraLink& link, const CommandRule& rule, const ReplyCheck& check,
            int (*exchange)(CameraLink&, uint32_t)) {
  int code = rc::kTimeout;
  for (int attempt = 1; attempt <= rule.attempts; ++attempt) {
    code = exchange(link, rule.deadline_ms);
    if (code == rc::kOk) code = check(link, attempt == rule.attempts);
    if (!IsRetried(rule.retry_on, code) && !IsGarbledReply(code)) return code;
    if (link.quit_seen) return code;  // the application is closing: no more attempts, no box
  }
  if (IsGarbledReply(code)) return code;  // the last check has shown the data error
  if (rule.exhausted_message >= 0) link.Show(rule.exhausted_message);
  return code;
}

// A picture number as the one byte the command carries; refused with a
// message when the number does not fit.
bool OneBytePicture(CameraLink& link, int number, uint8_t& byte) {
  if (number < 1 || number > kLargestOneBytePicture) {
    link.Show(err::kCommandCannotExecute);
    return false;
  }
  byte = static_cast<uint8_t>(number);
  return true;
}

int Marker(CameraLink& link, uint8_t command, const uint8_t* data, size_t n,
           const CommandRule& rule, const ReplyCheck& check) {
  PrepareMarker(link, command, data, n);
  return RunMarkerCommand(link, rule, check);
}

int MarkerByte(CameraLink& link, uint8_t command, uint8_t byte, const CommandRule& rule) {
  return Marker(link, command, &byte, 1, rule, CheckMarkerAck);
}

int Sequenced(CameraLink& link, uint8_t k, uint8_t command, const uint8_t* data, size_t n,
              const CommandRule& rule, const ReplyCheck& check) {
  link.send_sequence = 0;
  link.expected_sequence = 0;
  PrepareSequenced(link, k, link.send_sequence, command, data, n);
  return RunSequencedCommand(link, rule, check);
}

// A reply with data: a checksum mismatch is a data fault (30), reported on
// the last attempt; the code must match.
ReplyCheck DataReply(uint8_t code) {
  return [code](CameraLink& l, bool report) { return CheckSequencedReply(l, code, true, report); };
}
ReplyCheck PlainReply(uint8_t code) {
  return [code](CameraLink& l, bool report) { return CheckSequencedReply(l, code, false, report); };
}

bool IsAckRefusal(CameraLink& link, uint8_t refusal) {
  const uint8_t* f = link.receive.data();
  return f[3] == reply::kAck && SequencedData(link)[0] == refusal &&
         f[kSequencedDataOffset + SequencedDataSize(f[0])] == SequencedChecksum(f, f[0]);
}

void FolderFile(uint8_t* out, int folder, int file) {
  PutFolderText(out, folder);
  PutFileText(out + 4, file);
}

int SizeReply(CameraLink& link, uint8_t command, const uint8_t* data, size_t n, uint8_t k,
              int zero_code, bool refusal_is_empty) {
  uint32_t size = 0;
  int code = Sequenced(link, k, command, data, n, kRetryNoBusy, [&](CameraLink& l, bool report) {
    if (refusal_is_empty && IsAckRefusal(l, kAckRefusedNoThumbnail)) return rc::kNothing;
    if (int r = CheckSequencedReply(l, reply::kSize, true, report)) return r;
    size = GetLittle32(SequencedData(l));
    return rc::kOk;
  });
  if (code != rc::kOk) return code;
  if (size == 0) return zero_code;
  return AcceptPictureSize(link, size);
}

int ParseDigits(const uint8_t* p, int count) {
  int v = 0;
  for (int i = 0; i < count; ++i) {
    if (p[i] < '0' || p[i] > '9') return -1;
    v = v * 10 + (p[i] - '0');
  }
  return v;
}

}  // namespace

bool IsRetried(unsigned retry_on, int code) {
  return (code == rc::kRetry && (retry_on & retry::kRetry)) ||
         (code == rc::kBusy && (retry_on & retry::kBusy)) ||
         (code == rc::kTimeout && (retry_on & retry::kTimeout));
}

int RunMarkerCommand(CameraLink& link, const CommandRule& rule, const ReplyCheck& check) {
  return RunWith(link, rule, check, SendAndReceive);
}

int RunSequencedCommand(CameraLink& link, const CommandRule& rule, const ReplyCheck& check) {
  return RunWith(link, rule, check, SendBytewiseAndReceive);
}

int AcceptPictureSize(CameraLink& link, uint32_t size) {
  if (size > kMaxPictureBytes) {
    link.Show(err::kDataError);
    return rc::kBadHeader;
  }
  link.picture_size = size;
  link.block_count = static_cast<uint32_t>((size_t{size} + kBlockSize - 1) / kBlockSize);
  return rc::kOk;
}

// ---- Marker commands ----

int MarkerStart(CameraLink& link) { return MarkerByte(link, cmd::kStart, 0, kRetryAllLong); }

int MarkerPictureList(CameraLink& link) {
  int code = Marker(link, cmd::kPictureList, nullptr, 0, kAnswer20, [](CameraLink& l, bool report) {
    if (int r = CheckMarkerHeader(l, report)) return r;
    return CheckMarkerCode(l, reply::kList);
  });
  if (code != rc::kOk) return code;
  // Only the pairs actually received count, and only numbers the modes
  // table has room for; each picture keeps the number the camera gave it.
  link.picture_modes.fill(255);
  link.listed.clear();
  link.picture_count = 0;
  const uint8_t* d = MarkerData(link);
  const size_t pairs = std::min<size_t>(link.reply_data_kept / 2, kMaxType1Pictures);
  for (size_t i = 0; i < pairs; ++i) {
    int number = d[2 * i];
    if (number < 1 || number > kMaxType1Pictures) continue;
    if (link.picture_modes[number - 1] == 255) ++link.picture_count;
    link.picture_modes[number - 1] = d[2 * i + 1];
  }
  for (int n = 1; n <= kMaxType1Pictures; ++n)
    if (link.picture_modes[n - 1] != 255) link.listed.push_back({n, link.picture_modes[n - 1]});
  if (link.picture_count == 0) {
    link.Show(err::kNoStoredImages);
    return rc::kNothing;
  }
  return rc::kOk;
}

int MarkerDelete(CameraLink& link, int number) {
  uint8_t n = 0;
  if (!OneBytePicture(link, number, n)) return rc::kListReported;
  return MarkerByte(link, cmd::kDelete, n, kAnswer20Long);
}

int MarkerViewfinder(CameraLink& link, int number) {
  uint8_t n = 0;
  if (!OneBytePicture(link, number, n)) return rc::kListReported;
  return MarkerByte(link, cmd::kViewfinder, n, {10000, 20, retry::kTimeout});
}

int MarkerRecordingMode(CameraLink& link, uint8_t mode) {
  return MarkerByte(link, cmd::kUploadStart, static_cast<uint8_t>(mode & 0x0F), kAnswer20);
}

int MarkerPictureSize(CameraLink& link, int number) {
  uint8_t n = 0;
  if (!OneBytePicture(link, number, n)) return rc::kListReported;
  int code = Marker(link, cmd::kPictureSize, &n, 1, kAnswer20, [](CameraLink& l, bool report) {
    return CheckMarkerReply(l, reply::kSize, 4, report);
  });
  if (code != rc::kOk) return code;
  return AcceptPictureSize(link, GetBigEndian32(MarkerData(link)));
}

int MarkerBlockOnce(CameraLink& link, uint32_t block, bool report) {
  const uint8_t number[2] = {static_cast<uint8_t>(block >> 8), static_cast<uint8_t>(block)};
  PrepareMarker(link, cmd::kBlock, number, 2);
  int code = SendAndReceive(link, kBlockDeadlineMs);
  if (code != rc::kOk) return code;
  if (int r = CheckMarkerHeader(link, report)) return r;
  if (int r = CheckMarkerCode(link, reply::kBlock)) return r;
  if (link.reply_data_length > kBlockSize) {
    if (report) link.Show(err::kDataError);
    return rc::kDataLength;
  }
  return rc::kOk;
}

int MarkerEnd(CameraLink& link) {
  return Marker(link, cmd::kEnd, nullptr, 0, kAnswer20, CheckMarkerAck);
}

int MarkerUpload(CameraLink& link, const uint8_t* picture, size_t size,
                 const std::function<void(size_t)>& between) {
  if (size == 0 || size > kMaxPictureBytes) {
    link.Show(err::kFileCannotBeOpened);
    return rc::kBadValue;
  }
  link.send_length = static_cast<uint32_t>(BuildMarkerFrame(
      link.send.data(), link.send.size(), cmd::kUpload, static_cast<uint32_t>(size), nullptr, 0));
  if (!link.port.Purge()) {
    link.Show(err::kTransferError);
    return rc::kPurge;
  }
  auto write = [&](const uint8_t* p, size_t n) {
    if (link.port.Write(p, n) == n) return true;
    link.Show(err::kCannotAccessCamera);
    return false;
  };
  if (!write(link.send.data(), link.send_length)) return rc::kWrite;
  for (size_t done = 0; done < size;) {
    if (between) between(done);
    size_t n = std::min(kUploadChunk, size - done);
    if (!write(picture + done, n)) return rc::kWrite;
    done += n;
  }
  int code = ReceiveMarkerReply(link, 5000);
  if (code == rc::kTimeout) {
    link.Show(err::kCannotAccessCamera);
    return code;
  }
  if (code != rc::kOk) return code;
  return CheckMarkerAck(link);
}

// ---- Sequenced commands ----

void PutFolderText(uint8_t* out, int folder) {
  char text[8];
  std::snprintf(text, sizeof text, "%03d", std::clamp(folder, 0, 999));
  std::memcpy(out, text, 3);
  out[3] = 0;
}

void PutFileText(uint8_t* out, int file) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", std::clamp(file, 0, 9999));
  std::memcpy(out, text, 4);
}

int SequencedStart(CameraLink& link) {
  const uint8_t zero = 0;
  return Sequenced(link, kind::kShort, cmd::kStart, &zero, 1, kRetryAllLong, CheckSequencedAck);
}

namespace {
int CountReply(CameraLink& link, const uint8_t* data, size_t n, int limit, int& count) {
  count = 0;
  int code = Sequenced(link, kind::kShort, cmd::kPictureList, data, n, kRetryAll,
                       DataReply(reply::kList));
  if (code != rc::kOk) return code;
  int value = GetLittle16(SequencedData(link));
  if (value > limit) {
    link.Show(err::kDataError);
    return rc::kBadHeader;
  }
  count = value;
  return value == 0 ? rc::kNothing : rc::kOk;
}
}  // namespace

int SequencedPictureCount(CameraLink& link, int& count) {
  int code = CountReply(link, nullptr, 0, kMaxType2Pictures, count);
  if (code == rc::kNothing) link.Show(err::kNoStoredImages);
  if (code == rc::kOk || code == rc::kNothing) link.picture_count = count;
  return code;
}

int SequencedFolderCount(CameraLink& link, int folder, int& count) {
  uint8_t data[4];
  PutFolderText(data, folder);
  return CountReply(link, data, sizeof data, kMaxFolderPictures, count);
}

int SequencedFolderTotal(CameraLink& link, int& folders) {
  folders = 0;
  int code = Sequenced(link, kind::kShort, cmd::kFolderTotal, nullptr, 0, kRetryAll,
                       PlainReply(reply::kFolderTotal));
  if (code != rc::kOk) return code;
  uint32_t value = GetLittle32(SequencedData(link));
  if (value > static_cast<uint32_t>(kMaxFolders)) {
    link.Show(err::kDataError);
    return rc::kBadHeader;
  }
  folders = static_cast<int>(value);
  return rc::kOk;
}

int SequencedFolderPage(CameraLink& link, std::vector<int>& folders) {
  folders.clear();
  int code = Sequenced(link, kind::kShort, cmd::kFolderPage, nullptr, 0, kRetryAll,
                       PlainReply(reply::kFolderPage));
  if (code != rc::kOk) return code;
  const uint8_t* d = SequencedData(link);
  const size_t entries = SequencedDataSize(link.receive[0]) / 4;
  for (size_t i = 0; i < entries; ++i) {
    const uint8_t* e = d + 4 * i;
    folders.push_back(e[3] == 0 ? ParseDigits(e, 3) : -1);
  }
  return rc::kOk;
}

int SequencedNextFile(CameraLink& link, int folder, int file, int& next) {
  next = 0;
  uint8_t data[9];
  FolderFile(data, folder, file);
  data[8] = 1;
  int code = Sequenced(link, kind::kShort, cmd::kNextFile, data, sizeof data, kRetryNoBusy,
                       DataReply(reply::kNextFile));
  if (code != rc::kOk) return code;
  uint32_t value = GetLittle32(SequencedData(link));
  if (value > static_cast<uint32_t>(kMaxFileNumber)) {
    link.Show(err::kDataError);
    return rc::kBadHeader;
  }
  next = static_cast<int>(value);
  return next == 0 ? rc::kNothing : rc::kOk;
}

int SequencedDelete(CameraLink& link, int number) {
  uint8_t n = 0;
  if (!OneBytePicture(link, number, n)) return rc::kListReported;
  return Sequenced(link, kind::kShort, cmd::kDelete, &n, 1, kRetryNoBusyLong, CheckSequencedAck);
}

int SequencedDeleteFile(CameraLink& link, int folder, int file) {
  uint8_t data[8];
  FolderFile(data, folder, file);
  return Sequenced(link, kind::kShort, cmd::kDelete, data, sizeof data, kRetryNoBusyLong,
                   CheckSequencedAck);
}

int SequencedMediaStatus(CameraLink& link, MediaStatus& status) {
  return Sequenced(link, kind::kShort, cmd::kMediaStatus, nullptr, 0, kRetryNoBusyLong,
                   [&](CameraLink& l, bool report) {
                     if (int r = CheckSequencedReply(l, reply::kMediaStatus, false, report)) return r;
                     const uint8_t* d = SequencedData(l);
                     if (d[0] != 1 || d[2] != 2 || d[4] != 3 || d[1] > 4 || d[3] > 4)
                       return rc::kRetry;
                     status = {d[1], d[3], d[5]};
                     return rc::kOk;
                   });
}

int SequencedUploadStart(CameraLink& link, uint32_t size) {
  uint8_t data[4];
  PutLittle32(data, size);
  return Sequenced(link, kind::kShort, cmd::kUploadStart, data, 4, kRetryNoBusy,
                   CheckSequencedAck);
}

int SequencedThumbnailSize(CameraLink& link, int number) {
  uint8_t data[4];
  PutLittle32(data, static_cast<uint32_t>(number));
  return SizeReply(link, cmd::kThumbnailSize, data, 4, kind::kShort, rc::kNothing, true);
}

int SequencedThumbnailSizeOf(CameraLink& link, int folder, int file) {
  uint8_t data[8];
  FolderFile(data, folder, file);
  return SizeReply(link, cmd::kThumbnailSize, data, 8, kind::kShort, rc::kNothing, true);
}

int SequencedMoviePartSize(CameraLink& link, int folder, int file, int part) {
  uint8_t data[12];
  FolderFile(data, folder, file);
  data[8] = 0;
  char text[8];
  std::snprintf(text, sizeof text, "%03d", std::clamp(part, 0, 999));
  std::memcpy(data + 9, text, 3);
  return SizeReply(link, cmd::kMoviePartSize, data, 12, kind::kMedium, rc::kZeroSize, false);
}

int SequencedEntryKind(CameraLink& link, int folder, int file) {
  uint8_t data[8];
  FolderFile(data, folder, file);
  return Sequenced(link, kind::kShort, cmd::kEntryKind, data, 8, kRetryAll,
                   [](CameraLink& l, bool report) {
    if (IsAckRefusal(l, kAckRefusedKind) && CheckSequencedHeader(l, false) == rc::kOk)
      return rc::kKindRefused;
    if (int r = CheckSequencedReply(l, reply::kEntryKind, false, report)) return r;
    switch (SequencedData(l)[5]) {
      case 0: return rc::kMovie;
      case 1: return rc::kStill;
      default:
        if (report) l.Show(err::kDataError);
        return rc::kBadHeader;
    }
  });
}

int SequencedPictureSize(CameraLink& link, int number) {
  uint8_t n = 0;
  if (!OneBytePicture(link, number, n)) return rc::kListReported;
  return SizeReply(link, cmd::kPictureSize, &n, 1, kind::kShort, rc::kZeroSize, false);
}

int SequencedPictureSizeOf(CameraLink& link, int folder, int file) {
  uint8_t data[8];
  FolderFile(data, folder, file);
  return SizeReply(link, cmd::kPictureSize, data, 8, kind::kShort, rc::kZeroSize, false);
}

int SequencedSelectMedium(CameraLink& link, int medium) {
  const uint8_t m = static_cast<uint8_t>(medium);
  return Sequenced(link, kind::kShort, cmd::kSelectMedium, &m, 1, kRetryNoBusyLong,
                   CheckSequencedAck);
}

int SequencedBlockOnce(CameraLink& link, uint32_t block, bool report, bool thumbnail) {
  uint8_t number[2];
  PutLittle16(number, static_cast<uint16_t>(block));
  PrepareSequenced(link, kind::kShort, link.send_sequence, cmd::kBlock, number, 2);
  int code = SendBytewiseAndReceive(link, kBlockDeadlineMs);
  if (code != rc::kOk) return code;
  if (thumbnail && IsAckRefusal(link, kAckRefusedNoThumbnail)) return rc::kNothing;
  if (int r = CheckSequencedHeader(link, report)) return r;
  if (int r = CheckSequencedCode(link, reply::kBlockSequenced)) return r;
  if (link.receive[0] != kind::kLong) {
    if (report) link.Show(err::kDataError);
    return rc::kBadHeader;
  }
  if (int r = CheckSequencedSum(link, true, report)) return r;
  const size_t at = size_t{block} * kBlockSize;
  if (at + kBlockSize > link.picture.size()) return rc::kBadHeader;
  std::memcpy(link.picture.data() + at, SequencedData(link), kBlockSize);
  return rc::kOk;
}

void SequencedEnd(CameraLink& link) {
  link.send_sequence = 0;
  link.expected_sequence = 0;
  PrepareSequenced(link, kind::kShort, 0, cmd::kEnd);
  (void)SendBytewiseAndReceive(link, kEndDeadlineMs);
}

int SequencedSetClockItem(CameraLink& link, uint8_t item, uint8_t flag, uint16_t value) {
  uint8_t data[4] = {item, flag, 0, 0};
  PutLittle16(data + 2, value);
  return Sequenced(link, kind::kShort, cmd::kSetClock, data, 4, kRetryNoBusy, CheckSequencedAck);
}

int SequencedReadClockItem(CameraLink& link, uint8_t item, uint8_t flag, uint16_t& value) {
  const uint8_t data[2] = {item, flag};
  const size_t n = link.camera_type == 2 ? 1 : 2;
  int code = Sequenced(link, kind::kShort, cmd::kReadClock, data, n, kRetryNoBusy,
                       PlainReply(reply::kClockItem));
  if (code == rc::kOk) value = GetLittle16(SequencedData(link));
  return code;
}

int SequencedTypeProbe(CameraLink& link) {
  const uint8_t data[2] = {14, 0};
  // One attempt; unanswered (or answered with something else) it has used
  // up its attempts like any command, and says so.
  int code = Sequenced(link, kind::kShort, cmd::kProbe, data, 2,
                       {5000, 1, retry::kRetry | retry::kTimeout, err::kCannotAccessCamera},
                       PlainReply(reply::kClockItem));
  if (code != rc::kOk) return code;
  const uint8_t* d = SequencedData(link);
  if (link.camera_type == 2 || link.camera_type == 3)
    link.camera_type = (d[0] == 0xFF && d[1] == 0xFF) ? 3 : 2;
  return rc::kOk;
}

int SequencedUploadBlock(CameraLink& link, uint32_t block, const uint8_t* data, size_t n) {
  constexpr int kAttempts = 20;
  int code = rc::kTimeout;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    link.expected_sequence = 0;
    PrepareSequenced(link, kind::kLong, static_cast<uint8_t>(block), cmd::kUploadData, data,
                     std::min(n, kBlockSize));
    code = SendBytewiseAndReceive(link, kBlockDeadlineMs);
    if (code == rc::kOk) code = CheckSequencedAck(link, attempt == kAttempts);
    if (code == rc::kOk) return code;
    if (link.quit_seen) return code;
    if (code == rc::kTimeout) continue;
    if (IsGarbledReply(code)) {  // counts as no reply
      if (attempt == kAttempts) return code;  // the check has shown the data error
      continue;
    }
    // The camera asked for the block again, or its acknowledgement came
    // damaged: the block goes again (a block the camera already holds is
    // acknowledged again, not stored twice).
    if (code == rc::kRetry) continue;
    if (code == rc::kCannotExecute) {  // not now: give the camera a moment
      PumpWait(link, 500);
      continue;
    }
    switch (code) {
      case rc::kPurge: case rc::kLineStatus: case rc::kRead: case rc::kWrite:
      case rc::kBadHeader: case rc::kBadValue: case rc::kMemoryFull:
        break;  // already shown, or left to the flow (memory full)
      default:
        link.Show(err::kTransferError);
    }
    return code;
  }
  link.Show(err::kCannotAccessCamera);
  return code;
}

}  // namespace fq::cam
