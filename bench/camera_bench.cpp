// Protocol efficiency of picture transfers: payload bytes per second of
// picture blocks on the emulated line (10 bit times per byte, fake clock),
// as a share of the line's capacity, beside the ideal share the frame
// overhead allows (request and reply one after the other on the line).
#include <benchmark/benchmark.h>

#include <vector>

#include "camera/block_loops.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/frames.h"
#include "camera/memory_line.h"

namespace {

using namespace fq::cam;

constexpr uint32_t kBlocks = 64;
constexpr uint64_t kByteGapMicros = 200;  // marker frames at 57600 and 115200

// Serves picture blocks at once in either frame format.
class BlockServer final : public LineDevice {
 public:
  void OnReceive(MemoryLine& line, const uint8_t* data, size_t n) override {
    in_.insert(in_.end(), data, data + n);
    for (;;) {
      if (!in_.empty() && in_[0] == 'O') {
        if (in_.size() < 19) return;
        uint32_t block = (in_[17] << 8) | in_[18];
        in_.erase(in_.begin(), in_.begin() + 19);
        std::vector<uint8_t> r(kMarkerFromCamera.begin(), kMarkerFromCamera.end());
        r.resize(kMarkerHeaderSize + kBlockSize, static_cast<uint8_t>(block));
        PutBigEndian32(r.data() + kMarkerLengthOffset, kBlockSize);
        r[kMarkerCodeOffset] = 0;
        line.Send(r);
      } else if (!in_.empty()) {
        if (in_.size() < 16) return;
        uint8_t seq = in_[1];
        in_.erase(in_.begin(), in_.begin() + 16);
        std::vector<uint8_t> data(kBlockSize, seq), r(1030);
        BuildSequencedFrame(r.data(), r.size(), kind::kLong, seq, 5, data.data(), data.size());
        line.Send(r);
      } else {
        return;
      }
    }
  }

 private:
  std::vector<uint8_t> in_;
};

class Quiet final : public Reporter {
 public:
  void ShowMessage(int) override {}
};

// The pause between the bytes of a paced marker frame, as the real line
// has it (the fake clock does not move while the gap's polls run).
class PacedPort final : public SerialPort {
 public:
  PacedPort(SerialPort& inner, Clock& clock, CameraLink*& link) : inner_(inner), clock_(clock), link_(link) {}
  int Open(const std::string& n) override { return inner_.Open(n); }
  int SetSpeed(uint32_t b) override { return inner_.SetSpeed(b); }
  bool Purge() override { pos_ = 0; return inner_.Purge(); }
  size_t Write(const uint8_t* d, size_t n) override {
    if (link_ && link_->bytewise && n == 1 && link_->send[0] == 'O' && pos_++ > 0) clock_.Sleep(kByteGapMicros);
    return inner_.Write(d, n);
  }
  bool Status(LineStatus& s) override { return inner_.Status(s); }
  size_t Read(uint8_t* d, size_t n) override { return inner_.Read(d, n); }
  bool WaitForInput(uint64_t us) override { return inner_.WaitForInput(us); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }

 private:
  SerialPort& inner_;
  Clock& clock_;
  CameraLink*& link_;
  size_t pos_ = 0;
};

void PictureBlocks(benchmark::State& state) {
  const bool marker = state.range(0) == 1;
  const int code = static_cast<int>(state.range(1));
  const uint32_t bps = LineSpeedOf(code);
  double fake_seconds = 0;
  for (auto _ : state) {
    FakeClock clock;
    BlockServer server;
    LineOptions options;
    options.emulate_rate = true;
    MemoryLine line(clock, server, options);
    CameraLink* link_ptr = nullptr;
    PacedPort port(line.port(), clock, link_ptr);
    Quiet reporter;
    NoMessagePump pump;
    CameraLink link(port, clock, pump, reporter);
    link_ptr = &link;
    port.Open("COM1");
    SetLineSpeed(link, code);
    link.block_count = kBlocks;
    link.picture_size = kBlocks * kBlockSize;
    AllocatePicture(link);
    uint64_t start = clock.NowMicros();
    int rc = marker ? FetchBlocksMarker(link) : FetchBlocksSequenced(link, BlockTarget::kPicture);
    if (rc != 0) state.SkipWithError("transfer failed");
    fake_seconds = (clock.NowMicros() - start) / 1e6;
  }
  const double payload = kBlocks * double(kBlockSize) / fake_seconds;
  const double capacity = bps / 10.0;
  const double request = marker ? kMarkerHeaderSize + 2 : SequencedLength(kind::kShort);
  const double reply = marker ? kMarkerHeaderSize + kBlockSize : SequencedLength(kind::kLong);
  state.counters["payload_Bps"] = payload;
  state.counters["capacity_Bps"] = capacity;
  state.counters["efficiency_pct"] = 100.0 * payload / capacity;
  state.counters["ideal_pct"] = 100.0 * kBlockSize / (request + reply);
}

BENCHMARK(PictureBlocks)
    ->ArgNames({"marker", "code"})
    ->Args({1, 1})->Args({1, 3})->Args({1, 0})
    ->Args({0, 1})->Args({0, 3})->Args({0, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
