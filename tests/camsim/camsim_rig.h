// The program's end of an in-memory line to the camera simulator, with
// frames built byte by byte from the protocol's tables (not with the
// program's own framing code, so that the two meet only on the line).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/clock.h"
#include "camera/memory_line.h"
#include "camsim/camera_simulator.h"
#include "image/image_record.h"

namespace fq::camsim::test {

using fq::GetU16;
using fq::GetU32;
using Bytes = std::vector<uint8_t>;

// "ORX DSC PC  ", length most significant byte first, command, data.
inline Bytes Marker(uint8_t command, const Bytes& data = {}) {
  Bytes f = {'O', 'R', 'X', ' ', 'D', 'S', 'C', ' ', 'P', 'C', ' ', ' '};
  uint32_t n = static_cast<uint32_t>(data.size());
  f.push_back(static_cast<uint8_t>(n >> 24));
  f.push_back(static_cast<uint8_t>(n >> 16));
  f.push_back(static_cast<uint8_t>(n >> 8));
  f.push_back(static_cast<uint8_t>(n));
  f.push_back(command);
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

// Kind, sequence, complement, command, zero-filled data area, sum of
// offsets 1 .. end of the data area, 0.
inline Bytes Sequenced(uint8_t command, const Bytes& data = {}, uint8_t sequence = 0, uint8_t kind = 8) {
  size_t total = kind == 8 ? 16 : kind == 16 ? 262 : 1030;
  Bytes f(total, 0);
  f[0] = kind;
  f[1] = sequence;
  f[2] = static_cast<uint8_t>(~sequence);
  f[3] = command;
  for (size_t i = 0; i < data.size() && 4 + i < total - 2; ++i) f[4 + i] = data[i];
  unsigned sum = 0;
  for (size_t i = 1; i < total - 2; ++i) sum += f[i];
  f[total - 2] = static_cast<uint8_t>(sum);
  return f;
}

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A picture-like byte string of `n` bytes: JPEG start marker, then a
// pattern that differs per `seed`.
inline Bytes FakePicture(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
  b[0] = 0xFF;
  b[1] = 0xD8;
  b[2] = 0xFF;
  return b;
}

inline CameraContent FlatContent(const std::vector<Bytes>& pictures) {
  CameraContent c;
  StoredFolder f;
  for (size_t i = 0; i < pictures.size(); ++i) {
    StoredEntry e;
    e.file = static_cast<int>(i) + 1;
    e.data = pictures[i];
    e.mode = ModeForSize(e.data.size());
    f.entries.push_back(std::move(e));
  }
  c.media[0].folders.push_back(std::move(f));
  return c;
}

struct Rig {
  cam::FakeClock clock;
  CameraSimulator sim;
  cam::MemoryLine line;

  Rig(SimOptions options, CameraContent content, cam::LineOptions line_options = {})
      : sim(std::move(options), std::move(content)), line(clock, sim, std::move(line_options)) {
    EXPECT_EQ(line.port().Open("COM1"), 0);
  }
  cam::SerialPort& port() { return line.port(); }

  // Reads up to `want` bytes, giving up after `timeout_us` on the clock.
  Bytes Read(size_t want, uint64_t timeout_us = 5'000'000) {
    Bytes got;
    uint64_t end = clock.NowMicros() + timeout_us;
    while (got.size() < want && clock.NowMicros() < end) {
      port().WaitForInput(end - clock.NowMicros());
      uint8_t buf[2048];
      size_t n = port().Read(buf, std::min(sizeof buf, want - got.size()));
      got.insert(got.end(), buf, buf + n);
    }
    return got;
  }
  // Purge, write one frame, read a reply of `want` bytes.
  Bytes Ask(const Bytes& frame, size_t want, uint64_t timeout_us = 5'000'000) {
    port().Purge();
    EXPECT_EQ(port().Write(frame.data(), frame.size()), frame.size());
    return Read(want, timeout_us);
  }
  // The speed command and the switch of the program's end.
  void Speed(uint8_t code, uint32_t bps) {
    Bytes ack = Ask(Marker(4, {code}), 18);
    ASSERT_EQ(ack.size(), 18u);
    ASSERT_EQ(ack[17], 0);
    ASSERT_EQ(port().SetSpeed(bps), 0);
  }
  // Speed 38400, identification and, for sequenced cameras, the start.
  void Connect() {
    Speed(1, 38400);
    Bytes id = Ask(Marker(2), 21);
    ASSERT_EQ(id.size(), 21u);
    if (sim.type() != 1) {
      ASSERT_EQ(Ask(Sequenced(16, {0}), 16), SeqAck(0));
    }
  }
  static Bytes MarkerAck(uint8_t value) {
    return Cat(Text("ORX PC  DSC "), {0, 0, 0, 1, 1, value});
  }
  static Bytes SeqAck(uint8_t value, uint8_t sequence = 0) { return Sequenced(1, {value}, sequence); }
};

}  // namespace fq::camsim::test
