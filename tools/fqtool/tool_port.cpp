#include "tool_port.h"

#ifdef _WIN32
#include "camera/win/win32_port.h"
#else
#include "camera/posix_port.h"
#endif

namespace fqtool {

std::unique_ptr<fq::cam::SerialPort> MakeSerialPort() {
#ifdef _WIN32
  return std::make_unique<fq::win::Win32Port>();
#else
  return std::make_unique<fq::cam::PosixPort>();
#endif
}

}  // namespace fqtool
