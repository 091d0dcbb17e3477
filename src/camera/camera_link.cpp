#include "camera/camera_link.h"

#include <algorithm>
#include <cstring>

#include "camera/link_codes.h"
#include "base/messages.h"
#include "base/status_timing.h"
#include "base/settings.h"

namespace fq::cam {
namespace {

// Polls of the clock spent calibrating the inter-byte gap at the start of
// a busy wait; bounded so that a clock that does not move cannot hold it.
constexpr uint64_t kCalibrationMicros = 2000;
constexpr uint32_t kCalibrationMaxPolls = 1u << 22;
// A steady clock read this often has moved by a microsecond at least (each
// read takes tens of nanoseconds); one that has not only moves when told.
constexpr uint32_t kStillClockPolls = 512;
constexpr uint64_t kGapMicros = 200;

// Pending input while a reply is awaited: either some bytes are queued,
// or the wait ends with a result code.
struct Waited {
  int code = rc::kOk;
  size_t queued = 0;
};

// Waits until at least one byte is queued. Every step of a receive reads
// what has come (up to what it still wants), so a reply arriving in pieces
// is taken piece by piece and the wait always sleeps on the port.
Waited WaitForQueued(CameraLink& link, uint64_t start_us, uint32_t timeout_ms, bool line_errors) {
  const uint64_t limit = uint64_t{timeout_ms} * 1000;
  for (;;) {
    uint64_t passed = link.clock.NowMicros() - start_us;
    if (passed > limit) return {rc::kTimeout, 0};
    if (!link.pump.Pump()) {
      link.quit_seen = true;
      return {rc::kTimeout, 0};
    }
    LineStatus status;
    if (!link.port.Status(status)) {
      link.Show(err::kTransferError);
      return {rc::kLineStatus, 0};
    }
    if (line_errors && (status.overrun || status.overflow)) return {rc::kLineError, 0};
    if (status.queued > 0) return {rc::kOk, status.queued};
    // Sleep on the port until input comes, the deadline passes (checked
    // again on waking) or it is time to look at the message queue.
    link.port.WaitForInput(std::min(link.pump.LongestWaitMicros(), limit + 1 - passed));
  }
}

int ReadExactly(CameraLink& link, uint8_t* to, size_t n) {
  if (link.port.Read(to, n) != n) {
    link.Show(err::kComPortRead);
    return rc::kRead;
  }
  link.reply_bytes_seen += static_cast<uint32_t>(n);
  return rc::kOk;
}

// Reads `want` bytes into `to` as they come.
int ReadBody(CameraLink& link, uint64_t start_us, uint32_t timeout_ms, uint8_t* to, size_t want,
             bool line_errors) {
  size_t got = 0;
  while (got < want) {
    Waited w = WaitForQueued(link, start_us, timeout_ms, line_errors);
    if (w.code != rc::kOk) return w.code;
    size_t k = std::min(w.queued, want - got);
    if (int code = ReadExactly(link, to + got, k)) return code;
    got += k;
  }
  return rc::kOk;
}

// Drops the bytes at the front of `buf` that cannot begin the camera's
// marker text (everything before the first place where the bytes held so
// far agree with it); returns how many bytes remain.
size_t DropBeforeMarkerText(uint8_t* buf, size_t have) {
  size_t p = 0;
  for (; p < have; ++p) {
    size_t n = std::min(have - p, kMarkerTextSize);
    if (std::equal(buf + p, buf + p + n, kMarkerFromCamera.begin())) break;
  }
  if (p > 0) std::memmove(buf, buf + p, have - p);
  return have - p;
}

int Purge(CameraLink& link) {
  if (!link.port.Purge()) {
    link.Show(err::kTransferError);
    return rc::kPurge;
  }
  return rc::kOk;
}

void GapBetweenBytes(CameraLink& link) {
  for (uint32_t i = 0; i <= link.gap_polls; ++i) (void)link.clock.NowMicros();
}

int OpenWith(CameraLink& link, bool messages) {
  int code = link.port.Open(link.port_name);
  if (code == rc::kOk) return rc::kOk;
  link.port.Close();
  if (messages) link.Show(code == rc::kPortOpen ? err::kOpenComPort : err::kComPortOpenError);
  return code;
}

}  // namespace

uint32_t LineSpeedOf(int code) {
  switch (code) {
    case speed_code::k115200: return 115200;
    case speed_code::k38400: return 38400;
    case speed_code::k9600: return 9600;
    case speed_code::k57600: return 57600;
    case speed_code::k19200: return 19200;
    default: return 0;
  }
}

bool IsBytewiseSpeed(int code) {
  return code == speed_code::k115200 || code == speed_code::k57600;
}

void LoadPortSettings(CameraLink& link, settings::SettingsStore& store) {
  PrepareMarker(link, 0);
  link.port_name = settings::ReadPortName(store);
  link.speed_code = static_cast<uint8_t>(settings::ReadSpeedCode(store));
}

int OpenPort(CameraLink& link) { return OpenWith(link, true); }
int OpenPortQuietly(CameraLink& link) { return OpenWith(link, false); }

void ClosePort(CameraLink& link) { link.port.Close(); }

int SetLineSpeed(CameraLink& link, int code) {
  uint32_t bps = LineSpeedOf(code);
  if (bps == 0) {
    link.Show(err::kComPortOpenError);
    return rc::kBadValue;
  }
  int result = link.port.SetSpeed(bps);
  if (result != rc::kOk) {
    link.Show(err::kComPortOpenError);
    return result;
  }
  link.bytewise = IsBytewiseSpeed(code);
  return rc::kOk;
}

void BusyWait(CameraLink& link, uint32_t ms) {
  // Count clock polls over the first moments to learn how many make up the
  // inter-byte gap, then let the rest of the time pass without spinning.
  const uint64_t start = link.clock.NowMicros();
  const uint64_t total = uint64_t{ms} * 1000;
  uint64_t polls = 0, passed = 0;
  const uint64_t spin = std::min(total, kCalibrationMicros);
  while (passed <= spin && polls < kCalibrationMaxPolls) {
    passed = link.clock.NowMicros() - start;
    ++polls;
    if (passed == 0 && polls >= kStillClockPolls) break;  // a clock that only moves when told
  }
  if (passed > 0 && passed > spin)
    link.gap_polls = static_cast<uint32_t>(polls * kGapMicros / passed);
  passed = link.clock.NowMicros() - start;
  if (passed <= total) link.clock.Sleep(total + 1 - passed);
}

bool PumpWait(CameraLink& link, uint32_t ms, uint64_t start_ms) {
  const uint64_t start_us = start_ms * 1000;
  const uint64_t limit = uint64_t{ms} * 1000;
  for (;;) {
    if (!link.pump.Pump()) {
      link.quit_seen = true;
      return false;
    }
    uint64_t passed = link.clock.NowMicros() - start_us;
    if (passed > limit) return true;
    link.pump.Idle(link.clock, std::min(link.pump.LongestWaitMicros(), limit + 1 - passed));
  }
}

void PrepareMarker(CameraLink& link, uint8_t command, const uint8_t* data, size_t n) {
  link.send_length = static_cast<uint32_t>(BuildMarkerFrame(
      link.send.data(), link.send.size(), command, static_cast<uint32_t>(n), data, n));
}

void PrepareSequenced(CameraLink& link, uint8_t k, uint8_t sequence, uint8_t command,
                      const uint8_t* data, size_t n) {
  link.send_length = static_cast<uint32_t>(
      BuildSequencedFrame(link.send.data(), link.send.size(), k, sequence, command, data, n));
}

int ReceiveMarkerReply(CameraLink& link, uint32_t timeout_ms) {
  const uint64_t start = link.clock.NowMicros();
  link.reply_length = 0;
  link.reply_data_length = 0;
  link.reply_data_kept = 0;
  link.reply_bytes_seen = 0;
  // The header: noise before the marker text is dropped, within the same
  // deadline, as the sequenced receive skips what is not a header.
  uint8_t* head = link.receive.data();
  size_t have = 0;
  while (have < kMarkerHeaderSize) {
    Waited w = WaitForQueued(link, start, timeout_ms, false);
    if (w.code != rc::kOk) return w.code;
    size_t k = std::min(w.queued, kMarkerHeaderSize - have);
    if (int code = ReadExactly(link, head + have, k)) return code;
    have = DropBeforeMarkerText(head, have + k);
  }
  const uint32_t n = GetBigEndian32(link.receive.data() + kMarkerLengthOffset);
  link.reply_data_length = n;
  link.reply_length = n + static_cast<uint32_t>(kMarkerHeaderSize);

  uint8_t* to = link.receive.data() + kMarkerHeaderSize;
  size_t limit = kMarkerReplyLimit;
  if (link.send[kMarkerCodeOffset] == 30) {
    // A picture block goes straight to its place in the picture buffer.
    size_t block = (size_t{link.send[kMarkerHeaderSize]} << 8) | link.send[kMarkerHeaderSize + 1];
    size_t at = block * kBlockSize;
    if (at + kBlockSize > link.picture.size()) return rc::kBadHeader;  // no room: not ours
    to = link.picture.data() + at;
    limit = kBlockSize;
  }
  const size_t want = std::min<size_t>(n, limit);
  int code = ReadBody(link, start, timeout_ms, to, want, false);
  if (code == rc::kOk) link.reply_data_kept = static_cast<uint32_t>(want);
  return code;
}

int ReceiveSequencedReply(CameraLink& link, uint32_t timeout_ms) {
  const uint64_t start = link.clock.NowMicros();
  link.reply_length = 0;
  link.reply_bytes_seen = 0;
  uint8_t* buf = link.receive.data();
  size_t have = 0;
  for (;;) {
    Waited w = WaitForQueued(link, start, timeout_ms, true);
    if (w.code != rc::kOk) return w.code;
    size_t k = std::min(w.queued, kSequencedHeaderSize - have);
    if (int code = ReadExactly(link, buf + have, k)) return code;
    have += k;
    if (have < kSequencedHeaderSize) continue;
    if (PlausibleSequencedHeader(buf)) break;
    have = 0;  // not a header: drop these four and look at the next four
  }
  const size_t total = SequencedLength(buf[0]);
  link.reply_length = static_cast<uint32_t>(total);
  return ReadBody(link, start, timeout_ms, buf + kSequencedHeaderSize,
                  total - kSequencedHeaderSize, true);
}

int SendAndReceive(CameraLink& link, uint32_t timeout_ms) {
  if (int code = Purge(link)) return code;
  const uint8_t* frame = link.send.data();
  const size_t n = link.send_length;
  bool written = true;
  if (!link.bytewise) {
    written = link.port.Write(frame, n) == n;
  } else {
    for (size_t i = 0; i < n && written; ++i) {
      if (i) GapBetweenBytes(link);
      written = link.port.Write(frame + i, 1) == 1;
    }
  }
  if (!written) {
    link.Show(err::kCannotAccessCamera);
    return rc::kWrite;
  }
  return ReceiveMarkerReply(link, timeout_ms);
}

int SendBytewiseAndReceive(CameraLink& link, uint32_t timeout_ms) {
  if (int code = Purge(link)) return code;
  for (size_t i = 0; i < link.send_length; ++i) {
    if (link.port.Write(link.send.data() + i, 1) != 1) {
      link.Show(err::kComPortWrite);
      return rc::kWrite;
    }
  }
  return ReceiveSequencedReply(link, timeout_ms);
}

void BeginConnectStatus(CameraLink& link) {
  uint32_t now = static_cast<uint32_t>(link.clock.NowMillis());
  uint32_t left = camera::QuietPeriodLeft(link.status_shown_before,
                                          static_cast<uint32_t>(link.status_removed_at_ms), now);
  if (left) link.clock.Sleep(uint64_t{left} * 1000);
  link.status_shown_before = true;
}

void EndConnectStatus(CameraLink& link) { link.status_removed_at_ms = link.clock.NowMillis(); }

}  // namespace fq::cam
