#include "calendar/calendar_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/ini_file.h"
#include "base/settings.h"
#include "support/scratch_dir.h"

namespace fq::cal {
namespace {

using testing_support::ScratchDir;

// Records every write in order over the real file store.
class RecordingStore final : public settings::SettingsStore {
 public:
  explicit RecordingStore(std::string path) : file_(std::move(path)) {}
  int ReadInt(std::string_view s, std::string_view k, int d) override { return file_.ReadInt(s, k, d); }
  std::string ReadString(std::string_view s, std::string_view k, std::string_view d,
                         size_t n) override {
    return file_.ReadString(s, k, d, n);
  }
  void WriteString(std::string_view s, std::string_view k, std::string_view v) override {
    keys.push_back(std::string(k));
    file_.WriteString(s, k, v);
  }
  std::vector<std::string> keys;

 private:
  settings::IniFileStore file_;
};

FontFamily Family(const std::string& name, uint8_t charset = 0) {
  FontFamily f{name, {}};
  f.font.SetFace(name);
  f.font.height = 16;
  f.font.width = 7;
  f.font.weight = 400;
  f.font.char_set = charset;
  return f;
}

TEST(CalendarFonts, PreferredFaceAndHeights) {
  EXPECT_FALSE(PreferredFamily({Family("DejaVu Sans"), Family("Tahoma")}));
  // The best preferred face wins, the first enumerated of a name, whatever
  // the order of enumeration.
  auto f = PreferredFamily({Family("Arial"), Family("Terminal"), Family("Courier", 1),
                            Family("Courier", 2), Family("MS Sans Serif")});
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "Courier");
  EXPECT_EQ(f->font.char_set, 1);

  CalendarRecord monthly;
  monthly.Kind = kMonthly;
  ApplyFontDefaults(monthly, {Family("Terminal")});
  EXPECT_EQ(monthly.FontY.Face(), "Terminal");
  EXPECT_EQ(monthly.FontY.height, -23);
  EXPECT_EQ(monthly.FontW.height, -19);
  EXPECT_EQ(monthly.FontD.height, -19);
  EXPECT_EQ(monthly.FontY.width, 0);
  EXPECT_EQ(monthly.FontY.weight, 400);  // the rest of the family's font
  EXPECT_EQ(monthly.FontM.height, 0);    // a monthly page has no month names
  EXPECT_EQ(monthly.ClrWsat, kBlue);
  EXPECT_EQ(monthly.ClrDsun, kRed);

  CalendarRecord yearly;
  yearly.Kind = kYearly;
  ApplyFontDefaults(yearly, {Family("Tahoma"), Family("Arial")});
  EXPECT_EQ(yearly.FontY.height, -64);
  EXPECT_EQ(yearly.FontM.height, -32);
  EXPECT_EQ(yearly.FontW.height, -16);
  EXPECT_EQ(yearly.FontD.height, -16);
  EXPECT_EQ(yearly.FontM.Face(), "Arial");

  // Without a preferred face the fonts stay as they were; colours are set.
  CalendarRecord bare;
  bare.Kind = kMonthly;
  ApplyFontDefaults(bare, {Family("Tahoma")});
  EXPECT_EQ(bare.FontY, LogFont{});
  EXPECT_EQ(bare.ClrWsat, kBlue);

  auto schedule = PreferredFont(FontElement::kSchedule, kMonthly, {Family("Times New Roman")});
  ASSERT_TRUE(schedule);
  EXPECT_EQ(schedule->height, -24);
  EXPECT_EQ(PreferredFont(FontElement::kSchedule, kMonthly, {Family("Terminal")})->height, -19);
}

TEST(CalendarSettings, FinishWritesEveryKeyInOrderAndTheNextWizardReusesThem) {
  ScratchDir dir;
  const std::string photo = dir / "sea.jpg";
  std::ofstream(photo) << "x";
  RecordingStore store(dir / "Lumvex01.ini");
  const std::vector<FontFamily> installed = {Family("Courier"), Family("MS Sans Serif")};

  // A first monthly calendar with an empty settings file: defaults.
  CalendarRecord r;
  r.Kind = kMonthly;
  WizardStart start = LoadCalendarSettings(store, r, installed, Today{2026, 12});
  EXPECT_EQ(start.year, 2026);
  EXPECT_EQ(start.month, 12);
  EXPECT_EQ(r.GroupI, kPortrait);
  EXPECT_EQ(r.GroupY, kTitle1);
  EXPECT_EQ(r.GroupYP, kTitleCentre);
  EXPECT_EQ(r.GroupW, kStyle1);
  EXPECT_EQ(r.GroupD, kCellTopLeft);
  EXPECT_EQ(r.GroupF, kFrameOn);
  EXPECT_EQ(r.GroupWclr, kColorWeekday);
  EXPECT_EQ(r.FontY.Face(), "Courier");
  EXPECT_EQ(r.FontD.height, -37);
  EXPECT_EQ(FieldText(r.FullPath), "");

  // The user's choices, then Finish.
  SetFieldText(r.FullPath, photo);
  SetFieldText(r.FileName, "sea.jpg");
  SetFieldText(r.Year, "2000");
  SetFieldText(r.Month, "2");
  r.GroupI = kLandscape;
  r.GroupD = 1339;
  r.FontY = installed[1].font;
  r.FontY.height = -40;
  r.FontY.width = 0;  // as the font dialog gives it
  r.FontY.italic = 1;
  r.ClrWsun = 0x000080FF;
  r.ColorF = 0x00123456;
  SaveCalendarSettings(store, r);
  const std::vector<std::string> monthly_order = {
      "FullPath", "FileName", "Year", "Month", "CheckImage",
      "YFont", "YHeight", "YWidth", "YWeight", "YItalic", "ColorY",
      "WFont", "WHeight", "WWidth", "WWeight", "WItalic", "ClrWmon", "ClrWsat", "ClrWsun",
      "DFont", "DHeight", "DWidth", "DWeight", "DItalic", "ClrDmon", "ClrDsat", "ClrDsun",
      "ColorF", "GroupI", "GroupY", "GroupYP", "GroupW", "GroupD", "GroupF", "GroupWclr",
      "GroupDclr"};
  EXPECT_EQ(store.keys, monthly_order);
  std::ifstream in(dir / "Lumvex01.ini");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("YHeight=-40"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("DHeight=-37"), std::string::npos);

  // The next monthly wizard starts from them, negative heights included.
  CalendarRecord next;
  next.Kind = kMonthly;
  start = LoadCalendarSettings(store, next, installed, Today{2030, 5});
  EXPECT_EQ(start.year, 2000);
  EXPECT_EQ(start.month, 2);
  EXPECT_EQ(next.FontY.Face(), "MS Sans Serif");
  EXPECT_EQ(next.FontY.height, -40);
  EXPECT_EQ(next.FontY.italic, 1);
  EXPECT_EQ(next.FontD.height, -37);
  EXPECT_EQ(next.ClrWsun, 0x000080FFu);
  EXPECT_EQ(next.ColorF, 0x00123456u);
  EXPECT_EQ(next.GroupI, kLandscape);
  EXPECT_EQ(next.GroupD, 1339u);
  EXPECT_EQ(FieldText(next.FullPath), photo);

  // A photograph that has gone leaves the path empty; a font whose face is
  // not installed, or with a width, brings back every default.
  std::remove(photo.c_str());
  CalendarRecord gone;
  gone.Kind = kMonthly;
  LoadCalendarSettings(store, gone, {installed[0]}, Today{});
  EXPECT_EQ(FieldText(gone.FullPath), "");
  EXPECT_EQ(gone.FontY.Face(), "Courier");
  EXPECT_EQ(gone.FontY.height, -64);
  EXPECT_EQ(gone.ClrWsun, kRed);
  store.WriteString("CAL_MONTH", "YWidth", "5");
  CalendarRecord wide;
  wide.Kind = kMonthly;
  LoadCalendarSettings(store, wide, installed, Today{});
  EXPECT_EQ(wide.FontY.height, -64);
  EXPECT_EQ(wide.FontY.Face(), "Courier");

  // A yearly Finish writes its own section's keys, in its order.
  store.keys.clear();
  CalendarRecord y;
  y.Kind = kYearly;
  LoadCalendarSettings(store, y, installed, Today{2001, 1});
  EXPECT_EQ(y.GroupW, kYearLetters);
  EXPECT_EQ(y.GroupMP, kMonthCentre);
  SetFieldText(y.Year, "2001");
  SaveCalendarSettings(store, y);
  ASSERT_EQ(store.keys.size(), 40u);
  EXPECT_EQ(store.keys[3], "CheckImage");
  EXPECT_EQ(store.keys[9], "ColorY");
  EXPECT_EQ(store.keys[10], "MFont");
  EXPECT_EQ(store.keys[15], "ColorM");
  EXPECT_EQ(std::vector<std::string>(store.keys.end() - 8, store.keys.end()),
            (std::vector<std::string>{"GroupI", "GroupY", "GroupYP", "GroupW", "GroupM", "GroupMP",
                                      "GroupWclr", "GroupDclr"}));
}

TEST(CalendarSettings, SignedKeysKeepTheirSign) {
  EXPECT_EQ(settings::SignedValue("-64"), -64);
  EXPECT_EQ(settings::SignedValue("37"), 37);
  EXPECT_EQ(settings::SignedValue("-x"), 0);
  EXPECT_EQ(settings::SignedValue("abc"), 0);
}

}  // namespace
}  // namespace fq::cal
