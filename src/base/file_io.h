// Files as the core sees them. The core never calls the operating system's
// file functions itself: it goes through the FileSystem installed for the
// process, so that the Win32 program can give it Windows paths (its own
// CreateFileA-based file system) while native tools and tests use the
// standard C library one. Tests may install a file system that fails on
// purpose (disk full, unreadable file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"

namespace fq::io {

// An open file. Reads and writes report how many bytes they moved; a short
// count is the caller's failure to report.
class File {
 public:
  virtual ~File() = default;
  virtual size_t Read(void* buf, size_t n) = 0;
  virtual size_t Write(const void* buf, size_t n) = 0;
  virtual bool Seek(uint64_t offset) = 0;  // from the start
  virtual std::optional<uint64_t> Size() = 0;
  // Flushes and closes; false when the data did not all reach the file.
  virtual bool Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<File> OpenRead(const std::string& path) = 0;
  // Creates or truncates for writing.
  virtual std::unique_ptr<File> Create(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Moves `from` over `to`, replacing `to` if it exists.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  // Creates a new, empty, uniquely named file in `folder` whose name begins
  // with `prefix`, and returns its path; nothing on failure.
  virtual std::optional<std::string> NewUniqueFile(const std::string& folder,
                                                   const std::string& prefix) = 0;
  // The system's folder for temporary files, with its trailing separator.
  virtual std::string TempFolder() = 0;
  // The separator this file system writes between folder and name.
  virtual char Separator() const = 0;
  // The names of the files (not folders) in `folder`; nothing when the
  // folder cannot be read.
  virtual std::optional<std::vector<std::string>> ListFiles(const std::string& folder) = 0;
  // Whether `path` names an existing folder.
  virtual bool IsFolder(const std::string& path) = 0;
  // Gives `from` the name `to` only when no file of that name exists; false
  // (nothing changed) otherwise, so a file that appeared meanwhile is never
  // replaced.
  virtual bool MoveToNewName(const std::string& from, const std::string& to) = 0;
};

// The file system in force for the process (the standard C library one
// unless another was installed).
FileSystem& Fs();
// Installs `fs` (not owned; it must outlive its use). nullptr restores the
// standard one.
void SetFileSystem(FileSystem* fs);
// The standard C library file system (POSIX paths on Linux).
FileSystem& StdFileSystem();

// The folder part of a path including its last separator ('/' or '\\'),
// or "" when it has none.
std::string FolderOf(const std::string& path);

// Reads a whole file. Failures: kFileCannotBeOpened, kFailedToReadFile.
Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Writes a file so that a failure never leaves a partial file where the old
// one was: the bytes go to a new file beside the target, which replaces the
// target only on Commit(). Destroying an uncommitted writer removes its
// temporary file.
class ReplacingWriter {
 public:
  explicit ReplacingWriter(std::string target);
  ~ReplacingWriter();
  ReplacingWriter(const ReplacingWriter&) = delete;
  ReplacingWriter& operator=(const ReplacingWriter&) = delete;

  // Opens the temporary file. Failure: kFileCannotBeOpened.
  Status Open();
  // Failure: kDiskFull on a short write.
  Status Write(std::span<const uint8_t> bytes);
  Status Write(const void* p, size_t n) {
    return Write(std::span<const uint8_t>(static_cast<const uint8_t*>(p), n));
  }
  // Closes the temporary file and moves it over the target. Failure:
  // kDiskFull when the close loses data, kCannotCreateFile when the target
  // cannot be replaced (the target then stays as it was).
  Status Commit();
  const std::string& temp_path() const { return temp_; }

 private:
  std::string target_;
  std::string temp_;
  std::unique_ptr<File> file_;
  bool committed_ = false;
};

}  // namespace fq::io
