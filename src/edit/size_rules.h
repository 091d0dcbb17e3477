// The arithmetic of the Image Size dialog: what a size field keeps of what
// is typed, the partner field with "Constrain Proportion" ticked, and which
// sizes OK accepts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fq::edit {

inline constexpr int kMinNewSize = 32;
inline constexpr int kMaxNewSize = 1920;
inline constexpr size_t kMaxSizeDigits = 4;

// What a size field shows after a change: cut at the first character that is
// not a decimal digit and to four digits; a leading "0" leaves "0"; above
// 1920 becomes "1920". Empty stays empty.
std::string FilterSizeField(std::string_view typed);

// With the proportion kept: the other field is round(value × ratio); when
// that would pass 1920, the other is 1920 and the edited value becomes
// round(1920 / ratio). `ratio` is height / width when the width is edited
// and width / height when the height is.
struct ConstrainedSize {
  int edited = 0;
  int other = 0;
  friend bool operator==(const ConstrainedSize&, const ConstrainedSize&) = default;
};
ConstrainedSize Constrain(int value, double ratio);

// The size OK accepts: both fields non-empty, digits only, each 32..1920.
struct NewSize {
  int width = 0, height = 0;
  friend bool operator==(const NewSize&, const NewSize&) = default;
};
std::optional<NewSize> AcceptedSize(std::string_view width, std::string_view height);

// The box OK shows otherwise.
inline constexpr std::string_view kInvalidSizeMessage =
    "Invalid new size value input.\nPlease input again.\n  (Selected Size)   min : 32, max : 1920";

}  // namespace fq::edit
