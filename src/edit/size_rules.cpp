#include "edit/size_rules.h"

#include <cmath>

namespace fq::edit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FilterSizeField(std::string_view typed) {
  std::string digits;
  for (char c : typed) {
    if (!IsDigit(c) || digits.size() == kMaxSizeDigits) break;
    digits += c;
  }
  if (!digits.empty() && digits[0] == '0') return "0";
  if (!digits.empty() && std::stoi(digits) > kMaxNewSize) return std::to_string(kMaxNewSize);
  return digits;
}

ConstrainedSize Constrain(int value, double ratio) {
  ConstrainedSize c{value, static_cast<int>(std::lround(value * ratio))};
  if (c.other > kMaxNewSize && ratio > 0) {
    c.edited = static_cast<int>(std::lround(kMaxNewSize / ratio));
    c.other = kMaxNewSize;
  }
  return c;
}

std::optional<NewSize> AcceptedSize(std::string_view width, std::string_view height) {
  auto value = [](std::string_view text) -> std::optional<int> {
    if (text.empty() || text.size() > kMaxSizeDigits) return std::nullopt;
    int v = 0;
    for (char c : text) {
      if (!IsDigit(c)) return std::nullopt;
      v = v * 10 + (c - '0');
    }
    if (v < kMinNewSize || v > kMaxNewSize) return std::nullopt;
    return v;
  };
  auto w = value(width), h = value(height);
  if (!w || !h) return std::nullopt;
  return NewSize{*w, *h};
}

}  // namespace fq::edit
