// What the camera commands of fqtool share: failures printed with the
// program's own message texts, and line speeds given in bit/s.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "camera/camera_link.h"

namespace fqtool {

class PrintingReporter final : public fq::cam::Reporter {
 public:
  void ShowMessage(int index) override {
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(index)).c_str());
  }
};

// The speed code of a rate in bit/s ("115200"), or -1.
inline int SpeedCodeOf(std::string_view bps) {
  for (int code : {0, 1, 2, 3, 13})
    if (std::to_string(fq::cam::LineSpeedOf(code)) == bps) return code;
  return -1;
}

}  // namespace fqtool
