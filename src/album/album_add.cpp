#include "album/album_add.h"

#include <cstring>

#include "base/file_io.h"
#include "base/paths.h"
#include "image/jpeg_checks.h"

namespace fq::album {
namespace {

constexpr size_t kBmpHeaderBytes = 14;
constexpr size_t kMovieHeaderBytes = 16;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::vector<std::string> SelectedPaths(std::span<const char> answer) {
  std::vector<std::string> texts;
  size_t at = 0;
  while (at < answer.size()) {
    size_t end = at;
    while (end < answer.size() && answer[end] != '\0') ++end;
    if (end == at) break;  // the empty text that ends the list
    texts.emplace_back(answer.data() + at, end - at);
    at = end + 1;
  }
  if (texts.size() <= 1) return texts;
  std::vector<std::string> paths;
  for (size_t i = 1; i < texts.size(); ++i) paths.push_back(paths::JoinPath(texts[0], texts[i]));
  std::swap(paths.front(), paths.back());
  return paths;
}

PictureKind PictureKindOf(const std::string& path) {
  if (IsJpegFile(path)) return PictureKind::kJpeg;
  auto f = io::Fs().OpenRead(path);
  if (!f) return PictureKind::kOther;
  uint8_t head[kMovieHeaderBytes] = {};
  const size_t n = f->Read(head, sizeof head);
  if (n >= kBmpHeaderBytes && head[0] == 'B' && head[1] == 'M') return PictureKind::kBmp;
  if (n >= kMovieHeaderBytes && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "AVI", 3) == 0)
    return PictureKind::kMovie;
  return PictureKind::kOther;
}

std::optional<std::string> JpegNameForMovieName(const std::string& path) {
  if (path.size() < 3) return std::nullopt;
  const size_t at = path.size() - 3;
  if (Lower(path[at]) != 'a' || Lower(path[at + 1]) != 'v' || Lower(path[at + 2]) != 'i') return std::nullopt;
  return path.substr(0, at) + "jpg";
}

}  // namespace fq::album
