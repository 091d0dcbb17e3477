// Temporary files: new, empty, uniquely named files in the system's
// temporary folder whose names begin with "ORX". Whoever makes one
// overwrites it and deletes it when done.
#pragma once

#include <string>

#include "base/messages.h"

namespace fq::temp {

inline constexpr const char* kPrefix = "ORX";

// A new empty temporary file (prefix, hexadecimal number, ".TMP").
// Failure: kCannotCreateFile.
Result<std::string> MakeTempFileName();
// The same with a name ending in "jpg" (the last three characters of the
// generated name replaced). The generated ".TMP" file is removed again so
// that only the ".jpg" one, empty, remains.
Result<std::string> MakeTempJpegName();
// Deletes the file named by `path` unless `path` is empty, and empties it.
void RemoveTempFile(std::string& path);

// A temporary file that is deleted when the object goes away, unless
// released.
class TempFile {
 public:
  static Result<TempFile> Create();
  static Result<TempFile> CreateJpeg();

  TempFile() = default;
  ~TempFile() { RemoveTempFile(path_); }
  TempFile(TempFile&& o) noexcept : path_(std::move(o.path_)) { o.path_.clear(); }
  TempFile& operator=(TempFile&& o) noexcept;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }
  // Hands the file over to the caller, who deletes it.
  std::string Release();

 private:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace fq::temp
