// The core's file access on the Windows file functions, with Windows paths.
// WinMain installs it before anything touches a file.
#pragma once

#include "base/file_io.h"

namespace fq::win {

class WinFileSystem final : public io::FileSystem {
 public:
  std::unique_ptr<io::File> OpenRead(const std::string& path) override;
  std::unique_ptr<io::File> Create(const std::string& path) override;
  // True for any existing entry, folders included: the name is taken.
  bool Exists(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool Replace(const std::string& from, const std::string& to) override;
  // The system's unique temporary name in `folder` (the current folder when
  // empty); the file is created empty. Only the first three characters of
  // `prefix` are used.
  std::optional<std::string> NewUniqueFile(const std::string& folder,
                                           const std::string& prefix) override;
  std::string TempFolder() override;
  char Separator() const override { return '\\'; }
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder) override;
  bool IsFolder(const std::string& path) override;
  // MoveFileA, which never replaces an existing file.
  bool MoveToNewName(const std::string& from, const std::string& to) override;
};

// The one instance the program installs.
WinFileSystem& TheWinFileSystem();

}  // namespace fq::win
