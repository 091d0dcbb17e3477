#include "base/file_io.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <sys/stat.h>
#endif

#ifdef _WIN32
#define fq_fseek _fseeki64
#define fq_ftell _ftelli64
#else
#define fq_fseek fseeko
#define fq_ftell ftello
#endif

namespace fq::io {
namespace {

class StdioFile final : public File {
 public:
  explicit StdioFile(std::FILE* f) : f_(f) {}
  ~StdioFile() override {
    if (f_) std::fclose(f_);
  }
  size_t Read(void* buf, size_t n) override { return std::fread(buf, 1, n, f_); }
  size_t Write(const void* buf, size_t n) override { return std::fwrite(buf, 1, n, f_); }
  bool Seek(uint64_t offset) override {
    return fq_fseek(f_, static_cast<int64_t>(offset), SEEK_SET) == 0;
  }
  std::optional<uint64_t> Size() override {
    int64_t here = fq_ftell(f_);
    if (here < 0 || fq_fseek(f_, 0, SEEK_END) != 0) return std::nullopt;
    int64_t end = fq_ftell(f_);
    if (fq_fseek(f_, here, SEEK_SET) != 0 || end < 0) return std::nullopt;
    return static_cast<uint64_t>(end);
  }
  bool Close() override {
    if (!f_) return true;
    bool ok = std::fflush(f_) == 0 && !std::ferror(f_);
    ok = std::fclose(f_) == 0 && ok;
    f_ = nullptr;
    return ok;
  }

 private:
  std::FILE* f_;
};

class StdioFileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    return f ? std::make_unique<StdioFile>(f) : nullptr;
  }
  std::unique_ptr<File> Create(const std::string& path) override {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    return f ? std::make_unique<StdioFile>(f) : nullptr;
  }
  bool Exists(const std::string& path) override {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
  }
  bool Remove(const std::string& path) override { return std::remove(path.c_str()) == 0; }
  bool Replace(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0;
  }
  std::optional<std::string> NewUniqueFile(const std::string& folder,
                                           const std::string& prefix) override {
    // Like the system's unique temporary names: prefix, hex number, ".TMP".
    static unsigned counter = std::random_device{}() & 0xFFFF;
    for (int attempt = 0; attempt < 65536; ++attempt) {
      counter = (counter + 1) & 0xFFFF;
      if (counter == 0) counter = 1;
      char name[32];
      std::snprintf(name, sizeof name, "%s%X.TMP", prefix.c_str(), counter);
      std::string path = folder + name;
      if (Exists(path)) continue;
      // "x": fails when the file exists, so two makers never share a name.
      std::FILE* f = std::fopen(path.c_str(), "wbx");
      if (f) {
        std::fclose(f);
        return path;
      }
      if (!Exists(path)) return std::nullopt;  // the folder is not writable
    }
    return std::nullopt;
  }
  std::string TempFolder() override {
    const char* t = std::getenv("TMPDIR");
    std::string s = (t && *t) ? t : "/tmp";
    if (s.back() != '/') s += '/';
    return s;
  }
  char Separator() const override { return '/'; }
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder) override {
#ifndef _WIN32
    DIR* d = opendir(folder.empty() ? "." : folder.c_str());
    if (!d) return std::nullopt;
    std::vector<std::string> names;
    std::string base = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      struct stat st {};
      if (stat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    closedir(d);
    return names;
#else
    (void)folder;
    return std::nullopt;  // the Windows programs install their own file system
#endif
  }
  bool IsFolder(const std::string& path) override {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
  }
  bool MoveToNewName(const std::string& from, const std::string& to) override {
#ifndef _WIN32
    // A hard link fails when `to` exists; the old name then goes.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
#else
    if (Exists(to)) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
  }
};

FileSystem* g_fs = nullptr;

}  // namespace

FileSystem& StdFileSystem() {
  static StdioFileSystem fs;
  return fs;
}

FileSystem& Fs() { return g_fs ? *g_fs : StdFileSystem(); }
void SetFileSystem(FileSystem* fs) { g_fs = fs; }

std::string FolderOf(const std::string& path) {
  size_t p = path.find_last_of("/\\");
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  auto f = Fs().OpenRead(path);
  if (!f) return Failure{err::kFileCannotBeOpened};
  auto size = f->Size();
  if (!size) return Failure{err::kFailedToReadFile};
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(*size));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  if (f->Read(bytes.data(), bytes.size()) != bytes.size()) return Failure{err::kFailedToReadFile};
  return bytes;
}

ReplacingWriter::ReplacingWriter(std::string target) : target_(std::move(target)) {}

ReplacingWriter::~ReplacingWriter() {
  if (file_) file_.reset();
  if (!committed_ && !temp_.empty()) Fs().Remove(temp_);
}

Status ReplacingWriter::Open() {
  std::string folder = FolderOf(target_);
  auto temp = Fs().NewUniqueFile(folder, "ORX");
  if (!temp) return Failure{err::kFileCannotBeOpened};
  temp_ = *temp;
  file_ = Fs().Create(temp_);
  if (!file_) return Failure{err::kFileCannotBeOpened};
  return {};
}

Status ReplacingWriter::Write(std::span<const uint8_t> bytes) {
  if (!file_) return Failure{err::kFileCannotBeOpened};
  if (file_->Write(bytes.data(), bytes.size()) != bytes.size()) return Failure{err::kDiskFull};
  return {};
}

Status ReplacingWriter::Commit() {
  if (!file_) return Failure{err::kFileCannotBeOpened};
  bool closed = file_->Close();
  file_.reset();
  if (!closed) return Failure{err::kDiskFull};
  if (!Fs().Replace(temp_, target_)) return Failure{err::kCannotCreateFile};
  committed_ = true;
  return {};
}

}  // namespace fq::io
