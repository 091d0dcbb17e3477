// The small port interface the camera protocol is written against: open by
// name, line settings and speed, purge, write, queued count and error flags,
// read, close. Implementations: Win32 (src/camera/win), POSIX termios, and
// an in-memory pair for tests (memory_line.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fq::cam {

struct LineStatus {
  size_t queued = 0;      // bytes waiting to be read
  bool overrun = false;   // the receiver lost bytes
  bool overflow = false;  // the receive queue overflowed
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens the named port ("COM1".."COM4" on Windows; a device path
  // elsewhere) with the fixed line settings at 9600 bit/s. Returns 0 or the
  // link's result code (10 cannot open, 13 queue sizes, 15/16 line state,
  // 17 time-outs).
  virtual int Open(const std::string& name) = 0;
  // Changes only the speed. 0, 15 (state unreadable) or 16 (cannot set).
  virtual int SetSpeed(uint32_t bits_per_second) = 0;
  // Drops everything queued in both directions. False on failure.
  virtual bool Purge() = 0;
  // Writes; returns the number of bytes written (short = failure).
  virtual size_t Write(const uint8_t* data, size_t n) = 0;
  // Line status; false when it cannot be read.
  virtual bool Status(LineStatus& status) = 0;
  // Reads at most n bytes of what is queued, never blocking; returns the count.
  virtual size_t Read(uint8_t* data, size_t n) = 0;
  // Waits up to `micros` for input to arrive (or returns at once when some
  // is queued). Lets a receive loop sleep instead of spinning. Returns true
  // when input may be there.
  virtual bool WaitForInput(uint64_t micros) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};

}  // namespace fq::cam
