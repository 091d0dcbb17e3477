// The Windows file system of the core: the calls the core makes, on real
// files in the prefix's temporary folder.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/win/win_file_system.h"
#include "wintest.h"

using fq::win::TheWinFileSystem;

namespace {

// A fresh folder inside the temporary folder, removed with its files.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    auto& fs = TheWinFileSystem();
    path = fs.TempFolder() + "fqwintest" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileA((path + fd.cFileName).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
  }
};

std::string ReadAll(const std::string& path) {
  auto f = TheWinFileSystem().OpenRead(path);
  if (!f) return "<cannot open>";
  auto size = f->Size();
  std::string s(size ? *size : 0, '\0');
  s.resize(f->Read(s.data(), s.size()));
  return s;
}

void WriteText(const std::string& path, const std::string& text) {
  auto f = TheWinFileSystem().Create(path);
  CHECK(f != nullptr);
  if (!f) return;
  CHECK_EQ(f->Write(text.data(), text.size()), text.size());
  CHECK(f->Close());
}

}  // namespace

WIN_TEST(TempFolderIsAWindowsFolderEndingInASeparator) {
  auto& fs = TheWinFileSystem();
  std::string t = fs.TempFolder();
  CHECK(t.size() > 3);
  CHECK_EQ(t.back(), '\\');
  CHECK_EQ(fs.Separator(), '\\');
  DWORD attrs = GetFileAttributesA(t.c_str());
  CHECK(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY));
}

WIN_TEST(CreateWriteReadSeekAndSize) {
  ScratchFolder dir;
  auto& fs = TheWinFileSystem();
  std::string p = dir.path + "a.bin";
  CHECK(!fs.Exists(p));
  CHECK(fs.OpenRead(p) == nullptr);
  WriteText(p, "0123456789");
  CHECK(fs.Exists(p));
  auto f = fs.OpenRead(p);
  CHECK(f != nullptr);
  if (!f) return;
  CHECK(f->Size() == std::optional<uint64_t>(10));
  char buf[16] = {};
  CHECK(f->Seek(6));
  CHECK_EQ(f->Read(buf, sizeof buf), size_t{4});  // short read at the end
  CHECK_EQ(std::string(buf, 4), std::string("6789"));
  CHECK_EQ(f->Read(buf, 1), size_t{0});
  CHECK(f->Close());
  CHECK(f->Close());  // a second close is harmless

  // Create truncates an existing file.
  WriteText(p, "xy");
  CHECK_EQ(ReadAll(p), std::string("xy"));
  CHECK(fs.Remove(p));
  CHECK(!fs.Exists(p));
  CHECK(!fs.Remove(p));
}

WIN_TEST(ReplaceMovesOverAnExistingFile) {
  ScratchFolder dir;
  auto& fs = TheWinFileSystem();
  WriteText(dir.path + "from", "new");
  WriteText(dir.path + "to", "old contents");
  CHECK(fs.Replace(dir.path + "from", dir.path + "to"));
  CHECK(!fs.Exists(dir.path + "from"));
  CHECK_EQ(ReadAll(dir.path + "to"), std::string("new"));
  CHECK(!fs.Replace(dir.path + "missing", dir.path + "to"));
  CHECK_EQ(ReadAll(dir.path + "to"), std::string("new"));
}

WIN_TEST(NewUniqueFileCreatesDistinctEmptyFiles) {
  ScratchFolder dir;
  auto& fs = TheWinFileSystem();
  auto a = fs.NewUniqueFile(dir.path, "ORX");
  auto b = fs.NewUniqueFile(dir.path, "ORX");
  CHECK(a && b);
  if (!a || !b) return;
  CHECK(*a != *b);
  CHECK_EQ(fq::io::FolderOf(*a), dir.path);
  CHECK_EQ(a->substr(dir.path.size(), 3), std::string("ORX"));
  CHECK(fs.Exists(*a));
  CHECK_EQ(ReadAll(*a), std::string());
  CHECK(!fs.NewUniqueFile(dir.path + "no such folder\\", "ORX"));
}

WIN_TEST(ExistsIsTrueForAFolderName) {
  ScratchFolder dir;
  CHECK(TheWinFileSystem().Exists(dir.path.substr(0, dir.path.size() - 1)));
}

// The core's replacing writer on top of this file system: the target is
// replaced only on commit, and nothing is left behind otherwise.
WIN_TEST(ReplacingWriterThroughTheInstalledFileSystem) {
  ScratchFolder dir;
  fq::io::SetFileSystem(&TheWinFileSystem());
  std::string target = dir.path + "picture.bmp";
  WriteText(target, "old");
  {
    fq::io::ReplacingWriter w(target);
    CHECK(w.Open().ok());
    CHECK(w.Write("abandoned", 9).ok());
    CHECK_EQ(fq::io::FolderOf(w.temp_path()), dir.path);
  }
  CHECK_EQ(ReadAll(target), std::string("old"));
  {
    fq::io::ReplacingWriter w(target);
    CHECK(w.Open().ok());
    CHECK(w.Write("fresh", 5).ok());
    CHECK(w.Commit().ok());
  }
  CHECK_EQ(ReadAll(target), std::string("fresh"));
  auto bytes = fq::io::ReadWholeFile(target);
  CHECK(bytes.ok() && bytes->size() == 5);
  // Only the target is left in the folder.
  int files = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir.path + "*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  CHECK_EQ(files, 1);
  fq::io::SetFileSystem(nullptr);
}
