// The serial port through termios, for the command-line tool and native
// tests on a pseudo-terminal. Not available on Windows.
#pragma once

#include "camera/serial_port.h"

namespace fq::cam {

class PosixPort final : public SerialPort {
 public:
  PosixPort() = default;
  ~PosixPort() override { Close(); }
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  // `name` is a device path.
  int Open(const std::string& name) override;
  int SetSpeed(uint32_t bits_per_second) override;
  bool Purge() override;
  size_t Write(const uint8_t* data, size_t n) override;
  bool Status(LineStatus& status) override;
  size_t Read(uint8_t* data, size_t n) override;
  bool WaitForInput(uint64_t micros) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace fq::cam
