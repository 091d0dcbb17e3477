#include "album/album_rename.h"

#include "album/album_file.h"
#include "base/paths.h"
#include "base/region.h"

namespace fq::album {
namespace {

constexpr size_t kExtensionLength = 4;

bool Forbidden(char c, bool japanese) {
  switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
      return true;
    case ',': case ';':
      return japanese;
    default:
      return false;
  }
}

}  // namespace

TitleCheck CheckTitle(std::string_view title, int region) {
  const size_t dot = title.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return TitleCheck::kNoExtension;
  const bool japanese = region == region::kJapanese;
  for (size_t i = 0; i < title.size(); ++i) {
    if (japanese && paths::IsLeadByte(static_cast<unsigned char>(title[i]))) {
      ++i;  // the trail byte belongs to the character
      continue;
    }
    if (Forbidden(title[i], japanese)) return TitleCheck::kForbidden;
  }
  return TitleCheck::kAccepted;
}

std::string_view ForbiddenCharactersText(int region) {
  return region == region::kJapanese ? kForbiddenCharactersJapan : kForbiddenCharacters;
}

RenamedPath RenamedPathFor(const std::string& old_path, std::string_view title) {
  const size_t sep = paths::LastSeparator(old_path);
  std::string path = old_path.substr(0, sep == std::string::npos ? 0 : sep + 1);
  path += title;
  if (old_path.size() >= kExtensionLength) {
    const std::string_view ext = std::string_view(old_path).substr(old_path.size() - kExtensionLength);
    if (title.size() < kExtensionLength || title.substr(title.size() - kExtensionLength) != ext)
      path += ext;
  }
  return {path, path.size() > kMaxPathLength};
}

std::string TitleOf(const std::string& path) {
  const size_t sep = paths::LastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace fq::album
