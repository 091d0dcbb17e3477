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

int IdentityCheck(CameraLink& link) {
  if (int r = CheckMarkerReply(link, reply::kIdentity, kIdentityLength, true)) return r;
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

int RunSpeed(CameraLink& link, int code, const CommandRule& rule) {
  link.bytewise = false;  // the speed command itself always goes out in one write
  const uint8_t c = static_cast<uint8_t>(code);
  PrepareMarker(link, cmd::kSpeed, &c, 1);
  return RunMarkerCommand(link, rule, CheckMarkerAck);
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
  int result = RunSpeed(link, code, {5000, 5, retry::kAll, -1});
  if (!IsRetried(retry::kAll, result)) return result;
  if (!link.quit_seen)
    link.Show(result == rc::kBusy ? err::kDataErrorRestart : err::kCannotAccessCamera);
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
