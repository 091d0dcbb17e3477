#include "base/win/profile_store.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace fq::win {

int ProfileStore::ReadInt(std::string_view section, std::string_view key, int def) {
  UINT v = GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(), def,
                                 path_.c_str());
  // The system also reads a sign; stored integers have none, so a value that
  // starts with one reads as no number at all.
  if (static_cast<int>(v) < 0 && def >= 0) return 0;
  return static_cast<int>(v);
}

std::string ProfileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view def, size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::vector<char> buf(buffer_size > INT_MAX ? INT_MAX : buffer_size, '\0');
  GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                           std::string(def).c_str(), buf.data(), static_cast<DWORD>(buf.size()),
                           path_.c_str());
  buf.back() = '\0';
  return std::string(buf.data());
}

void ProfileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  std::string v(value.substr(0, value.find_first_of("\r\n")));
  WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), v.c_str(),
                             path_.c_str());
}

}  // namespace fq::win
