#include "camera/memory_line.h"

#include <algorithm>

namespace fq::cam {

MemoryLine::MemoryLine(Clock& clock, LineDevice& device, LineOptions options)
    : clock_(clock), device_(device), options_(std::move(options)), port_(*this),
      rng_(options_.seed) {}

uint64_t MemoryLine::ByteTime() const {
  if (!options_.emulate_rate || speed_ == 0) return 0;
  // One start bit, eight data bits, one stop bit.
  return (10'000'000ull + speed_ - 1) / speed_;
}

int MemoryLine::Inject(std::vector<Fault>& faults, uint64_t index, uint8_t& byte,
                       uint64_t& delay) {
  int copies = 1;
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  for (const Fault& f : faults) {
    bool hit = f.probability > 0 ? chance(rng_) < f.probability : f.at_byte == index;
    if (!hit) continue;
    switch (f.kind) {
      case FaultKind::kDrop: copies = 0; break;
      case FaultKind::kCorrupt: byte = static_cast<uint8_t>(byte ^ 0x5A); break;
      case FaultKind::kDuplicate: copies = copies ? 2 : 0; break;
      case FaultKind::kDelay: delay += f.delay_micros; break;
    }
  }
  return copies;
}

void MemoryLine::Send(const uint8_t* data, size_t n, uint64_t not_before) {
  uint64_t now = clock_.NowMicros();
  uint64_t t = std::max({now, not_before, device_line_free_});
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = data[i];
    uint64_t delay = 0;
    int copies = Inject(options_.to_program, sent_index_++, b, delay);
    t += ByteTime();
    for (int c = 0; c < copies; ++c) to_program_.push_back({t + delay, b});
  }
  device_line_free_ = t;
}

void MemoryLine::Service() {
  if (servicing_) return;  // a device answering from a callback
  servicing_ = true;
  uint64_t now = clock_.NowMicros();
  // Toward the device: hand over, in one piece, the bytes that have arrived.
  arrived_.clear();
  while (!to_device_.empty() && to_device_.front().due <= now) {
    arrived_.push_back(to_device_.front().byte);
    to_device_.pop_front();
  }
  if (!arrived_.empty()) device_.OnReceive(*this, arrived_.data(), arrived_.size());
  device_.OnPoll(*this);
  // Toward the program. Delayed bytes may be due later than bytes behind
  // them; the wire keeps order, so stop at the first byte not yet due.
  now = clock_.NowMicros();
  while (!to_program_.empty() && to_program_.front().due <= now) {
    if (!open_) {
      to_program_.pop_front();
      continue;
    }
    if (received_.size() >= options_.receive_queue) {
      overflow_ = true;
      to_program_.pop_front();
      continue;
    }
    received_.push_back(to_program_.front().byte);
    to_program_.pop_front();
  }
  servicing_ = false;
}

int MemoryLine::Port::Open(const std::string&) {
  line_.open_ = true;
  line_.speed_ = 9600;
  line_.received_.clear();
  line_.overflow_ = false;
  line_.device_.OnSpeed(line_, line_.speed_);
  return 0;
}

int MemoryLine::Port::SetSpeed(uint32_t bps) {
  if (!line_.open_) return 16;
  line_.Service();
  line_.speed_ = bps;
  line_.device_.OnSpeed(line_, bps);
  return 0;
}

bool MemoryLine::Port::Purge() {
  if (!line_.open_) return false;
  line_.Service();
  line_.received_.clear();
  line_.overflow_ = false;
  return true;
}

size_t MemoryLine::Port::Write(const uint8_t* data, size_t n) {
  if (!line_.open_) return 0;
  uint64_t now = line_.clock_.NowMicros();
  uint64_t t = std::max(now, line_.program_line_free_);
  for (size_t i = 0; i < n; ++i) {
    uint8_t b = data[i];
    line_.written_.push_back(b);
    uint64_t delay = 0;
    int copies = line_.Inject(line_.options_.to_device, line_.written_index_++, b, delay);
    t += line_.ByteTime();
    for (int c = 0; c < copies; ++c) line_.to_device_.push_back({t + delay, b});
  }
  line_.program_line_free_ = t;
  line_.Service();
  return n;
}

bool MemoryLine::Port::Status(LineStatus& status) {
  if (!line_.open_) return false;
  line_.Service();
  status.queued = line_.received_.size();
  status.overflow = line_.overflow_;
  status.overrun = false;
  line_.overflow_ = false;  // reading the flags clears them, as on a real port
  return true;
}

size_t MemoryLine::Port::Read(uint8_t* data, size_t n) {
  if (!line_.open_) return 0;
  line_.Service();
  return line_.received_.Take(data, n);
}

bool MemoryLine::Port::WaitForInput(uint64_t micros) {
  if (!line_.open_) return false;
  line_.Service();
  if (!line_.received_.empty()) return true;
  // Sleep until the next byte is due or the wait is over, whichever is first.
  uint64_t now = line_.clock_.NowMicros();
  uint64_t until = now + micros;
  if (!line_.to_program_.empty()) until = std::min(until, std::max(now, line_.to_program_.front().due));
  if (!line_.to_device_.empty()) until = std::min(until, std::max(now, line_.to_device_.front().due));
  if (until > now) line_.clock_.Sleep(until - now);
  line_.Service();
  return !line_.received_.empty();
}

void MemoryLine::Port::Close() {
  line_.open_ = false;
  line_.received_.clear();
  line_.device_.OnSpeed(line_, 0);
}

}  // namespace fq::cam
