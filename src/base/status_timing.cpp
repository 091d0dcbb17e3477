#include "base/status_timing.h"

namespace fq::camera {

uint32_t QuietPeriodLeft(bool shown_before, uint32_t removed_at, uint32_t now) {
  if (!shown_before) return 0;
  uint32_t passed = now - removed_at;  // unsigned: right across a wrap of the counter
  return passed < kQuietPeriodMs ? kQuietPeriodMs - passed : 0;
}

bool BlinkShowsText(int tick) { return tick % 2 == 1; }

}  // namespace fq::camera
