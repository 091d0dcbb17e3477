// Examining a received reply: each check returns 0 or the link's result
// code, and shows "Data error has occurred." for header and length faults
// when told to report.
#pragma once

#include <cstdint>

#include "camera/camera_link.h"

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
// (messages shown as the tables of the acknowledgement bytes say).
int CheckMarkerAck(CameraLink& link);
int CheckSequencedAck(CameraLink& link);

// Data bytes of the last reply.
inline const uint8_t* MarkerData(const CameraLink& link) {
  return link.receive.data() + kMarkerHeaderSize;
}
inline const uint8_t* SequencedData(const CameraLink& link) {
  return link.receive.data() + kSequencedDataOffset;
}

}  // namespace fq::cam
