#include "base/win/win_file_system.h"

#include <windows.h>

#include <algorithm>

#include "base/win/gdi.h"

namespace fq::win {
namespace {

// ReadFile and WriteFile move at most a DWORD at a time; larger requests are
// split.
constexpr size_t kMaxChunk = 1u << 30;

class WinFile final : public io::File {
 public:
  WinFile(HANDLE h, bool writing) : h_(h), writing_(writing) {}
  ~WinFile() override { Close(); }

  size_t Read(void* buf, size_t n) override {
    auto* p = static_cast<char*>(buf);
    size_t done = 0;
    while (done < n && h_) {
      DWORD want = static_cast<DWORD>((std::min)(n - done, kMaxChunk));
      DWORD got = 0;
      if (!ReadFile(h_.get(), p + done, want, &got, nullptr) || got == 0) break;
      done += got;
    }
    return done;
  }

  size_t Write(const void* buf, size_t n) override {
    const auto* p = static_cast<const char*>(buf);
    size_t done = 0;
    while (done < n && h_) {
      DWORD want = static_cast<DWORD>((std::min)(n - done, kMaxChunk));
      DWORD put = 0;
      if (!WriteFile(h_.get(), p + done, want, &put, nullptr) || put == 0) break;
      done += put;
    }
    return done;
  }

  bool Seek(uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return h_ && SetFilePointerEx(h_.get(), to, nullptr, FILE_BEGIN);
  }

  std::optional<uint64_t> Size() override {
    LARGE_INTEGER size;
    if (!h_ || !GetFileSizeEx(h_.get(), &size)) return std::nullopt;
    return static_cast<uint64_t>(size.QuadPart);
  }

  bool Close() override {
    if (!h_) return true;
    bool ok = !writing_ || FlushFileBuffers(h_.get());
    return h_.close() && ok;
  }

 private:
  KernelHandle h_;
  bool writing_;
};

std::unique_ptr<io::File> Open(const std::string& path, DWORD access, DWORD share,
                               DWORD disposition) {
  HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h, (access & GENERIC_WRITE) != 0);
}

}  // namespace

std::unique_ptr<io::File> WinFileSystem::OpenRead(const std::string& path) {
  return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

std::unique_ptr<io::File> WinFileSystem::Create(const std::string& path) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

bool WinFileSystem::Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinFileSystem::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool WinFileSystem::Replace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::optional<std::string> WinFileSystem::NewUniqueFile(const std::string& folder,
                                                        const std::string& prefix) {
  char name[MAX_PATH];
  const char* where = folder.empty() ? "." : folder.c_str();
  if (!GetTempFileNameA(where, prefix.c_str(), 0, name)) return std::nullopt;
  return std::string(name);
}

std::string WinFileSystem::TempFolder() {
  char path[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof path, path);
  if (n == 0 || n >= sizeof path) return ".\\";
  std::string s(path, n);
  if (s.back() != '\\' && s.back() != '/') s += '\\';
  return s;
}

std::optional<std::vector<std::string>> WinFileSystem::ListFiles(const std::string& folder) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*";
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  std::vector<std::string> names;
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;
    return std::nullopt;
  }
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

bool WinFileSystem::IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::MoveToNewName(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

WinFileSystem& TheWinFileSystem() {
  static WinFileSystem fs;
  return fs;
}

}  // namespace fq::win
