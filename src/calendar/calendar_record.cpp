#include "calendar/calendar_record.h"

#include <cstring>
#include <initializer_list>

#include "base/bytes.h"

namespace fq::cal {
namespace {

// Walks the fields in file order with a cursor; the same walk reads and
// writes, so the two can never disagree about an offset.
template <class Rec, class Io>
void Walk(Rec& r, Io& io) {
  auto font = [&io](auto& f) {
    io.I32(f.height);
    io.I32(f.width);
    io.I32(f.escapement);
    io.I32(f.orientation);
    io.I32(f.weight);
    io.U8(f.italic);
    io.U8(f.underline);
    io.U8(f.strike_out);
    io.U8(f.char_set);
    io.U8(f.out_precision);
    io.U8(f.clip_precision);
    io.U8(f.quality);
    io.U8(f.pitch_and_family);
    io.Chars(f.face_name);
  };
  io.U32(r.Kind);
  io.Chars(r.FullPath);
  io.Chars(r.FileName);
  io.Chars(r.Year);
  io.Chars(r.Month);
  io.U32(r.GroupI);
  io.U32(r.CheckImage);
  io.U32(r.GroupY);
  io.U32(r.GroupYP);
  font(r.FontY);
  io.U32(r.ColorY);
  io.U32(r.GroupM);
  io.U32(r.GroupMP);
  font(r.FontM);
  io.U32(r.ColorM);
  io.U32(r.GroupW);
  font(r.FontW);
  io.U32(r.GroupWclr);
  io.U32(r.ClrWmon);
  io.U32(r.ClrWsat);
  io.U32(r.ClrWsun);
  io.U32(r.GroupD);
  font(r.FontD);
  io.U32(r.GroupDclr);
  io.U32(r.ClrDmon);
  io.U32(r.ClrDsat);
  io.U32(r.ClrDsun);
  io.U32(r.GroupF);
  io.U32(r.ColorF);
  io.U32(r.FontTarget);
  io.U32(r.SixRows);
  io.Chars(r.Schedule);
  io.U32(r.SchedulePos);
  font(r.ScheduleFont);
  io.U32(r.ScheduleColor);
}

struct Writer {
  uint8_t* p;
  size_t at = 0;
  void U32(uint32_t v) { PutU32(p + at, v), at += 4; }
  void I32(int32_t v) { PutI32(p + at, v), at += 4; }
  void U8(uint8_t v) { p[at++] = v; }
  template <size_t N>
  void Chars(const std::array<char, N>& a) {
    std::memcpy(p + at, a.data(), N);
    at += N;
  }
};

struct Reader {
  const uint8_t* p;
  size_t at = 0;
  void U32(uint32_t& v) { v = GetU32(p + at), at += 4; }
  void I32(int32_t& v) { v = GetI32(p + at), at += 4; }
  void U8(uint8_t& v) { v = p[at++]; }
  template <size_t N>
  void Chars(std::array<char, N>& a) {
    std::memcpy(a.data(), p + at, N);
    at += N;
  }
};

bool OneOf(uint32_t v, std::initializer_list<uint32_t> list) {
  for (uint32_t x : list)
    if (v == x) return true;
  return false;
}

void Keep(uint32_t& field, std::initializer_list<uint32_t> list, uint32_t def) {
  if (!OneOf(field, list)) field = def;
}

// Decimal digits only, 1 to `max_digits` of them, then the terminator.
int DigitsValue(std::string_view text, size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The page height in native pixels bounds every sensible font size.
constexpr int32_t kLargestFontPixels = 1188;

bool SaneFont(const LogFont& f) {
  auto within = [](int32_t v) { return v >= -kLargestFontPixels && v <= kLargestFontPixels; };
  return within(f.height) && within(f.width);
}

void Terminate(LogFont& f) { f.face_name.back() = '\0'; }

}  // namespace

std::string LogFont::Face() const { return FieldText(face_name); }
void LogFont::SetFace(std::string_view face) { SetFieldText(face_name, face); }

std::string DayText(const CalendarRecord& r, int day) {
  if (day < 1 || day > kScheduleDays) return {};
  const char* slot = r.Schedule.data() + kScheduleSlot * (day - 1);
  size_t n = 0;
  while (n < kScheduleSlot && slot[n] != '\0') ++n;
  return std::string(slot, n);
}

void SetDayText(CalendarRecord& r, int day, std::string_view text) {
  if (day < 1 || day > kScheduleDays) return;
  char* slot = r.Schedule.data() + kScheduleSlot * (day - 1);
  std::memset(slot, 0, kScheduleSlot);
  const size_t n = text.size() < kScheduleSlot - 1 ? text.size() : kScheduleSlot - 1;
  std::memcpy(slot, text.data(), n);
}

std::array<uint8_t, kRecordSize> ToBytes(const CalendarRecord& r) {
  std::array<uint8_t, kRecordSize> bytes{};
  Writer w{bytes.data()};
  Walk(r, w);
  return bytes;
}

CalendarRecord FromBytes(std::span<const uint8_t, kRecordSize> bytes) {
  CalendarRecord r;
  Reader rd{bytes.data()};
  Walk(r, rd);
  return r;
}

void DefaultInvalidGroups(CalendarRecord& r) {
  Keep(r.GroupI, {kPortrait, kLandscape}, kPortrait);
  Keep(r.GroupY, {kTitle1, kTitle2, kTitle3, kTitle4}, kTitle1);
  Keep(r.GroupYP, {kTitleLeft, kTitleCentre, kTitleRight}, kTitleCentre);
  Keep(r.GroupWclr, {kColorWeekday, kColorSaturday, kColorSunday}, kColorWeekday);
  Keep(r.GroupDclr, {kColorWeekday, kColorSaturday, kColorSunday}, kColorWeekday);
  if (r.monthly()) {
    Keep(r.GroupW, {kStyle1, kStyle2, kStyle3}, kStyle1);
    if (r.GroupD < kCellTopLeft || r.GroupD > kCellBottomRight) r.GroupD = kCellTopLeft;
    Keep(r.GroupF, {kFrameOn, kFrameOff}, kFrameOn);
  } else {
    Keep(r.GroupW, {kYearLetters, kYearShortDays}, kYearLetters);
    Keep(r.GroupM, {kStyle1, kStyle2, kStyle3}, kStyle1);
    Keep(r.GroupMP, {kMonthLeft, kMonthCentre, kMonthRight}, kMonthCentre);
  }
}

Result<CalendarRecord> ParseCalendarRecord(std::span<const uint8_t> bytes) {
  if (bytes.size() < kRecordSize) return Failure{err::kFailedToReadFile};
  CalendarRecord r = FromBytes(bytes.first<kRecordSize>());
  if (r.Kind != kMonthly && r.Kind != kYearly) return Failure{err::kFailedToReadFile};
  r.FullPath.back() = '\0';
  r.FileName.back() = '\0';
  r.Year.back() = '\0';
  r.Month.back() = '\0';
  for (int d = 1; d <= kScheduleDays; ++d) r.Schedule[kScheduleSlot * d - 1] = '\0';
  r.Schedule.back() = '\0';
  for (LogFont* f : {&r.FontY, &r.FontM, &r.FontW, &r.FontD, &r.ScheduleFont}) {
    Terminate(*f);
    if (!SaneFont(*f)) return Failure{err::kFailedToReadFile};
  }
  const int year = DigitsValue(FieldText(r.Year), 4);
  if (year < 1999 || year > 2099) return Failure{err::kFailedToReadFile};
  if (r.monthly()) {
    const int month = DigitsValue(FieldText(r.Month), 2);
    if (month < 1 || month > 12) return Failure{err::kFailedToReadFile};
  }
  DefaultInvalidGroups(r);
  return r;
}

int YearOf(const CalendarRecord& r) {
  int v = DigitsValue(FieldText(r.Year), 4);
  return v < 0 ? 0 : v;
}

int MonthOf(const CalendarRecord& r) {
  int v = DigitsValue(FieldText(r.Month), 2);
  return v < 0 ? 0 : v;
}

CellPosition CellOf(uint32_t position) {
  if (position < kCellTopLeft || position > kCellBottomRight) position = kCellTopLeft;
  const int i = static_cast<int>(position - kCellTopLeft);
  return {i / 3, i % 3};
}

}  // namespace fq::cal
