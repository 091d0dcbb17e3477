#include "album/album_date.h"

#include <array>
#include <cstdio>

#include "base/region.h"
#include "image/image_information.h"

namespace fq::album {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

const char* MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[static_cast<size_t>(month - 1)] : "";
}

// Digits [at, at + n) of `s` as a number, or -1.
int Digits(std::string_view s, size_t at, size_t n) {
  if (at + n > s.size()) return -1;
  int v = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

}  // namespace

std::string DateLabel(const PictureDate& date, int region) {
  if (date.none()) return {};
  char text[64];
  if (region == region::kJapanese) {
    std::snprintf(text, sizeof text, "%d/%d/%d", date.year, date.month, date.day);
  } else if (region == region::kFrench || region == region::kGerman) {
    std::snprintf(text, sizeof text, "%d %s.,%d", date.day, MonthName(date.month), date.year);
  } else {
    std::snprintf(text, sizeof text, "%s. %d, %d", MonthName(date.month), date.day, date.year);
  }
  return text;
}

std::optional<PictureDate> DateFromCameraText(std::string_view text) {
  if (text.size() < 10 || text[4] != ':' || text[7] != ':') return std::nullopt;
  PictureDate d{Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2)};
  if (d.year < 0 || d.month < 0 || d.day < 0) return std::nullopt;
  if (d.none()) return d;
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return std::nullopt;
  return d;
}

PictureDate PictureDateOf(const std::string& path, std::optional<PictureDate> created) {
  const PictureDate fallback = created.value_or(PictureDate{});
  const std::string taken = ReadDateTaken(path);
  if (taken.empty()) return fallback;
  return DateFromCameraText(taken).value_or(fallback);
}

}  // namespace fq::album
