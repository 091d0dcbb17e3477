#include "camera/upload.h"

#include <algorithm>
#include <optional>

#include "base/cancel_flag.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/settings.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "image/exif.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/jpeg_quality.h"

namespace fq::cam {
namespace {

constexpr uint32_t kBeforeEachFileMs = 500;  // type 1: the camera settles between pictures
constexpr size_t kMarkerChunk = 256;

// What goes out for one file: the file itself or its re-encoded copy.
struct Outgoing {
  std::string path;
  std::optional<temp::TempFile> copy;
  uint8_t mode = 0;
};

bool MoreFollow(const std::vector<UploadFile>& files, size_t i) {
  for (size_t j = i + 1; j < files.size(); ++j)
    if (!IsRefused(files[j].attribute)) return true;
  return false;
}

void Refuse(UploadFile& f, Refusal why, UploadUi& ui) {
  f.attribute = kRefused;
  f.refusal = why;
  f.state = UploadFile::State::kRefused;
  ui.Refused(f, why);
}

std::string SamplingText(const std::string& path) {
  auto h = ReadJpegHeader(path);
  if (!h) return "";
  return std::to_string(h->sampling[0].h) + "x" + std::to_string(h->sampling[0].v);
}

// Re-encodes when the verdict asks for it and judges the result again: the
// copy must now fit as it is, and it goes out with the mode of its own
// size. False when the file is refused (reported).
bool Prepare(CameraLink& link, UploadFile& f, UploadUi& ui, Outgoing& out) {
  out.path = f.path;
  out.mode = ModeOf(f.attribute);
  if (!NeedsReencoding(f.attribute)) return true;
  int type_used = link.camera_type;
  auto copy = ReencodeForCamera(link, f.path, ui, type_used);
  if (!copy) {
    Refuse(f, Refusal::kNotTransferable, ui);
    return false;
  }
  const Acceptance again = AcceptForCamera(copy->path(), type_used);
  if (IsRefused(again.attribute) || NeedsReencoding(again.attribute)) {
    Refuse(f, Refusal::kNotTransferable, ui);
    return false;
  }
  f.reencoded = true;
  out.mode = ModeOf(again.attribute);
  out.path = copy->path();
  out.copy.emplace(std::move(copy.value()));
  return true;
}

Result<std::vector<uint8_t>> ReadForSending(CameraLink& link, const std::string& path) {
  auto bytes = io::ReadWholeFile(path);
  if (!bytes || bytes->empty() || bytes->size() > kLargestUpload) {
    link.Show(err::kFileCannotBeOpened);
    return Failure{err::kFileCannotBeOpened};
  }
  return bytes;
}

int SendMarker(CameraLink& link, const std::vector<uint8_t>& bytes, uint8_t mode, UploadUi& ui) {
  if (int r = MarkerRecordingMode(link, mode)) return r;
  UploadMeter& meter = ui.Meter();
  ui.SetMeterRange(static_cast<int>((bytes.size() + kMarkerChunk - 1) / kMarkerChunk));
  meter.SetPosition(0);
  return MarkerUpload(link, bytes.data(), bytes.size(), [&](size_t written) {
    meter.SetPosition(static_cast<int>(written / kMarkerChunk));
    link.pump.Pump();
  });
}

int SendSequenced(CameraLink& link, const std::vector<uint8_t>& bytes, UploadUi& ui) {
  if (int r = SequencedUploadStart(link, static_cast<uint32_t>(bytes.size()))) return r;
  UploadMeter& meter = ui.Meter();
  const size_t blocks = (bytes.size() + kBlockSize - 1) / kBlockSize;
  ui.SetMeterRange(static_cast<int>(blocks));
  meter.SetPosition(0);
  for (size_t j = 0; j < blocks; ++j) {
    link.pump.Pump();
    const size_t at = j * kBlockSize;
    const size_t n = std::min(kBlockSize, bytes.size() - at);
    if (int r = SequencedUploadBlock(link, static_cast<uint32_t>(j), bytes.data() + at, n))
      return r;
    meter.SetPosition(static_cast<int>(j + 1));
  }
  return rc::kOk;
}

int SendOne(CameraLink& link, UploadFile& f, bool more, UploadUi& ui) {
  if (link.camera_type == 1) BusyWait(link, kBeforeEachFileMs);
  Outgoing out;
  if (!Prepare(link, f, ui, out)) return rc::kOk;  // refused: the others still go
  ui.Lines(kSendingText, FileNameLine(f.path));
  ui.OfferCancel(more);
  link.pump.Pump();
  auto bytes = ReadForSending(link, out.path);
  if (!bytes) return rc::kBadValue;
  const int r = link.camera_type == 1 ? SendMarker(link, *bytes, out.mode, ui)
                                      : SendSequenced(link, *bytes, ui);
  f.state = r == rc::kOk ? UploadFile::State::kSent : UploadFile::State::kFailed;
  if (r == rc::kOk) {
    f.mode_sent = out.mode;
    f.bytes_sent = bytes->size();
    f.sampling_sent = SamplingText(out.path);
  }
  ui.Finished(f);
  return r;
}

// Reads what the memory list of the type needs after "memory full"; false
// when there is nothing to show (the message has been shown).
bool ReadyForMemoryList(CameraLink& link) {
  switch (link.camera_type) {
    case 1:
      if (MarkerPictureList(link) != rc::kOk) return false;
      link.Show(err::kCameraMemoryFull);  // again, over the list
      return true;
    case 2: {
      // The count first: a camera full with no picture has nothing to
      // delete, and the message stands alone; otherwise it is said again
      // over the grid that lets the user make room.
      int count = 0;
      if (SequencedPictureCount(link, count) != rc::kOk || count == 0) return false;
      link.Show(err::kCameraMemoryFull);
      return true;
    }
    case 4:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<std::string> SelectedFiles(std::span<const char> answer) {
  std::vector<std::string> parts;
  for (size_t i = 0; i < answer.size() && answer[i];) {
    size_t end = i;
    while (end < answer.size() && answer[end]) ++end;
    parts.emplace_back(answer.data() + i, end - i);
    i = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::string folder = parts.front();
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  std::vector<std::string> paths;
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

std::string BaseName(const std::string& path) { return path.substr(io::FolderOf(path).size()); }

std::string FileNameLine(const std::string& path) { return "File Name: " + BaseName(path); }

Result<temp::TempFile> ReencodeForCamera(CameraLink& link, const std::string& path, UploadUi& ui,
                                         int& type_used) {
  ui.Lines(kReencodingText, FileNameLine(path));
  UploadMeter& meter = ui.Meter();
  ui.SetMeterRange(kJpegMeterSteps);
  meter.SetPosition(0);
  link.pump.Pump();

  auto copy = temp::TempFile::CreateJpeg();
  if (!copy) return copy.failure();
  {
    auto bytes = io::ReadWholeFile(path);
    if (!bytes) return bytes.failure();
    io::ReplacingWriter w(copy->path());
    if (Status s = w.Open(); !s) return Failure{s.message()};
    if (Status s = w.Write(*bytes); !s) return Failure{s.message()};
    if (Status s = w.Commit(); !s) return Failure{s.message()};
  }
  auto decoded = LoadJpeg(copy->path(), [&](int rows, int height) {
    meter.SetPosition(DecodeHalfMeterPosition(rows, height));
    meter.Pump();
    return true;
  });
  if (!decoded) return decoded.failure();
  const ImageRecord& picture = decoded->record;

  type_used = link.camera_type;
  Status s;
  if (type_used == 1) {
    s = ImageToJpegSizeTargeted(picture, copy->path(), &meter, 0);
  } else {
    if (type_used == 2 || type_used == 3) {
      (void)SequencedTypeProbe(link);
      type_used = link.camera_type;
      if (link.camera_type == 3) link.camera_type = 2;
    }
    s = type_used == 2 ? ImageToJpegForUpload(picture, copy->path(), &meter)
                       : ImageToJpegAt80(picture, copy->path(), &meter);
    if (s && type_used == 4) {
      if (auto failed = AddExifToJpeg(copy->path(), LocalNow())) s = Failure{failed->error};
    }
  }
  if (!s) return Failure{s.message()};
  return std::move(copy.value());
}

int UploadFiles(CameraLink& link, std::vector<UploadFile>& files, UploadUi& ui) {
  if (link.camera_type == 2) (void)SequencedTypeProbe(link);
  const int type = link.camera_type;
  if (link.camera_type == 3) link.camera_type = 2;
  size_t accepted = 0;
  for (size_t i = 0; i < files.size() && i < kMaxUploadFiles; ++i) {
    UploadFile& f = files[i];
    const Acceptance a = AcceptForCamera(f.path, type);
    f.attribute = a.attribute;
    f.refusal = a.refusal;
    if (!IsRefused(a.attribute)) {
      ++accepted;
      continue;
    }
    f.state = UploadFile::State::kRefused;
    ui.Refused(f, a.refusal);
    if (a.refusal == Refusal::kSegmentsUnreadable) return rc::kBadValue;
  }
  if (accepted == 0) return rc::kBadValue;

  ui.Progress(true);
  int result = rc::kOk;
  for (size_t i = 0; i < files.size() && result == rc::kOk; ++i) {
    UploadFile& f = files[i];
    if (IsRefused(f.attribute)) continue;
    result = SendOne(link, f, MoreFollow(files, i), ui);
    if (result == rc::kOk && link.quit_seen) result = rc::kTimeout;
    if (result == rc::kOk && CancelRequested()) {
      if (ui.ConfirmCancel()) result = rc::kUserCancelled;
      SetCancelRequested(false);
    }
  }
  ui.Progress(false);
  return result;
}

int RunUpload(CameraLink& link, settings::SettingsStore& store, std::vector<UploadFile>& files,
              UploadUi& ui) {
  if (files.size() > kMaxUploadFiles) {
    link.Show(err::kFileNameTooLong);
    return rc::kBadValue;
  }
  LoadPortSettings(link, store);
  return UploadOverLink(link, files, ui, &store);
}

int UploadOverLink(CameraLink& link, std::vector<UploadFile>& files, UploadUi& ui,
                   settings::SettingsStore* store) {
  if (files.size() > kMaxUploadFiles) {
    link.Show(err::kFileNameTooLong);
    return rc::kBadValue;
  }
  const uint8_t configured = link.speed_code;
  if (configured == speed_code::k57600) link.speed_code = speed_code::k38400;
  int result = OpenPort(link);
  if (result != rc::kOk) {
    link.speed_code = configured;
    return result;
  }
  BeginConnectStatus(link);
  ui.ConnectionStatus(true);
  result = ConnectForUpload(link);
  ui.ConnectionStatus(false);
  EndConnectStatus(link);
  if (result != rc::kOk) {
    if (result == rc::kSpeedNotAllowed) EndConnectionMarker(link);
    ClosePort(link);
    link.speed_code = configured;
    return result;
  }
  if (link.camera_type == 1 && store) settings::WriteSpeedCode(*store, configured);

  result = UploadFiles(link, files, ui);
  if (result == rc::kMemoryFull) {
    // A marker acknowledgement has shown the message already.
    if (link.camera_type != 1) link.Show(err::kCameraMemoryFull);
    if (ReadyForMemoryList(link) && ui.OpenMemoryList(link)) {
      link.speed_code = configured;
      return result;
    }
  }
  EndConnection(link);
  ClosePort(link);
  link.speed_code = configured;
  return result;
}

}  // namespace fq::cam
