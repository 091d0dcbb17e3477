// Time as the camera link sees it. Deadlines and waits read an injectable
// clock so that tests of time-outs run in microseconds of real time.
#pragma once

#include <cstdint>

namespace fq::cam {

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds since an arbitrary start; never goes backwards.
  virtual uint64_t NowMicros() = 0;
  // Lets `micros` pass: sleeps on a real clock, advances a fake one.
  virtual void Sleep(uint64_t micros) = 0;
  uint64_t NowMillis() { return NowMicros() / 1000; }
};

// The steady system clock.
Clock& SystemClock();

// A clock that moves only when told to (Sleep or Advance).
class FakeClock final : public Clock {
 public:
  uint64_t NowMicros() override { return now_; }
  void Sleep(uint64_t micros) override { now_ += micros; }
  void Advance(uint64_t micros) { now_ += micros; }

 private:
  uint64_t now_ = 1'000'000;
};

}  // namespace fq::cam
