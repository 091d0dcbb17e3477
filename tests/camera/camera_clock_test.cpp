// The camera clock: the checks of the fields in the dialog's order, and
// reading and setting the clock of the simulated camera.
#include <gtest/gtest.h>

#include "camera/camera_clock.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/sim_rig.h"

namespace fq::cam {
namespace {

using testing::SimOf;
using testing::SimRig;

ClockEntry Entry(std::string y, std::string mo, std::string d, std::string h, std::string mi,
                 bool pm = false) {
  return {std::move(y), std::move(mo), std::move(d), std::move(h), std::move(mi), pm};
}

TEST(CameraClockTest, ChecksInTheDialogsOrder) {
  struct Case {
    ClockEntry entry;
    ClockField bad;
  };
  const Case cases[] = {
      {Entry("2000", "2", "29", "10", "30"), ClockField::kNone},
      {Entry("2001", "2", "29", "10", "30"), ClockField::kDay},
      {Entry("2001", "4", "31", "10", "30"), ClockField::kDay},
      {Entry("2001", "13", "40", "99", "99"), ClockField::kMonth},  // the first that fails
      {Entry("1997", "1", "1", "0", "0"), ClockField::kNone},
      {Entry("1996", "1", "1", "0", "0"), ClockField::kYear},
      {Entry("2097", "1", "1", "0", "0"), ClockField::kYear},
      {Entry("2001", "1", "1", "12", "0"), ClockField::kHour},
      {Entry("2001", "1", "1", "11", "60"), ClockField::kMinute},
      {Entry("", "1", "1", "1", "1"), ClockField::kYear},
      {Entry("2001", "1a", "1", "1", "1"), ClockField::kMonth},
      {Entry("2001", "1", " 1", "1", "1"), ClockField::kDay},
      {Entry("2001", "1", "1", "", "1"), ClockField::kHour},
  };
  for (const Case& c : cases) {
    ClockValues v;
    EXPECT_EQ(FirstBadField(c.entry, v), c.bad) << c.entry.year << "-" << c.entry.month << "-"
                                                << c.entry.day << " " << c.entry.hour << ":"
                                                << c.entry.minute;
  }
  // Noon is 0 with PM.
  ClockValues v;
  ASSERT_EQ(FirstBadField(Entry("2001", "3", "1", "0", "05", true), v), ClockField::kNone);
  EXPECT_EQ(v.hour, 12);
  EXPECT_EQ(EntryOf(2001, 3, 1, 13, 5), Entry("2001", "3", "1", "01", "05", true));
  EXPECT_EQ(EntryOf(2001, 3, 1, 0, 0), Entry("2001", "3", "1", "00", "00", false));
  EXPECT_TRUE(FieldFits("2001", 4));
  EXPECT_FALSE(FieldFits("123", 2));
}

TEST(CameraClockTest, ReadsAndSetsTheItemsOfEachFamily) {
  for (int type : {2, 3, 4}) {
    camsim::SimOptions o = SimOf(type);
    o.clock_start = camsim::CivilSeconds(2001, 3, 1, 13, 5, 0);
    SimRig r(o, camsim::DemoContent(type));
    ASSERT_EQ(OpenPort(r.link), rc::kOk);
    ASSERT_EQ(ConnectForSetup(r.link), rc::kOk);
    ClockEntry shown;
    ASSERT_EQ(ReadCameraClock(r.link, shown), rc::kOk) << type;
    EXPECT_EQ(shown, Entry("2001", "3", "1", "01", "05", true)) << type;

    ClockField bad = ClockField::kYear;
    ASSERT_EQ(SetCameraClock(r.link, Entry("2000", "2", "29", "11", "59", true), bad), rc::kOk);
    EXPECT_EQ(bad, ClockField::kNone);
    const auto now = r.sim.ClockNow();
    EXPECT_EQ((std::vector<int>{now.year, now.month, now.day, now.hour, now.minute}),
              (std::vector<int>{2000, 2, 29, 23, 59}))
        << type;
    // A date that fails its check stops after the year: nothing further
    // is sent.
    ASSERT_EQ(SetCameraClock(r.link, Entry("2004", "4", "31", "1", "1"), bad), rc::kOk);
    EXPECT_EQ(bad, ClockField::kDay);
    EXPECT_EQ(r.sim.ClockNow().year, 2004);
    EXPECT_EQ(r.sim.ClockNow().month, 2);
    EndConnection(r.link);
    EXPECT_TRUE(r.reporter.messages.empty());
  }
}

TEST(CameraClockTest, ImpossibleValuesAreShownAsReadAndCaught) {
  // A camera whose clock reads month 13 and hour 25.
  using namespace testing;
  Bench b([](const ProgramFrame& f) -> Answer {
    if (f.command != cmd::kReadClock) return {{SequencedAck(0)}};
    switch (f.data[0]) {
      case 64: return {{SequencedReply(8, 0, 54, {0xD1, 0x07})}};  // 2001
      case 65: return {{SequencedReply(8, 0, 54, {10, 13})}};      // day 10, month 13
      default: return {{SequencedReply(8, 0, 54, {30, 25})}};      // 25:30
    }
  });
  b.link.camera_type = 4;
  ClockEntry shown;
  ASSERT_EQ(ReadCameraClock(b.link, shown), rc::kOk);
  EXPECT_EQ(shown, Entry("2001", "13", "10", "13", "30", true));
  ClockField bad = ClockField::kNone;
  EXPECT_EQ(SetCameraClock(b.link, shown, bad), rc::kOk);
  EXPECT_EQ(bad, ClockField::kMonth);
  EXPECT_EQ(b.camera.Count(cmd::kSetClock), 1);  // the year only
  shown.month = "12";
  EXPECT_EQ(SetCameraClock(b.link, shown, bad), rc::kOk);
  EXPECT_EQ(bad, ClockField::kHour);
}

}  // namespace
}  // namespace fq::cam
