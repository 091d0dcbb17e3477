// An in-memory serial line for tests: the program's end is a SerialPort,
// the far end is a LineDevice (the camera simulator, or a test's script).
// Single-threaded: time moves through the Clock, and every look at the
// program's end first delivers what is due in both directions. Optional
// line-rate emulation (10 bit times per byte at the current speed) and
// fault injection (dropped, corrupted, duplicated and delayed bytes).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "camera/clock.h"
#include "camera/serial_port.h"

namespace fq::cam {

class MemoryLine;

// What the far end of a line sees and does.
class LineDevice {
 public:
  virtual ~LineDevice() = default;
  // Bytes from the program, in order, as they finish arriving.
  virtual void OnReceive(MemoryLine& line, const uint8_t* data, size_t n) = 0;
  // Called whenever the line is looked at, so a device can act on time
  // (answer after a delay, stay silent, send noise).
  virtual void OnPoll(MemoryLine& /*line*/) {}
  // The program changed the line speed (0 = port closed).
  virtual void OnSpeed(MemoryLine& /*line*/, uint32_t /*bits_per_second*/) {}
};

enum class FaultKind { kDrop, kCorrupt, kDuplicate, kDelay };

// A fault at a given byte of one direction (counted from 0 since the line
// was made), or at random with the given probability per byte.
struct Fault {
  FaultKind kind = FaultKind::kDrop;
  uint64_t at_byte = 0;            // used when probability == 0
  double probability = 0;          // per byte, from a seeded generator
  uint64_t delay_micros = 0;       // for kDelay
};

struct LineOptions {
  bool emulate_rate = false;       // bytes take 10 bit times at the current speed
  std::vector<Fault> to_device;    // faults on bytes the program writes
  std::vector<Fault> to_program;   // faults on bytes the device sends
  uint32_t seed = 1;
  size_t receive_queue = 6000;     // beyond this the program's end reports overflow
};

// A first-in first-out queue over one vector: taking from the front moves
// an index, and the storage is reused once the queue runs empty (or its
// taken part has grown large), so a line that carries many frames does not
// allocate for each.
template <class T>
class Fifo {
 public:
  bool empty() const { return head_ == items_.size(); }
  size_t size() const { return items_.size() - head_; }
  const T& front() const { return items_[head_]; }
  void push_back(const T& v) { items_.push_back(v); }
  void pop_front() { Drop(1); }
  void clear() {
    items_.clear();
    head_ = 0;
  }
  // Copies up to n items from the front to `out` and drops them.
  size_t Take(T* out, size_t n) {
    n = std::min(n, size());
    std::copy_n(items_.begin() + static_cast<std::ptrdiff_t>(head_), n, out);
    Drop(n);
    return n;
  }

 private:
  void Drop(size_t n) {
    head_ += n;
    if (head_ == items_.size()) {
      clear();
    } else if (head_ >= 4096 && head_ * 2 >= items_.size()) {
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
  }
  std::vector<T> items_;
  size_t head_ = 0;
};

class MemoryLine {
 public:
  MemoryLine(Clock& clock, LineDevice& device, LineOptions options = {});

  // The program's end.
  SerialPort& port() { return port_; }

  // Device side: queue bytes toward the program, no earlier than
  // `not_before` (microseconds on the line's clock; 0 = now).
  void Send(const uint8_t* data, size_t n, uint64_t not_before = 0);
  void Send(const std::vector<uint8_t>& bytes, uint64_t not_before = 0) {
    Send(bytes.data(), bytes.size(), not_before);
  }
  Clock& clock() { return clock_; }
  uint32_t speed() const { return speed_; }
  bool is_open() const { return open_; }
  // Everything the program wrote, for tests to inspect.
  const std::vector<uint8_t>& written() const { return written_; }
  LineOptions& options() { return options_; }

  // Delivers what is due in both directions at the clock's present time.
  void Service();

 private:
  struct Pending {
    uint64_t due;
    uint8_t byte;
  };
  class Port final : public SerialPort {
   public:
    explicit Port(MemoryLine& line) : line_(line) {}
    int Open(const std::string& name) override;
    int SetSpeed(uint32_t bits_per_second) override;
    bool Purge() override;
    size_t Write(const uint8_t* data, size_t n) override;
    bool Status(LineStatus& status) override;
    size_t Read(uint8_t* data, size_t n) override;
    bool WaitForInput(uint64_t micros) override;
    void Close() override;
    bool IsOpen() const override { return line_.open_; }

   private:
    MemoryLine& line_;
  };

  uint64_t ByteTime() const;
  // Applies the faults of one direction to a byte; returns the copies to
  // queue (0, 1 or 2) and any extra delay.
  int Inject(std::vector<Fault>& faults, uint64_t index, uint8_t& byte, uint64_t& delay);

  Clock& clock_;
  LineDevice& device_;
  LineOptions options_;
  Port port_;
  std::mt19937 rng_;
  bool open_ = false;
  uint32_t speed_ = 9600;
  Fifo<Pending> to_device_;
  Fifo<Pending> to_program_;
  Fifo<uint8_t> received_;         // arrived at the program's end, unread
  std::vector<uint8_t> written_;
  std::vector<uint8_t> arrived_;   // handed to the device by Service (kept to save allocations)
  uint64_t device_line_free_ = 0;  // when the wire toward the program is next idle
  uint64_t program_line_free_ = 0;
  uint64_t sent_index_ = 0;
  uint64_t written_index_ = 0;
  bool overflow_ = false;
  bool servicing_ = false;
};

}  // namespace fq::cam
