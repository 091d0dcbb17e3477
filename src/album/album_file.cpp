#include "album/album_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/file_io.h"

namespace fq::album {
namespace {

// Header field offsets.
constexpr size_t kVersionAt = 16;
constexpr size_t kMarkerAt = 18;
constexpr size_t kCountAt = 24;

// Thumbnail header field offsets (40-byte form).
constexpr size_t kThumbWidthAt = 4;
constexpr size_t kThumbHeightAt = 8;
constexpr size_t kThumbBitCountAt = 14;
constexpr size_t kThumbCompressionAt = 16;
constexpr size_t kThumbColorsUsedAt = 32;

// Where the bytes of an album come from: a file or memory. Read() fills
// exactly `n` bytes or reports a short read.
class Source {
 public:
  virtual ~Source() = default;
  virtual bool Read(uint8_t* out, size_t n) = 0;
};

class SpanSource final : public Source {
 public:
  explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Read(uint8_t* out, size_t n) override {
    if (bytes_.size() - pos_ < n) return false;
    if (n) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

class FileSource final : public Source {
 public:
  explicit FileSource(io::File& f) : f_(f) {}
  bool Read(uint8_t* out, size_t n) override { return f_.Read(out, n) == n; }

 private:
  io::File& f_;
};

// Bytes of the stored thumbnail at the start of `b` (header and rows), or
// nothing when `b` does not start with a storable thumbnail.
std::optional<size_t> ThumbnailExtent(std::span<const uint8_t> b) {
  if (b.size() < kInfoHeaderSize) return std::nullopt;
  const uint8_t* p = b.data();
  if (GetU32(p) != kInfoHeaderSize) return std::nullopt;
  int32_t width = GetI32(p + kThumbWidthAt);
  int32_t height = GetI32(p + kThumbHeightAt);
  if (width < 1 || width > kThumbnailMaxWidth) return std::nullopt;
  if (height < 1 || height > kThumbnailMaxHeight) return std::nullopt;
  if (GetU16(p + kThumbBitCountAt) != 24) return std::nullopt;
  if (GetU32(p + kThumbCompressionAt) != kBiRgb) return std::nullopt;
  // A colour count would put a table before the rows; thumbnails have none.
  if (GetU32(p + kThumbColorsUsedAt) != 0) return std::nullopt;
  size_t stride = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
  size_t extent = kInfoHeaderSize + static_cast<size_t>(height) * stride;
  if (b.size() < extent) return std::nullopt;
  return extent;
}

bool AsciiEqualNoCase(char a, char b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(a) == lower(b);
}

struct Parsed {
  AlbumFile album;
  std::optional<std::vector<uint8_t>> marks;
};

// Reads the extension block after the entries. A missing block (the older
// format simply ends) is not damage; a block whose lengths do not fit is.
void ReadExtension(Source& src, Parsed& out) {
  uint8_t tag[kExtensionTag.size()];
  if (!src.Read(tag, sizeof tag) || std::memcmp(tag, kExtensionTag.data(), sizeof tag) != 0) return;
  uint8_t lbytes[4];
  if (!src.Read(lbytes, 4)) {
    out.album.extension_damaged = true;
    return;
  }
  uint32_t length = GetU32(lbytes);
  if (length > kMaxExtensionField) {
    out.album.extension_damaged = true;
    return;
  }
  std::vector<uint8_t> body(length);
  if (!src.Read(body.data(), length)) {
    out.album.extension_damaged = true;
    return;
  }
  if (length < kCheckMarkTag.size() ||
      std::memcmp(body.data(), kCheckMarkTag.data(), kCheckMarkTag.size()) != 0)
    return;  // some other extension: no check marks
  // Sub-tag, g, g skipped bytes, m, m marks: each length within the block.
  size_t at = kCheckMarkTag.size();
  if (length - at < 4) {
    out.album.extension_damaged = true;
    return;
  }
  uint32_t gap = GetU32(body.data() + at);
  at += 4;
  if (gap >= length - at) {  // room for the gap and the count byte
    out.album.extension_damaged = true;
    return;
  }
  at += gap;
  uint8_t m = body[at++];
  if (m > length - at) {
    out.album.extension_damaged = true;
    return;
  }
  size_t take = std::min<size_t>(m, kMaxPictures);
  out.marks.emplace(body.begin() + static_cast<ptrdiff_t>(at),
                    body.begin() + static_cast<ptrdiff_t>(at + take));
}

// The whole reading. With `marks_only` the entries are only walked over
// (their sizes still bounded), as reading the check marks alone does.
Result<Parsed> Parse(Source& src, bool marks_only) {
  Parsed out;
  uint8_t header[kHeaderSize];
  if (!src.Read(header, kHeaderSize)) return Failure{err::kFailedToReadFile};
  if (!HasAlbumSignature(header)) return Failure{err::kNotAlbumFile};
  out.album.version = GetU16(header + kVersionAt);
  uint16_t count = GetU16(header + kCountAt);

  std::vector<uint8_t> field;
  for (uint32_t i = 0; i < count; ++i) {
    // The album takes at most 100 pictures; the 101st is refused as the
    // album window refuses it.
    if (!marks_only && i == kMaxPictures) return Failure{err::kAlbumFull};
    uint8_t fixed[kEntryFixedSize];
    if (!src.Read(fixed, kEntryFixedSize)) return Failure{err::kFailedToReadFile};
    uint32_t n = GetU32(fixed + kPathFieldSize);
    if (n < kInfoHeaderSize || n > kMaxThumbnailField) return Failure{err::kFailedToReadFile};
    try {
      field.resize(n);
    } catch (const std::bad_alloc&) {
      return Failure{err::kMemory};
    }
    if (!src.Read(field.data(), n)) return Failure{err::kFailedToReadFile};
    if (marks_only) continue;

    // The path field: text up to its first zero, never past 259 bytes.
    const char* text = reinterpret_cast<const char*>(fixed);
    std::string path(text, strnlen(text, kMaxPathLength));
    for (const AlbumFileEntry& e : out.album.entries)
      if (SamePath(e.path, path)) return Failure{err::kAlreadyInAlbum};

    auto extent = ThumbnailExtent(field);
    if (!extent) return Failure{err::kFailedToReadFile};
    AlbumFileEntry entry;
    entry.path = std::move(path);
    try {
      entry.thumbnail = ImageRecord::Adopt(std::vector<uint8_t>(field.begin(), field.begin() + static_cast<ptrdiff_t>(*extent)));
      out.album.entries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
      return Failure{err::kMemory};
    }
  }

  ReadExtension(src, out);
  out.album.has_check_marks = out.marks.has_value();
  if (out.marks && out.album.version != kVersionNoMarks) {
    for (size_t i = 0; i < out.album.entries.size() && i < out.marks->size(); ++i)
      out.album.entries[i].checked = (*out.marks)[i] != 0;
  }
  return out;
}

}  // namespace

bool HasAlbumSignature(std::span<const uint8_t> first) {
  if (first.size() < kHeaderSize) return false;
  return std::memcmp(first.data(), kSignature.data(), kSignature.size()) == 0 &&
         first[kSignature.size()] == 0;
}

bool IsValidThumbnail(const ImageRecord& thumbnail) {
  return ThumbnailExtent(thumbnail.bytes()).has_value();
}

Result<std::vector<uint8_t>> AlbumFileBytes(const AlbumFile& album) {
  const size_t count = album.entries.size();
  if (count > kMaxPictures) return Failure{err::kAlbumFull};
  size_t total = kHeaderSize + kExtensionFixedSize + count;
  for (const AlbumFileEntry& e : album.entries) {
    if (e.path.size() > kMaxPathLength) return Failure{err::kFileNameTooLong};
    auto extent = ThumbnailExtent(e.thumbnail.bytes());
    if (!extent) return Failure{err::kGetBitmap};
    total += kEntryFixedSize + *extent;
  }

  std::vector<uint8_t> out;
  try {
    out.assign(total, 0);
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  uint8_t* p = out.data();
  std::memcpy(p, kSignature.data(), kSignature.size());  // zero byte follows
  PutU16(p + kVersionAt, kVersion);
  p[kMarkerAt] = kHeaderMarker;
  PutU16(p + kCountAt, static_cast<uint16_t>(count));
  p += kHeaderSize;

  for (const AlbumFileEntry& e : album.entries) {
    std::memcpy(p, e.path.data(), e.path.size());  // the rest of the field stays zero
    size_t extent = *ThumbnailExtent(e.thumbnail.bytes());
    PutU32(p + kPathFieldSize, static_cast<uint32_t>(extent));
    std::memcpy(p + kEntryFixedSize, e.thumbnail.data(), extent);
    p += kEntryFixedSize + extent;
  }

  std::memcpy(p, kExtensionTag.data(), kExtensionTag.size());
  PutU32(p + 10, static_cast<uint32_t>(count + 10));
  std::memcpy(p + 14, kCheckMarkTag.data(), kCheckMarkTag.size());
  PutU32(p + 19, 0);  // no gap before the count byte
  p[23] = static_cast<uint8_t>(count);
  for (size_t i = 0; i < count; ++i) p[kExtensionFixedSize + i] = album.entries[i].checked ? 1 : 0;
  return out;
}

Status WriteAlbumFile(const std::string& path, const AlbumFile& album) {
  auto bytes = AlbumFileBytes(album);
  if (!bytes) return bytes.failure();
  io::ReplacingWriter w(path);
  if (Status s = w.Open(); !s) return s;
  if (Status s = w.Write(*bytes); !s) return s;
  return w.Commit();
}

Result<AlbumFile> ReadAlbumBytes(std::span<const uint8_t> bytes) {
  SpanSource src(bytes);
  auto parsed = Parse(src, false);
  if (!parsed) return parsed.failure();
  return std::move(parsed->album);
}

Result<AlbumFile> ReadAlbumFile(const std::string& path) {
  auto f = io::Fs().OpenRead(path);
  if (!f) return Failure{err::kFileCannotBeOpened};
  FileSource src(*f);
  auto parsed = Parse(src, false);
  if (!parsed) return parsed.failure();
  return std::move(parsed->album);
}

std::optional<std::vector<uint8_t>> ReadAlbumCheckMarks(const std::string& path) {
  auto f = io::Fs().OpenRead(path);
  if (!f) return std::nullopt;
  FileSource src(*f);
  auto parsed = Parse(src, true);
  if (!parsed) return std::nullopt;
  return std::move(parsed->marks);
}

std::string WithAlbumExtension(const std::string& name) {
  auto ends = [&](std::string_view s) {
    return name.size() >= s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0;
  };
  return (ends(".alb") || ends(".ALB")) ? name : name + ".alb";
}

bool SamePath(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), AsciiEqualNoCase);
}

}  // namespace fq::album
