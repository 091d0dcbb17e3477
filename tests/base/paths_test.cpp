#include "base/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace fq::paths {
namespace {

TEST(JoinPath, AddsOneBackslash) {
  EXPECT_EQ(JoinPath("C:\\Photos", "a.jpg", false), "C:\\Photos\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\Photos\\", "a.jpg", false), "C:\\Photos\\a.jpg");
  EXPECT_EQ(JoinPath("C", "a.jpg", false), "C\\a.jpg");
  EXPECT_EQ(JoinPath("\\", "a.jpg", false), "\\a.jpg");
  EXPECT_EQ(JoinPath("/tmp/", "a.jpg", false), "/tmp/a.jpg");
  EXPECT_EQ(JoinPath("", "a.jpg", false), "a.jpg");
}

TEST(JoinPath, DoubleByteRule) {
  // 0x95 0x5C ("\x95\\") is one character: its '\' is no separator.
  EXPECT_EQ(JoinPath("C:\\\x95\\", "a.jpg", true), "C:\\\x95\\\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\\xE0\\", "a.jpg", true), "C:\\\xE0\\\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\\xFC\\", "a.jpg", true), "C:\\\xFC\\\\a.jpg");
  // 0x80, 0xA0 and 0xFD start no double-byte character.
  EXPECT_EQ(JoinPath("C:\\\x80\\", "a.jpg", true), "C:\\\x80\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\\xA0\\", "a.jpg", true), "C:\\\xA0\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\\xFD\\", "a.jpg", true), "C:\\\xFD\\a.jpg");
  // A lead byte as second byte of a pair does not start a new pair.
  EXPECT_EQ(JoinPath("C:\\\x95\x95\\", "a.jpg", true), "C:\\\x95\x95\\a.jpg");
  // A real separator after a double-byte character counts.
  EXPECT_EQ(JoinPath("C:\\\x95\\\\", "a.jpg", true), "C:\\\x95\\\\a.jpg");
  // On single-byte systems the same bytes are a letter and a separator.
  EXPECT_EQ(JoinPath("C:\\\x95\\", "a.jpg", false), "C:\\\x95\\a.jpg");
}

TEST(ProgramPaths, BesideTheProgram) {
  auto p = ProgramPathsFrom("C:\\Program Files\\Fotaquill\\fotaquill.exe");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->program_folder, "C:\\Program Files\\Fotaquill\\");
  EXPECT_EQ(p->settings_file, "C:\\Program Files\\Fotaquill\\Lumvex01.ini");
  EXPECT_EQ(p->help_file, "C:\\Program Files\\Fotaquill\\Lumvex01.hlp");
  EXPECT_FALSE(ProgramPathsFrom("fotaquill.exe"));
  EXPECT_FALSE(ProgramPathsFrom(""));
}

TEST(ProgramPaths, SettingsMoveToTheUserFolderOnlyWhenNeeded) {
  auto p = *ProgramPathsFrom("C:\\Apps\\fotaquill.exe");
  std::string user = WindowsUserFolder("C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(user, "C:\\Users\\u\\AppData\\Roaming\\Fotaquill\\");
  EXPECT_EQ(PlaceSettings(p, true, user).settings_file, "C:\\Apps\\Lumvex01.ini");
  ProgramPaths moved = PlaceSettings(p, false, user);
  EXPECT_EQ(moved.settings_file, "C:\\Users\\u\\AppData\\Roaming\\Fotaquill\\Lumvex01.ini");
  EXPECT_EQ(moved.help_file, "C:\\Apps\\Lumvex01.hlp");
  EXPECT_EQ(PlaceSettings(p, false, "").settings_file, "C:\\Apps\\Lumvex01.ini");
  EXPECT_EQ(WindowsUserFolder(""), "");
}

TEST(ProgramPaths, NativeUserFolder) {
  EXPECT_EQ(NativeUserFolder("/cfg", "/home/u"), "/cfg/fotaquill/");
  EXPECT_EQ(NativeUserFolder("", "/home/u"), "/home/u/.config/fotaquill/");
  EXPECT_EQ(NativeUserFolder("", ""), "");
}

TEST(ProgramPaths, WritableFolderProbe) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("fq_probe_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string folder = dir.string() + "/";
  EXPECT_TRUE(FolderAcceptsFiles(folder));
  EXPECT_TRUE(fs::is_empty(dir));  // the probe file is gone again
  EXPECT_FALSE(FolderAcceptsFiles(folder + "missing/"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace fq::paths
