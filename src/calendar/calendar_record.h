// The calendar record: everything that defines a calendar page, in the one
// fixed 1530-byte layout the calendar file stores byte for byte. The
// members carry the record's own field names; ToBytes and FromBytes move
// them field by field at their offsets, little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/messages.h"

namespace fq::cal {

inline constexpr size_t kRecordSize = 1530;
inline constexpr size_t kLogFontSize = 60;

// Kind: the same numbers as the two commands that create calendars.
inline constexpr uint32_t kMonthly = 131;
inline constexpr uint32_t kYearly = 132;

// GroupI: page layout.
inline constexpr uint32_t kPortrait = 1111;
inline constexpr uint32_t kLandscape = 1112;
// GroupY: title formats; GroupYP: title alignment.
inline constexpr uint32_t kTitle1 = 1201, kTitle2 = 1202, kTitle3 = 1203, kTitle4 = 1204;
inline constexpr uint32_t kTitleLeft = 1205, kTitleCentre = 1206, kTitleRight = 1207;
// GroupM (yearly month names) and GroupW (monthly week-day headings).
inline constexpr uint32_t kStyle1 = 1301, kStyle2 = 1302, kStyle3 = 1303;
// GroupMP: month-name alignment; GroupF: grid lines.
inline constexpr uint32_t kMonthLeft = 1304, kMonthCentre = 1305, kMonthRight = 1306;
inline constexpr uint32_t kFrameOn = 1304, kFrameOff = 1305;
// GroupW of yearly pages.
inline constexpr uint32_t kYearLetters = 1307, kYearShortDays = 1308;
// GroupD and SchedulePos: the 3 × 3 cell positions, row by row.
inline constexpr uint32_t kCellTopLeft = 1331, kCellBottomRight = 1339;
// GroupWclr and GroupDclr: which colour the font dialog's colour button edits.
inline constexpr uint32_t kColorWeekday = 1501, kColorSaturday = 1502, kColorSunday = 1503;

inline constexpr int kScheduleSlot = 15;   // bytes per day text
inline constexpr int kScheduleDays = 31;
inline constexpr int kScheduleMaxChars = 10;

// Colours are 0x00BBGGRR.
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kBlue = 0xFF0000;  // 16711680
inline constexpr uint32_t kRed = 0x0000FF;   // 255

// The 60-byte logical-font record of the platform, in its order.
struct LogFont {
  int32_t height = 0;  // pixels of the native page; negative: character height
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  uint8_t char_set = 0;  // 128: a Shift-JIS font
  uint8_t out_precision = 0;
  uint8_t clip_precision = 0;
  uint8_t quality = 0;
  uint8_t pitch_and_family = 0;
  std::array<char, 32> face_name{};

  std::string Face() const;
  void SetFace(std::string_view face);
  friend bool operator==(const LogFont&, const LogFont&) = default;
};

inline constexpr uint8_t kShiftJisCharset = 128;

struct CalendarRecord {
  uint32_t Kind = 0;
  std::array<char, 260> FullPath{};
  std::array<char, 260> FileName{};
  std::array<char, 5> Year{};
  std::array<char, 5> Month{};
  uint32_t GroupI = 0;
  uint32_t CheckImage = 0;  // non-zero: no photograph
  uint32_t GroupY = 0;
  uint32_t GroupYP = 0;
  LogFont FontY;
  uint32_t ColorY = 0;
  uint32_t GroupM = 0;
  uint32_t GroupMP = 0;
  LogFont FontM;
  uint32_t ColorM = 0;
  uint32_t GroupW = 0;
  LogFont FontW;
  uint32_t GroupWclr = 0;
  uint32_t ClrWmon = 0;
  uint32_t ClrWsat = 0;
  uint32_t ClrWsun = 0;
  uint32_t GroupD = 0;
  LogFont FontD;
  uint32_t GroupDclr = 0;
  uint32_t ClrDmon = 0;
  uint32_t ClrDsat = 0;
  uint32_t ClrDsun = 0;
  uint32_t GroupF = 0;
  uint32_t ColorF = 0;
  uint32_t FontTarget = 0;  // scratch: the font button used last
  uint32_t SixRows = 0;     // rewritten by every monthly rendering
  std::array<char, 600> Schedule{};
  uint32_t SchedulePos = 0;
  LogFont ScheduleFont;
  uint32_t ScheduleColor = 0;

  bool monthly() const { return Kind == kMonthly; }
  bool landscape() const { return GroupI == kLandscape; }
  bool has_photo() const { return CheckImage == 0; }
  friend bool operator==(const CalendarRecord&, const CalendarRecord&) = default;
};

// Text of a zero-terminated field (up to its first zero byte or its end).
template <size_t N>
std::string FieldText(const std::array<char, N>& field) {
  size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return std::string(field.data(), n);
}
// Stores `text` cut to N - 1 characters and zero-fills the rest.
template <size_t N>
void SetFieldText(std::array<char, N>& field, std::string_view text) {
  field.fill('\0');
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  for (size_t i = 0; i < n; ++i) field[i] = text[i];
}

// Day texts, days 1 to 31 (others: empty / ignored). A text is cut to 14
// characters, what a slot holds with its terminator.
std::string DayText(const CalendarRecord& r, int day);
void SetDayText(CalendarRecord& r, int day, std::string_view text);

// The record's bytes, field by field at their offsets.
std::array<uint8_t, kRecordSize> ToBytes(const CalendarRecord& r);
// The fields of 1530 bytes, as they are (no checks).
CalendarRecord FromBytes(std::span<const uint8_t, kRecordSize> bytes);

// A record read from outside, checked before anything uses it: fewer than
// 1530 bytes, a Kind other than 131 or 132, a Year that is not 1 to 4
// digits in 1999-2099, a monthly Month that is not 1 or 2 digits in 1-12,
// or a font whose height or width is larger than the page are refused with
// kFailedToReadFile. Group fields outside their lists take their defaults,
// and every text field gets a terminator in its last byte.
Result<CalendarRecord> ParseCalendarRecord(std::span<const uint8_t> bytes);

// The default of each group field for the record's kind, and whether a
// value is in the field's list.
void DefaultInvalidGroups(CalendarRecord& r);

// Year and month as numbers (0 when the text is not a number).
int YearOf(const CalendarRecord& r);
int MonthOf(const CalendarRecord& r);

// The cell position of GroupD or SchedulePos as row and column (0-2);
// values outside 1331-1339 count as 1331.
struct CellPosition {
  int row = 0, column = 0;
};
CellPosition CellOf(uint32_t position);

}  // namespace fq::cal
