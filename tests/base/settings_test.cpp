#include "base/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "base/paths.h"

namespace fq::settings {
namespace {

// A store held in memory with the same reading rules as the file.
class MemoryStore final : public SettingsStore {
 public:
  int ReadInt(std::string_view sec, std::string_view key, int def) override {
    auto it = values_.find(Key(sec, key));
    return it == values_.end() ? def : LeadingDigits(it->second);
  }
  std::string ReadString(std::string_view sec, std::string_view key, std::string_view def,
                         size_t size) override {
    auto it = values_.find(Key(sec, key));
    std::string v = it == values_.end() ? std::string(def) : it->second;
    if (size == 0) return {};
    return v.substr(0, size - 1);
  }
  void WriteString(std::string_view sec, std::string_view key, std::string_view v) override {
    values_[Key(sec, key)] = std::string(v);
  }
  std::string Raw(std::string_view sec, std::string_view key) {
    auto it = values_.find(Key(sec, key));
    return it == values_.end() ? "<absent>" : it->second;
  }

 private:
  static std::pair<std::string, std::string> Key(std::string_view s, std::string_view k) {
    return {std::string(s), std::string(k)};
  }
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

TEST(Settings, DefaultsOfAnEmptyStore) {
  MemoryStore s;
  Bars b = ReadBars(s);
  EXPECT_TRUE(b.toolbar);
  EXPECT_TRUE(b.status_bar);
  EXPECT_TRUE(ReadToolBoxShown(s));
  EXPECT_EQ(ReadPortName(s), "COM1");
  EXPECT_EQ(ReadSpeedCode(s), speed::k38400);
  EXPECT_EQ(ReadPreviewState(s), 0);
  EXPECT_TRUE(ReadCaptureHidesApp(s));
  EXPECT_EQ(ReadCaptureSeconds(s), 5);
  EXPECT_EQ(ReadLastFolder(s, "C:\\Work\\"), "C:\\Work\\");
}

TEST(Settings, BarsOnlyForTheThreeKnownPairs) {
  auto bars = [](int t, int st) {
    Bars b = BarsFromSwitches(t, st);
    return std::pair(b.toolbar, b.status_bar);
  };
  EXPECT_EQ(bars(0, 0), std::pair(true, true));
  EXPECT_EQ(bars(0, 1), std::pair(true, false));
  EXPECT_EQ(bars(1, 0), std::pair(false, true));
  EXPECT_EQ(bars(1, 1), std::pair(false, false));
  EXPECT_EQ(bars(2, 0), std::pair(false, false));
  EXPECT_EQ(bars(0, 7), std::pair(false, false));

  MemoryStore s;
  WriteVisibility(s, false, true, false);
  EXPECT_EQ(s.Raw("ORXAPP", "Tool"), "1");
  EXPECT_EQ(s.Raw("ORXAPP", "Status"), "0");
  EXPECT_EQ(s.Raw("ORXAPP", "ToolBox"), "1");
  EXPECT_FALSE(ReadBars(s).toolbar);
  EXPECT_TRUE(ReadBars(s).status_bar);
  EXPECT_FALSE(ReadToolBoxShown(s));
}

TEST(Settings, LastFolderRule) {
  EXPECT_EQ(LastFolderOf("C:\\Photos\\a.jpg"), "C:\\Photos\\");
  EXPECT_EQ(LastFolderOf("C:\\Photos"), "C:\\Photos");  // a folder was chosen
  EXPECT_EQ(LastFolderOf("/home/u/p.bmp"), "/home/u/");
  EXPECT_EQ(LastFolderOf("a.jpg"), "");

  MemoryStore s;
  WriteLastFolder(s, "C:\\Photos\\a.jpg");
  EXPECT_EQ(s.Raw("ORXAPP", "dir"), "C:\\Photos\\");
  EXPECT_EQ(ReadLastFolder(s, "C:\\Work\\"), "C:\\Photos\\");
}

TEST(Settings, LastFolderSkipsBackslashesInsideDoubleByteCharacters) {
  // 0x95 0x5C is one double-byte character whose second byte looks like '\'.
  const std::string name = "C:\\\x95\x5C\\b.jpg";
  paths::SetDoubleByteNames(true);
  EXPECT_EQ(LastFolderOf(name), "C:\\\x95\x5C\\");
  EXPECT_EQ(LastFolderOf("C:\\\x95\x5C" "a.jpg"), "C:\\");
  paths::SetDoubleByteNames(false);
  EXPECT_EQ(LastFolderOf("C:\\\x95\x5C" "a.jpg"), "C:\\\x95\x5C");
}

TEST(Settings, PortNamesAreNormalised) {
  EXPECT_EQ(NormalisePortName("com3"), "COM3");
  EXPECT_EQ(NormalisePortName("CoM4"), "COM4");
  for (const char* bad : {"COM5", "COM10", "LPT1", "", "COM0", "COM", "COM1 "})
    EXPECT_EQ(NormalisePortName(bad), "COM1") << bad;
  MemoryStore s;
  s.WriteString("ORXAPP", "com", "com2");
  EXPECT_EQ(ReadPortName(s), "COM2");
  s.WriteString("ORXAPP", "com", "COM2345678901234567");  // cut to 15 first
  EXPECT_EQ(ReadPortName(s), "COM1");
}

TEST(Settings, SpeedCodesAndTheirSettingsValues) {
  EXPECT_EQ(SpeedCodeFromSetting(1152), speed::k115200);
  EXPECT_EQ(SpeedCodeFromSetting(384), speed::k38400);
  EXPECT_EQ(SpeedCodeFromSetting(9600), speed::k9600);
  EXPECT_EQ(SpeedCodeFromSetting(576), speed::k57600);
  EXPECT_EQ(SpeedCodeFromSetting(192), speed::k19200);
  EXPECT_EQ(SpeedCodeFromSetting(4), speed::k38400);
  EXPECT_EQ(SpeedCodeFromSetting(0), speed::k38400);
  EXPECT_TRUE(IsKnownSpeedSetting(9600));
  EXPECT_FALSE(IsKnownSpeedSetting(19200));
  for (int code : {0, 1, 2, 3, 13}) {
    MemoryStore s;
    WriteSpeedCode(s, code);
    EXPECT_EQ(ReadSpeedCode(s), code);
  }
  EXPECT_EQ(SpeedSettingText(13), "192");
  EXPECT_EQ(SpeedSettingText(4), "384");
}

TEST(Settings, CaptureTimeIsHeldWithinItsRange) {
  MemoryStore s;
  s.WriteString("CAPTURE", "Time", "abc");  // reads as 0 ...
  EXPECT_EQ(s.ReadInt("CAPTURE", "Time", 5), 0);
  EXPECT_EQ(ReadCaptureSeconds(s), 1);  // ... which would never end a countdown
  s.WriteString("CAPTURE", "Time", "45");
  EXPECT_EQ(ReadCaptureSeconds(s), 30);
  s.WriteString("CAPTURE", "Time", "12");
  EXPECT_EQ(ReadCaptureSeconds(s), 12);
  WriteCapture(s, false, 0);
  EXPECT_EQ(s.Raw("CAPTURE", "Time"), "1");
  EXPECT_EQ(s.Raw("CAPTURE", "Application"), "0");
  EXPECT_FALSE(ReadCaptureHidesApp(s));
}

TEST(Settings, SlideShowOptionsOutOfRange) {
  MemoryStore s;
  s.WriteString("ORXAPP", "Size", "2");
  s.WriteString("ORXAPP", "Speed", "11");
  s.WriteString("ORXAPP", "Type", "3");
  SlideShowOptions show = ReadSlideShowOptionsForShow(s);
  SlideShowOptions dlg = ReadSlideShowOptionsForDialog(s);
  EXPECT_EQ(show.size, 1);
  EXPECT_EQ(show.speed, 0);
  EXPECT_EQ(show.type, 0);
  EXPECT_EQ(dlg.size, 0);
  EXPECT_EQ(dlg.speed, 5);
  EXPECT_EQ(dlg.type, 0);
  WriteSlideShowOptions(s, {1, 10, 1});
  show = ReadSlideShowOptionsForShow(s);
  EXPECT_EQ(show.size, 1);
  EXPECT_EQ(show.speed, 10);
  EXPECT_EQ(show.type, 1);
}

TEST(Settings, NegativeIntegersAreStoredWithoutSign) {
  MemoryStore s;
  Write(s, kPrevOn, -2);
  EXPECT_EQ(s.Raw("ORXAPP", "PrevOn"), "0");
  Write(s, kPrevOn, 2);
  EXPECT_EQ(ReadPreviewState(s), 2);
}

}  // namespace
}  // namespace fq::settings
