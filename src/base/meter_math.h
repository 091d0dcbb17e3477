// What the percentage bar shows for a range and a position: the text and
// where the filled part ends. The window class only paints these.
#pragma once

#include <string>

namespace fq::meter {

inline constexpr int kInitialRange = 100;
// The range the progress dialog sets: most codings report 25 steps.
inline constexpr int kDialogRange = 25;

struct MeterView {
  int percent = 0;  // position * 100 / range, truncated
  int split_x = 0;  // the filled part covers [0, split_x), held within [0, width]
};

// A range of 0 (or below) is shown as an empty bar reading 0%.
MeterView ComputeMeter(int range, int position, int width);
// "52%".
std::string MeterText(int percent);
// The top of the text line, centring a line of `letter_height` in `height`.
int TextTop(int height, int letter_height);

}  // namespace fq::meter
