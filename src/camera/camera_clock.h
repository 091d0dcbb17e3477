// The camera's clock as the "Camera Setup" dialog shows and sets it: the
// texts of its fields, the checks of what the user typed (in the order the
// dialog makes them) and reading and writing the three clock items of a
// camera of type 2, 3 or 4.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "camera/camera_link.h"

namespace fq::cam {

// The fields as text, as shown and typed: the hour in 12-hour form with AM
// or PM chosen beside it.
struct ClockEntry {
  std::string year, month, day, hour, minute;
  bool pm = false;
  friend bool operator==(const ClockEntry&, const ClockEntry&) = default;
};

// The fields of the dialog, named for the checks.
enum class ClockField { kNone, kYear, kMonth, kDay, kHour, kMinute };

// The values the camera gets: the hour in 24-hour form.
struct ClockValues {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// The texts of a time: year, month and day "%d", hour (12-hour) and minute
// "%02d". An hour of 12 or more shows hour − 12 with PM.
ClockEntry EntryOf(int year, int month, int day, int hour, int minute);

// Days in a month as the camera counts them: February has 29 days in
// every year divisible by 4.
int CameraMonthLength(int year, int month);

// Checks the year (1997 to 2096), the date (month 1 to 12, day within the
// month) and the time (hour 0 to 11, minute 0 to 59), in this order; empty
// or non-digit fields fail. Answers the first field that fails (kNone when
// all pass, with `out` filled). The checks of a field use only the fields
// before it.
ClockField FirstBadField(const ClockEntry& entry, ClockValues& out);
ClockField CheckYear(const ClockEntry& entry, ClockValues& out);
ClockField CheckDate(const ClockEntry& entry, ClockValues& out);
ClockField CheckTime(const ClockEntry& entry, ClockValues& out);

// Whether typed text may stay in a field of at most `limit` characters
// (4 for the year, 2 for the others); otherwise the field's remembered text
// is put back.
bool FieldFits(std::string_view text, size_t limit);

// Item codes and flag of the camera type: 192..194 with flag 0 for type 2,
// 64..66 with flag 1 for types 3 and 4.
struct ClockItems {
  uint8_t year, date, time, flag;
};
ClockItems ClockItemsOf(int camera_type);

// Reads the three items, with a 100 ms pumping wait before each, into the
// texts the dialog shows (values as the camera gives them: a month 13 or an
// hour 25 is shown as read). The link's result code.
int ReadCameraClock(CameraLink& link, ClockEntry& entry);

// The "OK" of the dialog: each item is checked and then set, year, date,
// time; a failed check stops before anything further is sent and names
// the field in `bad_field`. The link's result code of a failed set, 0
// otherwise (also when a check failed: look at `bad_field`).
int SetCameraClock(CameraLink& link, const ClockEntry& entry, ClockField& bad_field);

}  // namespace fq::cam
