#include "shell/file_kind.h"

#include <cstring>
#include <vector>

#include "album/album_file.h"
#include "image/jpeg_checks.h"
#include "image/image_record.h"
#include "base/file_io.h"

namespace fq::shell {
namespace {

constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kCalendarHeaderBytes = 1530;
constexpr uint32_t kCalendarMonthly = 131;
constexpr uint32_t kCalendarYearly = 132;
constexpr size_t kMovieHeaderBytes = 16;

// Up to `n` bytes from the start of the file.
std::vector<uint8_t> Head(io::File& f, size_t n) {
  std::vector<uint8_t> b(n);
  if (!f.Seek(0)) return {};
  b.resize(f.Read(b.data(), n));
  return b;
}

}  // namespace

FileKind DetectFileKind(const std::string& path) {
  if (path.empty()) return FileKind::kEmptyName;
  if (IsJpegFile(path)) return FileKind::kJpeg;
  auto f = io::Fs().OpenRead(path);
  if (!f) return FileKind::kUnknown;
  std::vector<uint8_t> head = Head(*f, kCalendarHeaderBytes);
  if (head.size() >= kBmpFileHeaderBytes && head[0] == 'B' && head[1] == 'M') return FileKind::kBmp;
  if (album::HasAlbumSignature(head)) return FileKind::kAlbum;
  if (head.size() >= kCalendarHeaderBytes) {
    uint32_t tag = GetU32(head.data());
    if (tag == kCalendarMonthly || tag == kCalendarYearly) return FileKind::kCalendar;
  }
  if (head.size() >= kMovieHeaderBytes && std::memcmp(head.data(), "RIFF", 4) == 0 &&
      std::memcmp(head.data() + 8, "AVI", 3) == 0)
    return FileKind::kMovie;
  return FileKind::kUnknown;
}

OpenAction OpenActionFor(FileKind kind) {
  switch (kind) {
    case FileKind::kBmp:
      return OpenAction::kBitmap;
    case FileKind::kJpeg:
      return OpenAction::kJpeg;
    case FileKind::kAlbum:
      return OpenAction::kAlbum;
    default:
      return OpenAction::kRefuse;
  }
}

}  // namespace fq::shell
