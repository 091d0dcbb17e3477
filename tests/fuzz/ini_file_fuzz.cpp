// The settings file parser on arbitrary text: reading never fails, and a
// value written is read back while the other values stay as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/ini_file.h"

using fq::settings::FindValue;
using fq::settings::SetValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto tool = FindValue(text, "ORXAPP", "Tool");
  auto time = FindValue(text, "CAPTURE", "Time");
  auto dir = FindValue(text, "orxapp", "DIR");

  std::string written = SetValue(text, "ORXAPP", "dir", "C:\\Photos\\");
  if (FindValue(written, "ORXAPP", "dir") != std::optional<std::string>("C:\\Photos\\")) std::abort();
  if (FindValue(written, "ORXAPP", "Tool") != tool) std::abort();
  if (FindValue(written, "CAPTURE", "Time") != time) std::abort();

  written = SetValue(written, "CAPTURE", "Time", "7");
  if (FindValue(written, "CAPTURE", "Time") != std::optional<std::string>("7")) std::abort();
  if (FindValue(written, "ORXAPP", "Tool") != tool) std::abort();
  (void)dir;
  return 0;
}
