// The serial port through the Win32 communications functions. Reads never
// block: the time-outs make ReadFile return at once with what is queued.
#pragma once

#include <windows.h>

#include "camera/serial_port.h"

namespace fq::win {

class Win32Port final : public cam::SerialPort {
 public:
  Win32Port() = default;
  ~Win32Port() override { Close(); }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  // `name` is "COM1".."COM4" (or any name the device namespace knows).
  int Open(const std::string& name) override;
  int SetSpeed(uint32_t bits_per_second) override;
  bool Purge() override;
  size_t Write(const uint8_t* data, size_t n) override;
  bool Status(cam::LineStatus& status) override;
  size_t Read(uint8_t* data, size_t n) override;
  // Waits for input or a window message, whichever comes first.
  bool WaitForInput(uint64_t micros) override;
  void Close() override;
  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The driver's settable-speed mask of a port (0x800 9600, 0x2000 19200,
// 0x4000 38400, 0x40000 57600, 0x20000 115200): -1 when the driver reports
// its properties in another form, 0 when the port cannot be opened or
// asked.
DWORD ProbePortSpeeds(const char* port_name);

}  // namespace fq::win
