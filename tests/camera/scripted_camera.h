// A camera for tests that answers each frame from the program through a
// script: the test decides the reply bytes, their timing, or silence.
// Replies are framed by the camera simulator's own code and the program's
// frames are taken apart here byte by byte, so that a mistake in the
// program's framing cannot hide behind the same mistake in its test camera.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "camera/memory_line.h"
#include "camsim/sim_frames.h"

namespace fq::cam::testing {

struct ProgramFrame {
  bool marker = true;
  uint8_t command = 0;
  uint8_t sequence = 0;
  uint8_t kind = 0;
  uint32_t announced = 0;  // marker length field
  std::vector<uint8_t> data;
};

struct Chunk {
  std::vector<uint8_t> bytes;
  uint64_t after_micros = 0;  // from the moment the frame arrived
};
using Answer = std::vector<Chunk>;

inline std::vector<uint8_t> MarkerReply(uint8_t code, const std::vector<uint8_t>& data,
                                        uint32_t announced = UINT32_MAX) {
  return camsim::MarkerFrameToProgram(
      code, data, announced == UINT32_MAX ? static_cast<uint32_t>(data.size()) : announced);
}

inline std::vector<uint8_t> SequencedReply(uint8_t kind, uint8_t seq, uint8_t code,
                                           const std::vector<uint8_t>& data) {
  return camsim::SequencedFrameToProgram(kind, seq, code, data);
}

// Numbers as they travel: marker data most significant byte first,
// sequenced data least significant first. Written out here rather than
// taken from the program.
inline std::vector<uint8_t> Be32(uint32_t v) {
  return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}
inline std::vector<uint8_t> Le16(uint16_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
}
inline std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
inline uint32_t ReadLe(const std::vector<uint8_t>& d, size_t bytes) {
  uint32_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = (v << 8) | d.at(i);
  return v;
}

inline std::vector<uint8_t> MarkerAck(uint8_t byte) { return MarkerReply(1, {byte}); }
inline std::vector<uint8_t> SequencedAck(uint8_t byte, uint8_t seq = 0) {
  return SequencedReply(8, seq, 1, {byte});
}

class ScriptedCamera final : public LineDevice {
 public:
  using Script = std::function<Answer(const ProgramFrame&)>;
  explicit ScriptedCamera(Script script) : script_(std::move(script)) {}

  void OnReceive(MemoryLine& line, const uint8_t* data, size_t n) override {
    inbox_.insert(inbox_.end(), data, data + n);
    while (TakeFrame(line)) {
    }
  }
  void OnSpeed(MemoryLine&, uint32_t bps) override { speeds.push_back(bps); }

  std::vector<ProgramFrame> frames;  // every frame the program sent
  std::vector<uint32_t> speeds;
  // Picture bytes that followed an upload header (command 0).
  std::vector<uint8_t> uploaded;

  int Count(uint8_t command) const {
    int n = 0;
    for (auto& f : frames) n += f.command == command;
    return n;
  }

 private:
  bool TakeFrame(MemoryLine& line) {
    if (upload_left_) {
      size_t k = std::min(upload_left_, inbox_.size());
      uploaded.insert(uploaded.end(), inbox_.begin(), inbox_.begin() + static_cast<long>(k));
      inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<long>(k));
      upload_left_ -= k;
      if (upload_left_ == 0) Respond(line, pending_upload_);
      return !inbox_.empty() && upload_left_ == 0;
    }
    if (inbox_.empty()) return false;
    ProgramFrame f;
    size_t used = 0;
    // Marker frame: 12 bytes of text, length (most significant first),
    // command, data. Sequenced frame: kind, sequence, complement, command,
    // data area, checksum, 0.
    constexpr size_t kHeader = 17;
    if (inbox_[0] == 'O') {
      if (inbox_.size() < kHeader) return false;
      f.announced = (uint32_t{inbox_[12]} << 24) | (uint32_t{inbox_[13]} << 16) |
                    (uint32_t{inbox_[14]} << 8) | inbox_[15];
      f.command = inbox_[16];
      size_t data = f.command == 0 ? 0 : f.announced;
      if (inbox_.size() < kHeader + data) return false;
      f.data.assign(inbox_.begin() + kHeader, inbox_.begin() + static_cast<long>(kHeader + data));
      used = kHeader + data;
      if (f.command == 0) upload_left_ = f.announced;
    } else {
      size_t total = camsim::SequencedFrameLength(inbox_[0]);
      if (total == 0) {  // not ours: drop a byte
        inbox_.erase(inbox_.begin());
        return true;
      }
      if (inbox_.size() < total) return false;
      f.marker = false;
      f.kind = inbox_[0];
      f.sequence = inbox_[1];
      f.command = inbox_[3];
      f.data.assign(inbox_.begin() + 4, inbox_.begin() + static_cast<long>(total - 2));
      used = total;
    }
    inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<long>(used));
    frames.push_back(f);
    if (upload_left_) {
      pending_upload_ = f;
      return true;
    }
    Respond(line, f);
    return true;
  }

  void Respond(MemoryLine& line, const ProgramFrame& f) {
    uint64_t now = line.clock().NowMicros();
    for (const Chunk& c : script_(f)) line.Send(c.bytes, now + c.after_micros);
  }

  Script script_;
  std::vector<uint8_t> inbox_;
  size_t upload_left_ = 0;
  ProgramFrame pending_upload_;
};

class RecordingReporter final : public Reporter {
 public:
  void ShowMessage(int index) override { messages.push_back(index); }
  void EnableCameraCommands() override { ++enabled; }
  void Hourglass(bool on) override { hourglass.push_back(on); }
  std::vector<int> messages;
  int enabled = 0;
  std::vector<bool> hourglass;
};

// A pump that reports a quit message on a chosen call.
class FakePump final : public MessagePump {
 public:
  bool Pump() override {
    ++calls;
    if (quit_on_call && calls == quit_on_call) {
      ++reposted;
      return false;
    }
    return true;
  }
  int calls = 0;
  int quit_on_call = 0;
  int reposted = 0;
};

// Counts the write calls the link makes, to see pacing.
class CountingPort final : public SerialPort {
 public:
  explicit CountingPort(SerialPort& inner) : inner_(inner) {}
  int Open(const std::string& name) override { return inner_.Open(name); }
  int SetSpeed(uint32_t bps) override { return inner_.SetSpeed(bps); }
  bool Purge() override { ++purges; return inner_.Purge(); }
  size_t Write(const uint8_t* d, size_t n) override {
    writes.push_back(n);
    return inner_.Write(d, n);
  }
  bool Status(LineStatus& s) override { return inner_.Status(s); }
  size_t Read(uint8_t* d, size_t n) override { return inner_.Read(d, n); }
  bool WaitForInput(uint64_t us) override { return inner_.WaitForInput(us); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  std::vector<size_t> writes;
  int purges = 0;

 private:
  SerialPort& inner_;
};

// Everything a test needs around a link: clock, scripted camera, line,
// counting port, reporter, pump.
struct Bench {
  explicit Bench(ScriptedCamera::Script script, LineOptions options = {})
      : camera(std::move(script)), line(clock, camera, std::move(options)), port(line.port()),
        link(port, clock, pump, reporter) {
    link.port_name = "COM1";
    port.Open("COM1");
  }
  FakeClock clock;
  ScriptedCamera camera;
  MemoryLine line;
  CountingPort port;
  RecordingReporter reporter;
  FakePump pump;
  CameraLink link;
};

}  // namespace fq::cam::testing
