#include "base/meter_math.h"

#include <algorithm>
#include <cstdint>

namespace fq::meter {

MeterView ComputeMeter(int range, int position, int width) {
  if (range <= 0) {
    range = 100;
    position = 0;
  }
  // 64-bit: block counts times the width or 100 may not fit in an int.
  int64_t pct = int64_t{position} * 100 / range;
  int64_t split = int64_t{position} * std::max(width, 0) / range;
  MeterView v;
  v.percent = static_cast<int>(std::clamp<int64_t>(pct, INT32_MIN, INT32_MAX));
  v.split_x = static_cast<int>(std::clamp<int64_t>(split, 0, std::max(width, 0)));
  return v;
}

std::string MeterText(int percent) { return std::to_string(percent) + "%"; }

int TextTop(int height, int letter_height) { return (height - letter_height) / 2; }

}  // namespace fq::meter
