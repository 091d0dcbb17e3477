#include "tool_platform.h"

#ifdef _WIN32
#include "base/win/win_file_system.h"
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

void UsePlatformFileSystem() {
#ifdef _WIN32
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
#endif
}

std::tm LocalTime(std::time_t t) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

}  // namespace fqtool
