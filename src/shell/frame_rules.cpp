#include "shell/frame_rules.h"

namespace fq::shell {

std::array<int, kStatusBarParts> StatusBarPartEdges(int region, int w) {
  switch (region) {
    case 3:
      return {w - 300, w - 230, w - 155, w - 85, w - 10};
    case 1:
    case 2:
      return {w - 364, w - 262, w - 187, w - 85, w - 10};
    default:
      return {w - 332, w - 246, w - 171, w - 85, w - 10};
  }
}

Bars BarsFromSettings(int tool, int status) {
  if (tool == 0 && status == 0) return {true, true};
  if (tool == 0 && status == 1) return {true, false};
  if (tool == 1 && status == 0) return {false, true};
  return {};
}

}  // namespace fq::shell
