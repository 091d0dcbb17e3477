#include "camera/connection.h"

#include <cstring>

#include "camera/commands.h"
#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera/reply_checks.h"

namespace fq::cam {
namespace {

constexpr uint32_t kSettleMs = 1000;   // after the line speed changed
constexpr uint32_t kPauseMs = 200;     // between two steps
constexpr uint32_t kType1StartMs = 8000;
constexpr uint8_t kIdentityLength = 4;

constexpr uint32_t kSpeedDeadlineMs = 5000;
constexpr int kSpeedAttempts = 5;
constexpr uint32_t kIdentifyDeadlineMs = 5000;

int IdentityCheck(CameraLink& link, bool report) {
  if (int r = CheckMarkerReply(link, reply::kIdentity, kIdentityLength, report)) return r;
  const uint8_t* d = MarkerData(link);
  if (std::memcmp(d, "DSC", 3) != 0) {
    link.Show(err::kDataError);
    return rc::kRetry;
  }
  switch (d[3]) {
    case '1': link.camera_type = 1; return rc::kOk;
    case '2': link.camera_type = 2; return rc::kOk;
    case '3': link.camera_type = 4; return rc::kOk;
    default: link.Show(err::kDataError); return rc::kRetry;
  }
}

int RunIdentify(CameraLink& link, const CommandRule& rule) {
  PrepareMarker(link, cmd::kIdentify);
  return RunMarkerCommand(link, rule, IdentityCheck);
}

void PrepareSpeed(CameraLink& link, int code) {
  link.bytewise = false;  // the speed command itself always goes out in one write
  const uint8_t c = static_cast<uint8_t>(code);
  PrepareMarker(link, cmd::kSpeed, &c, 1);
}

int RunSpeed(CameraLink& link, int code, const CommandRule& rule) {
  PrepareSpeed(link, code);
  return RunMarkerCommand(link, rule, CheckMarkerAck);
}

// Something came back to the speed command but it could not be read (a
// reply that failed its checks, or one that stopped short): the camera may
// well have accepted and changed speed already, and would not hear the
// command again at 9600 bit/s. Looks for it at the new speed; when it does
// not answer there, the line goes back to 9600.
bool AnswersAtNewSpeed(CameraLink& link, int code) {
  if (code == speed_code::k9600 || LineSpeedOf(code) == 0) return false;
  if (SetLineSpeed(link, code) != rc::kOk) return false;
  BusyWait(link, kSettleMs);
  PrepareMarker(link, cmd::kIdentify);
  int found = RunMarkerCommand(link, {kIdentifyDeadlineMs, 1, retry::kAll, -1},
                               [](CameraLink& l, bool) { return IdentityCheck(l, false); });
  if (found == rc::kOk) return true;
  SetLineSpeed(link, speed_code::k9600);
  return false;
}

int Start(CameraLink& link) {
  return link.camera_type == 1 ? MarkerStart(link) : SequencedStart(link);
}

// Speed command, then the line follows.
int AgreeSpeed(CameraLink& link, uint32_t pause_between) {
  if (int r = SpeedCommand(link, link.speed_code)) return r;
  if (pause_between) BusyWait(link, pause_between);
  return SetLineSpeed(link, link.speed_code);
}

}  // namespace

int SpeedCommand(CameraLink& link, int code) {
  int result = rc::kTimeout;
  for (int attempt = 0; attempt < kSpeedAttempts; ++attempt) {
    PrepareSpeed(link, code);
    result = SendAndReceive(link, kSpeedDeadlineMs);
    if (result == rc::kOk) result = CheckMarkerAck(link, false);  // a fault is reported below
    const bool garbled = IsGarbledReply(result) ||
                         (result == rc::kTimeout && link.reply_bytes_seen > 0);
    if (!IsRetried(retry::kAll, result) && !garbled) return result;
    if (link.quit_seen) break;
    if (garbled && AnswersAtNewSpeed(link, code)) return rc::kOk;
  }
  if (!link.quit_seen)
    link.Show(IsGarbledReply(result)    ? err::kDataError
              : result == rc::kBusy     ? err::kDataErrorRestart
                                        : err::kCannotAccessCamera);
  link.reporter.EnableCameraCommands();
  return result;
}

int SearchSpeedCommand(CameraLink& link, int code) {
  return RunSpeed(link, code, {1000, 2, retry::kTimeout, -1});
}

int Identify(CameraLink& link) { return RunIdentify(link, {5000, 20, retry::kAll}); }

int SearchIdentify(CameraLink& link) {
  return RunIdentify(link, {5000, 20, retry::kTimeout, -1});
}

int ConnectForDownload(CameraLink& link) {
  if (int r = AgreeSpeed(link, 0)) return r;
  BusyWait(link, kSettleMs);
  int result = Identify(link);
  BusyWait(link, kPauseMs);
  if (result) return result;
  if ((result = Start(link))) return result;
  BusyWait(link, kPauseMs);
  if (link.camera_type == 1) {
    result = MarkerPictureList(link);
  } else if (link.camera_type == 2) {
    int count = 0;
    result = SequencedPictureCount(link, count);
  }
  if (result == rc::kOk) BusyWait(link, kPauseMs);
  return result;
}

int ConnectForUpload(CameraLink& link) {
  if (int r = AgreeSpeed(link, kPauseMs)) return r;
  BusyWait(link, kSettleMs);
  int result = Identify(link);
  if (result) return result;
  BusyWait(link, kPauseMs);
  if (link.camera_type == 1) {
    if (link.speed_code == speed_code::k115200) {
      link.Show(err::kBaudrateTooHigh);
      return rc::kSpeedNotAllowed;
    }
    if ((result = MarkerStart(link))) return result;
    BusyWait(link, kType1StartMs);
  } else if ((result = SequencedStart(link))) {
    return result;
  }
  BusyWait(link, kPauseMs);
  return rc::kOk;
}

int ConnectForSetup(CameraLink& link) {
  if (int r = AgreeSpeed(link, 0)) return r;
  int result = Identify(link);
  if (result) return result;
  BusyWait(link, kPauseMs);
  if (link.camera_type == 1) return rc::kRetry;
  if ((result = SequencedStart(link))) return result;
  BusyWait(link, kPauseMs);
  if (link.camera_type == 2) {
    if ((result = SequencedTypeProbe(link))) return result;
    BusyWait(link, kPauseMs);
  }
  return rc::kOk;
}

void EndConnectionMarker(CameraLink& link) {
  link.reporter.Hourglass(true);
  (void)MarkerEnd(link);
  link.reporter.Hourglass(false);
}

void EndConnectionSequenced(CameraLink& link) {
  link.reporter.Hourglass(true);
  SequencedEnd(link);
  link.reporter.Hourglass(false);
}

void EndConnection(CameraLink& link) {
  if (link.camera_type == 1)
    EndConnectionMarker(link);
  else
    EndConnectionSequenced(link);
}

}  // namespace fq::cam
