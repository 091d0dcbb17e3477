// The rules of a screen capture that need no window system: the seconds
// field, which road the display's colour depth takes, the captured area on
// the screen, and the countdown.
#pragma once

#include <optional>
#include <string_view>

namespace fq::capture {

inline constexpr int kDisplayCapture = 182;
inline constexpr int kWindowCapture = 183;

// The seconds field as typed: its leading digits, at most two, held within
// 1 to 30. Nothing when it does not start with a digit (an empty field).
std::optional<int> SecondsFromField(std::string_view text);

// 16 bits per pixel or more: the screen is copied directly; 5 to 8 (palette
// displays): the system's own screen copy through the clipboard; anything
// else cannot be captured.
enum class Road { kDirect, kPalette, kNone };
Road RoadForDepth(int bits_per_pixel);

struct Area {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Area&, const Area&) = default;
};
// The part of a window rectangle on a screen of the given size; nothing
// when no pixel of it is on the screen.
std::optional<Area> ClipToScreen(Area a, int screen_width, int screen_height);

// One second per tick until the count taken at the start is reached. The
// count is held within 1 to 30 so that a stored 0, a negative number or
// text (which reads as 0) still ends.
class Countdown {
 public:
  void Start(int command, int seconds);
  // Counts one second; true when the capture is due (the countdown is then
  // over).
  bool Tick();
  void Stop() { command_ = 0; }
  bool pending() const { return command_ != 0; }
  int command() const { return command_; }
  int seconds() const { return seconds_; }
  int elapsed() const { return elapsed_; }

 private:
  int command_ = 0;
  int seconds_ = 0;
  int elapsed_ = 0;
};

}  // namespace fq::capture
