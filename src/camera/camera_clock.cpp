#include "camera/camera_clock.h"

#include <cstdio>

#include "camera/commands.h"
#include "camera/link_codes.h"

namespace fq::cam {
namespace {

constexpr uint32_t kBeforeEachReadMs = 100;
constexpr int kFirstYear = 1997, kLastYear = 2096;

// The value of a field of digits only; -1 for an empty field or any other
// character (and for more digits than any field can hold).
int DigitsValue(std::string_view text) {
  if (text.empty() || text.size() > 4) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::string Decimal(int v) { return std::to_string(v); }

std::string TwoDigits(int v) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", v);
  return text;
}

}  // namespace

ClockEntry EntryOf(int year, int month, int day, int hour, int minute) {
  ClockEntry e;
  e.year = Decimal(year);
  e.month = Decimal(month);
  e.day = Decimal(day);
  e.pm = hour >= 12;
  e.hour = TwoDigits(e.pm ? hour - 12 : hour);
  e.minute = TwoDigits(minute);
  return e;
}

int CameraMonthLength(int year, int month) {
  switch (month) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return year % 4 == 0 ? 29 : 28;
    default: return 31;
  }
}

ClockField CheckYear(const ClockEntry& e, ClockValues& out) {
  const int year = DigitsValue(e.year);
  if (year < kFirstYear || year > kLastYear) return ClockField::kYear;
  out.year = year;
  return ClockField::kNone;
}

ClockField CheckDate(const ClockEntry& e, ClockValues& out) {
  const int month = DigitsValue(e.month);
  if (month < 1 || month > 12) return ClockField::kMonth;
  const int day = DigitsValue(e.day);
  if (day < 1 || day > CameraMonthLength(out.year, month)) return ClockField::kDay;
  out.month = month;
  out.day = day;
  return ClockField::kNone;
}

ClockField CheckTime(const ClockEntry& e, ClockValues& out) {
  const int hour = DigitsValue(e.hour);
  if (hour < 0 || hour > 11) return ClockField::kHour;
  const int minute = DigitsValue(e.minute);
  if (minute < 0 || minute > 59) return ClockField::kMinute;
  out.hour = e.pm ? hour + 12 : hour;
  out.minute = minute;
  return ClockField::kNone;
}

ClockField FirstBadField(const ClockEntry& e, ClockValues& out) {
  if (ClockField f = CheckYear(e, out); f != ClockField::kNone) return f;
  if (ClockField f = CheckDate(e, out); f != ClockField::kNone) return f;
  return CheckTime(e, out);
}

bool FieldFits(std::string_view text, size_t limit) { return text.size() <= limit; }

ClockItems ClockItemsOf(int camera_type) {
  if (camera_type == 2) return {192, 193, 194, 0};
  return {64, 65, 66, 1};
}

int ReadCameraClock(CameraLink& link, ClockEntry& entry) {
  const ClockItems items = ClockItemsOf(link.camera_type);
  uint16_t year = 0, date = 0, time = 0;
  PumpWait(link, kBeforeEachReadMs);
  if (int r = SequencedReadClockItem(link, items.year, items.flag, year)) return r;
  PumpWait(link, kBeforeEachReadMs);
  if (int r = SequencedReadClockItem(link, items.date, items.flag, date)) return r;
  PumpWait(link, kBeforeEachReadMs);
  if (int r = SequencedReadClockItem(link, items.time, items.flag, time)) return r;
  entry = EntryOf(year, date >> 8, date & 0xFF, time >> 8, time & 0xFF);
  return rc::kOk;
}

int SetCameraClock(CameraLink& link, const ClockEntry& entry, ClockField& bad_field) {
  const ClockItems items = ClockItemsOf(link.camera_type);
  ClockValues v;
  if ((bad_field = CheckYear(entry, v)) != ClockField::kNone) return rc::kOk;
  if (int r = SequencedSetClockItem(link, items.year, items.flag, static_cast<uint16_t>(v.year)))
    return r;
  if ((bad_field = CheckDate(entry, v)) != ClockField::kNone) return rc::kOk;
  if (int r = SequencedSetClockItem(link, items.date, items.flag,
                                    static_cast<uint16_t>(v.month * 256 + v.day)))
    return r;
  if ((bad_field = CheckTime(entry, v)) != ClockField::kNone) return rc::kOk;
  return SequencedSetClockItem(link, items.time, items.flag,
                               static_cast<uint16_t>(v.hour * 256 + v.minute));
}

}  // namespace fq::cam
