#include "base/win/region_win.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/region.h"

namespace fq::win {
namespace {

constexpr char kCommonDialogLibrary[] = "comdlg32.dll";

std::string SystemFolder() {
  char buf[MAX_PATH] = "";
  UINT n = GetSystemDirectoryA(buf, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::string() : std::string(buf, n);
}

// The translation table of a file's version resource; nothing when the file
// has no version resource.
bool ReadTranslation(const std::string& file, std::vector<uint8_t>& table) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<uint8_t> info(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, info.data())) return false;
  void* p = nullptr;
  UINT len = 0;
  table.clear();
  if (VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &p, &len) && p)
    table.assign(static_cast<uint8_t*>(p), static_cast<uint8_t*>(p) + len);
  return true;
}

}  // namespace

int SystemLanguage() {
  std::vector<uint8_t> table;
  std::string lib = paths::JoinPath(SystemFolder(), kCommonDialogLibrary);
  if (ReadTranslation(lib, table)) return region::LanguageFromTranslation(table);
  return GetUserDefaultUILanguage();
}

void InitRegion() {
  region::SetCode(region::RegionFromLanguage(SystemLanguage()));
  CPINFO cp{};
  paths::SetDoubleByteNames(GetCPInfo(CP_ACP, &cp) && cp.MaxCharSize > 1);
}

bool InitProgramPaths() {
  char buf[MAX_PATH] = "";
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  auto p = paths::ProgramPathsFrom(std::string(buf, n));
  if (!p) return false;
  bool writable = paths::FolderAcceptsFiles(p->program_folder);
  std::string user;
  if (!writable) {
    char appdata[MAX_PATH] = "";
    DWORD m = GetEnvironmentVariableA("APPDATA", appdata, MAX_PATH);
    if (m > 0 && m < MAX_PATH) user = paths::WindowsUserFolder(appdata);
    if (!user.empty()) CreateDirectoryA(user.c_str(), nullptr);
  }
  paths::SetPaths(paths::PlaceSettings(*p, writable, user));
  return true;
}

}  // namespace fq::win
