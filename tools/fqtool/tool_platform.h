// What fqtool does differently on each system it is built for:
// - the serial port it talks to a camera through: termios on a device path
//   (/dev/ttyUSB0, a pseudo-terminal) on a POSIX system, the Win32
//   communications functions on a port name (COM1) on Windows;
// - the local time (the C library's thread-safe form differs);
// - the core's file access: the C library on a POSIX system, the Win32 file
//   functions on Windows (as the program uses them), where a file is
//   replaced in one step and temporary files go to the system's folder.
#pragma once

#include <ctime>
#include <memory>

#include "camera/serial_port.h"

namespace fqtool {

std::unique_ptr<fq::cam::SerialPort> MakeSerialPort();

// Installs the file access; main() calls it before anything touches a file.
void UsePlatformFileSystem();

// The local calendar time of `t`.
std::tm LocalTime(std::time_t t);

}  // namespace fqtool
