#include "output/capture_rules.h"

#include <algorithm>

#include "base/settings.h"

namespace fq::capture {

std::optional<int> SecondsFromField(std::string_view text) {
  int value = 0, digits = 0;
  while (digits < 2 && static_cast<size_t>(digits) < text.size() && text[digits] >= '0' &&
         text[digits] <= '9') {
    value = value * 10 + (text[digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return std::clamp(value, settings::kCaptureSecondsMin, settings::kCaptureSecondsMax);
}

Road RoadForDepth(int bits) {
  if (bits >= 16) return Road::kDirect;
  if (bits >= 5 && bits <= 8) return Road::kPalette;
  return Road::kNone;
}

std::optional<Area> ClipToScreen(Area a, int screen_width, int screen_height) {
  Area c{std::max(a.left, 0), std::max(a.top, 0), std::min(a.right, screen_width),
         std::min(a.bottom, screen_height)};
  if (c.width() <= 0 || c.height() <= 0) return std::nullopt;
  return c;
}

void Countdown::Start(int command, int seconds) {
  command_ = command;
  seconds_ = std::clamp(seconds, settings::kCaptureSecondsMin, settings::kCaptureSecondsMax);
  elapsed_ = 0;
}

bool Countdown::Tick() {
  if (!pending()) return false;
  if (++elapsed_ < seconds_) return false;
  return true;
}

}  // namespace fq::capture
