#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_io.h"
#include "support/faulty_file_system.h"

namespace fq::settings {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fq_ini_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "Lumvex01.ini").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Get() {
    std::ifstream f(path_, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 7), 7);
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "COM1", 16), "COM1");
  EXPECT_FALSE(fs::exists(path_));
  s.WriteString("ORXAPP", "Tool", "1");
  EXPECT_EQ(Get(), "[ORXAPP]\r\nTool=1\r\n");
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 7), 1);
}

TEST_F(IniFileTest, NamesCompareWithoutCase) {
  Put("[orxapp]\nTOOL=1\n[Capture]\ntime=12\n");
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 0), 1);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Time", 5), 12);
  s.WriteString("OrxApp", "tool", "0");
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 9), 0);
  // Rewritten in place: no second section, no second key.
  EXPECT_EQ(Get(), "[orxapp]\r\ntool=0\r\n[Capture]\r\ntime=12\r\n");
}

TEST_F(IniFileTest, IntegersTakeLeadingDigitsAndDefaultOnlyWhenAbsent) {
  Put("[CAPTURE]\nTime=abc\nApplication=12x\nEmpty=\nSpaced =  42 \nMinus=-3\n"
      "Huge=99999999999999999999\n");
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Time", 5), 0);  // present but not a number
  EXPECT_EQ(s.ReadInt("CAPTURE", "Application", 1), 12);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Empty", 5), 0);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Spaced", 5), 42);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Minus", 5), 0);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Huge", 5), 2147483647);
  EXPECT_EQ(s.ReadInt("CAPTURE", "Absent", 5), 5);
}

TEST_F(IniFileTest, GarbageAndMissingSectionsFallBackToDefaults) {
  Put("garbage line\n\x01\x02\xff\n[broken\nTool=1\n=novalue\n; Tool=2\n[ORXAPP]\n"
      "junk\ncom=COM3\n[OTHER]\nTool=3\n");
  IniFileStore s(path_);
  // "Tool=1" stands before any section header: it belongs to none.
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 4), 4);
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "COM1", 16), "COM3");
  EXPECT_EQ(s.ReadInt("MISSING", "Tool", 6), 6);
  EXPECT_EQ(s.ReadInt("OTHER", "Tool", 6), 3);
}

TEST_F(IniFileTest, FirstSectionAndKeyOfANameWin) {
  Put("[ORXAPP]\ncom=COM2\ncom=COM3\n[ORXAPP]\ndir=C:\\x\\\n");
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "", 16), "COM2");
  EXPECT_EQ(s.ReadString("ORXAPP", "dir", "none", 260), "none");
}

TEST_F(IniFileTest, StringsAreCutToTheBufferAndUnquoted) {
  Put("[ORXAPP]\ncom=COM1234567890123456789\nq=\"a b\"\n");
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "", 16), "COM123456789012");
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "", 1), "");
  EXPECT_EQ(s.ReadString("ORXAPP", "com", "", 0), "");
  EXPECT_EQ(s.ReadString("ORXAPP", "q", "", 16), "a b");
  EXPECT_EQ(s.ReadString("ORXAPP", "none", "defaultvalue", 5), "defa");
}

TEST_F(IniFileTest, WritesKeepOtherSectionsAndLines) {
  Put("; my settings\r\n[ORXAPP]\r\nTool=0\r\nstray text\r\n\r\n[CAL_YEAR]\r\nFont=Arial\r\n");
  IniFileStore s(path_);
  s.WriteString("ORXAPP", "com", "COM2");      // new key in an existing section
  s.WriteString("CAPTURE", "Time", "7");       // new section at the end
  s.WriteString("CAL_YEAR", "Font", "Times");  // replaced value
  EXPECT_EQ(Get(),
            "; my settings\r\n[ORXAPP]\r\nTool=0\r\nstray text\r\ncom=COM2\r\n\r\n"
            "[CAL_YEAR]\r\nFont=Times\r\n\r\n[CAPTURE]\r\nTime=7\r\n");
}

TEST_F(IniFileTest, WritesCannotInjectLinesOrBadNames) {
  IniFileStore s(path_);
  s.WriteString("ORXAPP", "dir", "C:\\a\r\n[EVIL]\r\nx=1");
  EXPECT_EQ(s.ReadString("ORXAPP", "dir", "", 260), "C:\\a");
  s.WriteString("ORX]APP", "k", "1");
  s.WriteString("ORXAPP", "a=b", "1");
  s.WriteString("ORXAPP", "", "1");
  EXPECT_EQ(Get(), "[ORXAPP]\r\ndir=C:\\a\r\n");
}

TEST_F(IniFileTest, AFailedWriteIsIgnoredAndLeavesTheFile) {
  Put("[ORXAPP]\nTool=1\n");
  // Writes all fail, as on a full or read-only disk.
  testing_support::FaultyFileSystem ro;
  ro.refuse_create = ro.refuse_remove = ro.refuse_replace = ro.refuse_unique = true;
  io::SetFileSystem(&ro);
  IniFileStore s(path_);
  s.WriteString("ORXAPP", "Tool", "0");
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 5), 1);
  io::SetFileSystem(nullptr);
  EXPECT_EQ(Get(), "[ORXAPP]\nTool=1\n");
}

TEST_F(IniFileTest, AnUnreadableFileReadsDefaultsAndIsNotReplaced) {
  Put("[ORXAPP]\nTool=1\ncom=COM2\n");
  // The settings file exists but cannot be read.
  testing_support::FaultyFileSystem unreadable;
  unreadable.refuse_open_read = true;
  io::SetFileSystem(&unreadable);
  IniFileStore s(path_);
  EXPECT_EQ(s.ReadInt("ORXAPP", "Tool", 5), 5);
  s.WriteString("ORXAPP", "Tool", "0");
  io::SetFileSystem(nullptr);
  EXPECT_EQ(Get(), "[ORXAPP]\nTool=1\ncom=COM2\n");
}

}  // namespace
}  // namespace fq::settings
