// The serial port fqtool talks to a camera through: termios on a device
// path (/dev/ttyUSB0, a pseudo-terminal) where the tool is built for a POSIX
// system, the Win32 communications functions on a port name (COM1) where it
// is built for Windows.
#pragma once

#include <memory>

#include "camera/serial_port.h"

namespace fqtool {

std::unique_ptr<fq::cam::SerialPort> MakeSerialPort();

}  // namespace fqtool
