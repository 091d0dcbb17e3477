// Examining a received reply: each check returns 0 or the link's result
// code, and shows "Data error has occurred." for header and length faults
// when told to report.
#pragma once

#include <cstdint>

#include "camera/camera_link.h"
#include "camera/link_codes.h"

namespace fq::cam {

int CheckMarkerHeader(CameraLink& link, bool report);
int CheckMarkerCode(CameraLink& link, uint8_t expected);
int CheckMarkerLength(CameraLink& link, uint32_t expected, bool report);
// Header, code and length in this order.
int CheckMarkerReply(CameraLink& link, uint8_t code, uint32_t length, bool report);

int CheckSequencedHeader(CameraLink& link, bool report);
int CheckSequencedCode(CameraLink& link, uint8_t expected);
// A checksum mismatch is 30 (reported) for replies that carry data, else 33.
int CheckSequencedSum(CameraLink& link, bool carries_data, bool report);
int CheckSequencedReply(CameraLink& link, uint8_t code, bool carries_data, bool report);

// The acknowledgement decoders: 0 accepted, or the refusal's result code
// (messages shown as the tables of the acknowledgement bytes say). Header
// faults are reported when `report` is set.
int CheckMarkerAck(CameraLink& link, bool report = true);
int CheckSequencedAck(CameraLink& link, bool report = true);

// A reply that failed its header, checksum or length check (30, 32). It
// counts as no reply: the command is tried again while attempts remain,
// and the check reports it on the last attempt only.
inline bool IsGarbledReply(int code) { return code == rc::kBadHeader || code == rc::kDataLength; }

// Data bytes of the last reply.
inline const uint8_t* MarkerData(const CameraLink& link) {
  return link.receive.data() + kMarkerHeaderSize;
}
inline const uint8_t* SequencedData(const CameraLink& link) {
  return link.receive.data() + kSequencedDataOffset;
}

}  // namespace fq::cam
