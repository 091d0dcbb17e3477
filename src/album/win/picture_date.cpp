#include "album/win/picture_date.h"

#include <windows.h>

namespace fq::win {

std::optional<album::PictureDate> FileCreationDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&data.ftCreationTime, &local) || !FileTimeToSystemTime(&local, &t))
    return std::nullopt;
  return album::PictureDate{t.wYear, t.wMonth, t.wDay};
}

}  // namespace fq::win
