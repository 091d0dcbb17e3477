#include "camera/reply_checks.h"

#include <algorithm>

#include "camera/link_codes.h"
#include "base/messages.h"

namespace fq::cam {
namespace {

constexpr uint8_t kAckCode = 1;

int Reported(CameraLink& link, bool report, int code) {
  if (report) link.Show(err::kDataError);
  return code;
}

}  // namespace

int CheckMarkerHeader(CameraLink& link, bool report) {
  if (!std::equal(kMarkerFromCamera.begin(), kMarkerFromCamera.end(), link.receive.begin()))
    return Reported(link, report, rc::kBadHeader);
  return rc::kOk;
}

int CheckMarkerCode(CameraLink& link, uint8_t expected) {
  return link.receive[kMarkerCodeOffset] == expected ? rc::kOk : rc::kReplyCode;
}

int CheckMarkerLength(CameraLink& link, uint32_t expected, bool report) {
  return link.reply_data_length == expected ? rc::kOk : Reported(link, report, rc::kDataLength);
}

int CheckMarkerReply(CameraLink& link, uint8_t code, uint32_t length, bool report) {
  if (int r = CheckMarkerHeader(link, report)) return r;
  if (int r = CheckMarkerCode(link, code)) return r;
  return CheckMarkerLength(link, length, report);
}

int CheckSequencedHeader(CameraLink& link, bool report) {
  const uint8_t* f = link.receive.data();
  if (SequencedLength(f[0]) == 0 || f[1] != link.expected_sequence ||
      f[2] != static_cast<uint8_t>(~f[1]))
    return Reported(link, report, rc::kBadHeader);
  return rc::kOk;
}

int CheckSequencedCode(CameraLink& link, uint8_t expected) {
  return link.receive[3] == expected ? rc::kOk : rc::kRetry;
}

int CheckSequencedSum(CameraLink& link, bool carries_data, bool report) {
  const uint8_t* f = link.receive.data();
  const uint8_t k = f[0];
  // The final byte is always zero. A byte doubled on the line shifts the
  // rest of the frame by one: the last data byte takes the checksum's place
  // and the checksum the final byte's, so the sum alone would take one such
  // frame in 256 as good.
  if (f[kSequencedDataOffset + SequencedDataSize(k)] == SequencedChecksum(f, k) &&
      f[SequencedLength(k) - 1] == 0)
    return rc::kOk;
  return carries_data ? Reported(link, report, rc::kBadHeader) : rc::kRetry;
}

int CheckSequencedReply(CameraLink& link, uint8_t code, bool carries_data, bool report) {
  if (int r = CheckSequencedHeader(link, report)) return r;
  if (int r = CheckSequencedCode(link, code)) return r;
  return CheckSequencedSum(link, carries_data, report);
}

int CheckMarkerAck(CameraLink& link, bool report) {
  if (int r = CheckMarkerReply(link, kAckCode, 1, report)) return r;
  switch (MarkerData(link)[0]) {
    case 0: return rc::kOk;
    case 1: return rc::kBusy;
    case 2: link.Show(err::kCommandCannotExecute); return rc::kCannotExecute;
    case 3: return rc::kRetry;
    case 4: link.Show(err::kCameraMemoryFull); return rc::kMemoryFull;
    case 5: link.Show(err::kCameraError); return rc::kCameraError;
    default: link.Show(err::kCameraError); return rc::kBadValue;
  }
}

int CheckSequencedAck(CameraLink& link, bool report) {
  link.send_sequence = 0;
  if (int r = CheckSequencedHeader(link, report)) return r;
  if (int r = CheckSequencedCode(link, kAckCode)) return r;
  if (int r = CheckSequencedSum(link, false, false)) return r;
  switch (SequencedData(link)[0]) {
    case 0: return rc::kOk;
    case 2: return rc::kCannotExecute;
    case 3: return rc::kRetry;
    case 4: return rc::kMemoryFull;
    case 5: return rc::kCameraError;
    case 8: return rc::kMediumChanged;
    default: link.Show(err::kCameraError); return rc::kBadValue;
  }
}

}  // namespace fq::cam
