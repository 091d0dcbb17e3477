// Timing rules of the camera status windows, as plain arithmetic.
#pragma once

#include <cstdint>

namespace fq::camera {

// A camera needs this long between two connections.
inline constexpr uint32_t kQuietPeriodMs = 8000;

// How long to wait before the connection status window may be shown again:
// the rest of the quiet period after its last removal (tick counts, which
// wrap), nothing for the first connection of the run.
uint32_t QuietPeriodLeft(bool shown_before, uint32_t removed_at, uint32_t now);

// The blinking message windows show their text on the first tick of their
// timer and every second tick after it (ticks counted from 1), and an empty
// line on the others.
bool BlinkShowsText(int tick);

}  // namespace fq::camera
