// The calendar page as drawing items: date arithmetic from 1 January 1980,
// the four page geometries in millimetres converted to a target's pixels,
// the texts of every element, and the drawing order. One list serves every
// target: the page bitmap, the printer and the command-line renderer play
// the same items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_record.h"

namespace fq::cal {

// --- Dates -------------------------------------------------------------------

// Leap years by the four-year rule, exact for 1999-2099.
bool IsLeapYear(int year);
int MonthLength(int year, int month);
// Days from 1 January 1980 to 1 January of `year`.
int DaysBeforeYear(int year);
// 0 = Sunday ... 6 = Saturday.
int FirstWeekDay(int year, int month);
// Starts on a Friday with 31 days, or on a Saturday with 30 or 31.
bool NeedsSixRows(int year, int month);

// --- Page --------------------------------------------------------------------

inline constexpr int kPixelsPerMm = 4;
// The native page bitmap: 840 × 1188 (portrait) or 1188 × 840.
int PageWidth(const CalendarRecord& r);
int PageHeight(const CalendarRecord& r);

// The calendar texts follow the interface language: English (also for the
// French and German interfaces) or Japanese.
enum class Language { kEnglish, kJapanese };
Language LanguageForRegion(int region_code);

struct TextSize {
  int width = 0, height = 0;
};
// Measures a text in a font (the font's height already scaled to the
// target). The window layer measures with the platform, the command-line
// renderer with its font engine, tests with fixed rules.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual TextSize Measure(const LogFont& font, std::string_view text) = 0;
};
// The measured size, widened for an italic font.
TextSize MeasureText(TextMeasurer& m, const LogFont& font, std::string_view text);

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct DrawItem {
  enum class Kind {
    kFill,   // rect filled with colour
    kPhoto,  // the photograph stretched into rect
    kLine,   // a grid line: rect is the pen's stroke, filled with colour
    kText,   // text drawn from rect's top-left, or centred in its width
  };
  Kind kind = Kind::kFill;
  PixelRect rect;
  uint32_t color = 0;
  // Lines: the line's position and pen width, as the layout put them.
  int pen = 0;
  // Texts.
  std::string text;
  LogFont font;
  bool centred = false;
};

struct PageTarget {
  int x0 = 0, y0 = 0;
  int width = 0;            // target pixels across the page
  bool fill_page = true;    // the page bitmap is filled white first
  bool day_texts = true;    // the wizard's preview leaves them out
  Language language = Language::kEnglish;
};

struct PhotoSize {
  int width = 0, height = 0;
};

// The page's drawing items in drawing order. A monthly page stores its
// SixRows into the record. `photo` must be given when the record shows a
// photograph; without it (or for a zero target width) nothing is laid out.
std::optional<std::vector<DrawItem>> LayoutCalendarPage(CalendarRecord& r,
                                                        const PageTarget& target,
                                                        TextMeasurer& m,
                                                        std::optional<PhotoSize> photo);

// Texts of the elements.
std::string TitleText(const CalendarRecord& r, Language language);
std::string MonthNameText(uint32_t group_m, int month, Language language);
std::string MonthlyHeadingText(uint32_t group_w, int week_day);
std::string YearlyLetterText(uint32_t group_w, int week_day, Language language);

// The photograph's rectangle inside its box for a picture of the given size.
PixelRect PhotoRect(const PixelRect& box, PhotoSize photo);

}  // namespace fq::cal
