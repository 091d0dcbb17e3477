// Result codes of the camera link. The port, framing and command layers
// return them unchanged to the flows, which map some of them to messages
// (MessageForResult in messages.h).
#pragma once

namespace fq::cam::rc {

inline constexpr int kOk = 0;
inline constexpr int kPortOpen = 10;       // port cannot be opened
inline constexpr int kQueueSizes = 13;     // driver queue sizes cannot be set
inline constexpr int kPurge = 14;          // purge failed
inline constexpr int kStateRead = 15;      // line state cannot be read
inline constexpr int kStateSet = 16;       // line state cannot be set
inline constexpr int kTimeouts = 17;       // time-outs cannot be set
inline constexpr int kLineStatus = 18;     // line status cannot be read
inline constexpr int kRead = 20;           // read failed or short
inline constexpr int kBadHeader = 30;      // malformed header or checksum of a data reply
inline constexpr int kReplyCode = 31;      // unexpected marker reply code
inline constexpr int kDataLength = 32;     // unexpected marker data length
inline constexpr int kRetry = 33;          // camera asked for a retry, or a bad sequenced reply
inline constexpr int kBusy = 34;           // camera busy
inline constexpr int kWrite = 40;          // write failed or short
inline constexpr int kCannotExecute = 90;
inline constexpr int kMemoryFull = 92;
inline constexpr int kCameraError = 93;
// A failure already shown: a step of the memory list, or a picture number
// the command cannot carry.
inline constexpr int kListReported = 99;
inline constexpr int kTimeout = 100;       // no complete reply before the deadline
inline constexpr int kUserCancelled = 101;
inline constexpr int kNothing = 102;       // nothing to transfer
inline constexpr int kZeroSize = 103;      // a picture of size 0 was announced
inline constexpr int kSpeedNotAllowed = 104;
inline constexpr int kLineError = 106;     // overrun or receive-queue overflow
inline constexpr int kNothingSelected = 107;
inline constexpr int kMovie = 108;
inline constexpr int kStill = 109;
inline constexpr int kKindRefused = 110;
inline constexpr int kMediumChanged = 111;
inline constexpr int kBadValue = -1;       // speed code outside the table, unknown acknowledgement

}  // namespace fq::cam::rc
