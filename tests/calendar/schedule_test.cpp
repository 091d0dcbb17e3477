#include "calendar/schedule.h"

#include <gtest/gtest.h>

#include "calendar/wizard_rules.h"

namespace fq::cal {
namespace {

CalendarRecord February(const char* year) {
  CalendarRecord r;
  r.Kind = kMonthly;
  SetFieldText(r.Year, year);
  SetFieldText(r.Month, "2");
  return r;
}

TEST(Schedule, DayListsEditsAndTheirUndo) {
  auto days = ScheduleDays(February("2000"));
  ASSERT_EQ(days.size(), 29u);
  EXPECT_EQ(days.front(), " 1");
  EXPECT_EQ(days.back(), "29");
  EXPECT_EQ(ScheduleDays(February("2001")).back(), "28");

  CalendarRecord r = February("2000");
  const Schedule untouched = ScheduleOf(r);
  EXPECT_EQ(untouched.position, 0u);  // a new calendar stores 0 ...
  Schedule dialog = untouched;
  dialog.position = kCellTopLeft;     // ... which the dialog shows as top-left
  EXPECT_TRUE(SameSchedule(untouched, dialog));

  Schedule edited = untouched;
  edited.texts[0] = "New moon";
  edited.texts[28] = "Leap day";
  edited.position = 1339;
  edited.color = kRed;
  EXPECT_FALSE(SameSchedule(untouched, edited));
  ApplySchedule(r, edited);
  EXPECT_EQ(DayText(r, 29), "Leap day");
  EXPECT_EQ(r.SchedulePos, 1339u);
  // Undo and redo exchange the texts, byte for byte.
  const auto after = ToBytes(r);
  Schedule kept = untouched;
  ExchangeSchedule(r, kept);
  EXPECT_EQ(ToBytes(r), ToBytes(February("2000")));
  ExchangeSchedule(r, kept);
  EXPECT_EQ(ToBytes(r), after);

  EXPECT_TRUE(ScheduleTextFits("0123456789"));
  EXPECT_FALSE(ScheduleTextFits("0123456789A"));
}

TEST(WizardRules, FieldsAndMessages) {
  EXPECT_EQ(KeepLeadingDigits("20x", 4), "20");
  EXPECT_EQ(KeepLeadingDigits("200012", 4), "2000");
  EXPECT_EQ(KeepLeadingDigits("x1", 2), "");
  EXPECT_EQ(FieldNumber("1998", 1999, 2099), -1);
  EXPECT_EQ(FieldNumber("2099", 1999, 2099), 2099);
  EXPECT_EQ(FieldNumber("13", 1, 12), -1);
  EXPECT_EQ(PictureDateMessage(true, true, true), "");
  EXPECT_EQ(PictureDateMessage(true, false, true), "Invalid \"Year, Month\".\nPlease input again.");
  EXPECT_EQ(PictureDateMessage(true, false, false), "Invalid \"Year\".\nPlease input again.");
  EXPECT_EQ(PictureDateMessage(false, true, false), "Invalid \"Image Select\".\nPlease input again.");
  EXPECT_EQ(PictureDateMessage(false, false, true),
            "Invalid \"Image Select\" and \"Year, Month\".\nPlease input again.");
  EXPECT_EQ(PictureDateMessage(false, false, false),
            "Invalid \"Image Select\" and \"Year\".\nPlease input again.");
}

}  // namespace
}  // namespace fq::cal
