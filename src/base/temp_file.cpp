#include "base/temp_file.h"

#include "base/file_io.h"

namespace fq::temp {

Result<std::string> MakeTempFileName() {
  auto path = io::Fs().NewUniqueFile(io::Fs().TempFolder(), kPrefix);
  if (!path) return Failure{err::kCannotCreateFile};
  return *path;
}

Result<std::string> MakeTempJpegName() {
  auto tmp = MakeTempFileName();
  if (!tmp) return tmp;
  std::string jpg = *tmp;
  jpg.replace(jpg.size() >= 3 ? jpg.size() - 3 : 0, 3, "jpg");
  io::Fs().Remove(*tmp);
  auto f = io::Fs().Create(jpg);
  if (!f || !f->Close()) return Failure{err::kCannotCreateFile};
  return jpg;
}

void RemoveTempFile(std::string& path) {
  if (path.empty()) return;
  io::Fs().Remove(path);
  path.clear();
}

Result<TempFile> TempFile::Create() {
  auto p = MakeTempFileName();
  if (!p) return p.failure();
  return TempFile(std::move(*p));
}

Result<TempFile> TempFile::CreateJpeg() {
  auto p = MakeTempJpegName();
  if (!p) return p.failure();
  return TempFile(std::move(*p));
}

TempFile& TempFile::operator=(TempFile&& o) noexcept {
  if (this != &o) {
    RemoveTempFile(path_);
    path_ = std::move(o.path_);
    o.path_.clear();
  }
  return *this;
}

std::string TempFile::Release() {
  std::string p = std::move(path_);
  path_.clear();
  return p;
}

}  // namespace fq::temp
