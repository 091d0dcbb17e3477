// Reading Exif and maker segments. Every offset is checked in 64 bits
// against the segment's end before any byte is read.
#include <algorithm>
#include <cstring>
#include <set>

#include "image/exif.h"

namespace fq {
namespace {

// The segment's bytes, bounded by both the buffer and its length field.
std::span<const uint8_t> Bounded(std::span<const uint8_t> segment) {
  if (segment.size() < 4) return segment;
  const size_t declared = 2 + ((size_t{segment[2]} << 8) | segment[3]);
  return segment.first(std::min(segment.size(), declared));
}

// Byte-order-aware reads over a span with range checks.
class Bytes {
 public:
  Bytes(std::span<const uint8_t> b, bool big) : b_(b), big_(big) {}
  bool Has(uint64_t at, uint64_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  uint16_t U16(uint64_t at) const {
    const uint8_t* p = &b_[static_cast<size_t>(at)];
    return big_ ? static_cast<uint16_t>((p[0] << 8) | p[1]) : GetU16(p);
  }
  uint32_t U32(uint64_t at) const {
    const uint8_t* p = &b_[static_cast<size_t>(at)];
    return big_ ? (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]
                : GetU32(p);
  }
  std::span<const uint8_t> span() const { return b_; }
  bool big() const { return big_; }

 private:
  std::span<const uint8_t> b_;
  bool big_;
};

struct Entry {
  uint16_t tag, type;
  uint32_t count, value;
  uint64_t at;  // segment offset of the entry
};

uint64_t TypeSize(uint16_t type) {
  switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
  }
}

// The TIFF structure of an Exif APP1 segment.
struct Tiff {
  Bytes bytes;
  uint32_t ifd0 = 0;
  bool has_ifd0 = false;

  static std::optional<Tiff> Open(std::span<const uint8_t> segment) {
    auto seg = Bounded(segment);
    if (seg.size() < kTiffStart + 2 || seg[0] != 0xFF || seg[1] != kMarkerApp1 ||
        std::memcmp(&seg[4], "Exif", 4) != 0)
      return std::nullopt;
    bool big;
    if (seg[10] == 'I' && seg[11] == 'I') big = false;
    else if (seg[10] == 'M' && seg[11] == 'M') big = true;
    else return std::nullopt;
    Tiff t{Bytes(seg, big)};
    if (t.bytes.Has(kTiffStart + 4, 4)) {
      t.ifd0 = t.bytes.U32(kTiffStart + 4);
      t.has_ifd0 = true;
    }
    return t;
  }

  // Segment offset of a TIFF offset.
  static uint64_t At(uint64_t tiff_offset) { return kTiffStart + tiff_offset; }

  // Calls `fn` for each entry of the IFD that lies wholly inside the
  // segment, in order, until `fn` returns false; the first entry that does
  // not fit ends the walk. Returns the next-IFD offset when the walk read
  // every entry and the offset lies inside the segment.
  template <class Fn>
  std::optional<uint32_t> Walk(uint32_t ifd, Fn&& fn) const {
    const uint64_t at = At(ifd);
    if (!bytes.Has(at, 2)) return std::nullopt;
    const uint32_t n = bytes.U16(at);
    for (uint32_t i = 0; i < n; ++i) {
      const uint64_t e = at + 2 + uint64_t{i} * 12;
      if (!bytes.Has(e, 12)) return std::nullopt;
      Entry entry{bytes.U16(e), bytes.U16(e + 2), bytes.U32(e + 4), bytes.U32(e + 8), e};
      if (!fn(entry)) return std::nullopt;
    }
    const uint64_t next = at + 2 + uint64_t{n} * 12;
    if (!bytes.Has(next, 4)) return std::nullopt;
    return bytes.U32(next);
  }

  ExifField Field(const Entry& e) const {
    ExifField f;
    f.type = e.type;
    f.count = e.count;
    f.entry = static_cast<size_t>(e.at);
    f.value_bytes = TypeSize(e.type) * e.count;
    f.in_entry = f.value_bytes <= 4;
    f.value = f.in_entry ? e.at + 8 : At(e.value);
    f.inside = bytes.Has(f.value, f.value_bytes);
    f.big_endian = bytes.big();
    return f;
  }
};

// Copies an ASCII value (at most its count, up to its first zero byte, cut
// to fit the field); false when it does not lie inside the segment.
bool ReadText(const Tiff& t, const Entry& e, std::string& out) {
  const ExifField f = t.Field(e);
  if (!f.inside) return false;
  auto bytes = t.bytes.span().subspan(static_cast<size_t>(f.value), e.count);
  auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  const size_t n = std::min<size_t>(static_cast<size_t>(end - bytes.begin()), kExifTextField - 1);
  out.assign(reinterpret_cast<const char*>(bytes.data()), n);
  return true;
}

bool IsLong1(const Entry& e) { return e.type == exif_type::kLong && e.count == 1; }

}  // namespace

bool ParseExif(std::span<const uint8_t> segment, ExifInformation& info) {
  auto tiff = Tiff::Open(segment);
  if (!tiff) return false;
  if (!tiff->has_ifd0) return true;
  bool done = false;
  tiff->Walk(tiff->ifd0, [&](const Entry& e) {
    using namespace exif_tag;
    if ((e.tag == kImageWidth || e.tag == kImageLength) && IsLong1(e)) {
      (e.tag == kImageWidth ? info.width : info.height) = e.value;
    } else if ((e.tag == kMake || e.tag == kModel || e.tag == kDateTime) &&
               e.type == exif_type::kAscii) {
      std::string& field = e.tag == kMake ? info.make : e.tag == kModel ? info.model
                                                                         : info.date_changed;
      if (!ReadText(*tiff, e, field)) return false;
    } else if (e.tag == kExifIfdPointer && IsLong1(e)) {
      tiff->Walk(e.value, [&](const Entry& x) {
        if (x.tag == kPixelXDimension && IsLong1(x) && info.width == 0) info.width = x.value;
        if (x.tag == kPixelYDimension && IsLong1(x) && info.height == 0) info.height = x.value;
        if (x.tag == kDateTimeOriginal && x.type == exif_type::kAscii)
          return ReadText(*tiff, x, info.date_taken);
        return true;
      });
      done = true;
      return false;  // entries after the pointer are not examined
    }
    return true;
  });
  (void)done;
  return true;
}

bool ParseMakerApp0(std::span<const uint8_t> segment, uint32_t& width, uint32_t& height) {
  auto seg = Bounded(segment);
  if (seg.size() < 6 || seg[0] != 0xFF || seg[1] != kMarkerApp0) return false;
  bool big;
  if (seg[4] == 'I' && seg[5] == 'I') big = false;
  else if (seg[4] == 'M' && seg[5] == 'M') big = true;
  else return false;
  Bytes b(seg, big);
  uint64_t base = 10;
  if (seg.size() >= 18 && std::memcmp(&seg[10], "HEAPJPGM", 8) == 0) base = 30;
  if (seg.size() < 10) return true;
  const uint64_t dir = base + b.U32(seg.size() - 4);
  if (!b.Has(dir, 2)) return true;
  const uint32_t n = b.U16(dir);
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t e = dir + 2 + uint64_t{i} * 10;
    if (!b.Has(e, 10)) break;
    if (b.U16(e) != exif_tag::kMakerPictureSize) continue;
    const uint64_t v = base + b.U32(e + 6);
    if (b.Has(v, 8)) {
      width = b.U32(v);
      height = b.U32(v + 4);
    }
    break;
  }
  return true;
}

std::optional<ExifField> FindExifField(std::span<const uint8_t> segment, uint16_t tag) {
  auto tiff = Tiff::Open(segment);
  if (!tiff || !tiff->has_ifd0) return std::nullopt;
  std::optional<ExifField> found;
  std::optional<uint32_t> exif_ifd;
  auto look = [&](const Entry& e) {
    if (e.tag == tag) {
      found = tiff->Field(e);
      return false;
    }
    return true;
  };
  // IFD0 and the chain after it, each IFD at most once.
  std::set<uint32_t> visited;
  std::optional<uint32_t> ifd = tiff->ifd0;
  for (int depth = 0; ifd && *ifd != 0 && depth < kMaxIfdDepth && !found; ++depth) {
    if (!visited.insert(*ifd).second) break;
    const bool first = depth == 0;
    ifd = tiff->Walk(*ifd, [&](const Entry& e) {
      if (first && e.tag == exif_tag::kExifIfdPointer && IsLong1(e)) exif_ifd = e.value;
      return look(e);
    });
  }
  if (!found && exif_ifd && !visited.count(*exif_ifd)) tiff->Walk(*exif_ifd, look);
  return found;
}

std::optional<std::span<const uint8_t>> FindExifThumbnail(std::span<const uint8_t> segment) {
  auto tiff = Tiff::Open(segment);
  if (!tiff || !tiff->has_ifd0) return std::nullopt;
  auto ifd1 = tiff->Walk(tiff->ifd0, [](const Entry&) { return true; });
  if (!ifd1 || *ifd1 == 0 || *ifd1 == tiff->ifd0) return std::nullopt;
  std::optional<uint32_t> offset, length;
  tiff->Walk(*ifd1, [&](const Entry& e) {
    const bool number = e.count == 1 && (e.type == exif_type::kLong || e.type == exif_type::kShort);
    const uint32_t v = e.type == exif_type::kShort ? tiff->bytes.U16(e.at + 8) : e.value;
    if (e.tag == exif_tag::kJpegInterchangeFormat && number) offset = v;
    if (e.tag == exif_tag::kJpegInterchangeFormatLength && number) length = v;
    return true;
  });
  if (!offset || !length || *length == 0) return std::nullopt;
  const uint64_t at = Tiff::At(*offset);
  if (!tiff->bytes.Has(at, *length)) return std::nullopt;
  return tiff->bytes.span().subspan(static_cast<size_t>(at), *length);
}

KeptHeader KeepSegments(std::span<const uint8_t> header) {
  KeptHeader kept;
  kept.kind = ClassifyHeader(header);
  if (kept.kind != HeaderClass::kMakerOnly && kept.kind != HeaderClass::kExifOnly) return kept;
  kept.segments = CopyAppSegments(header);
  for (const auto& s : kept.segments) {
    if (kept.kind == HeaderClass::kMakerOnly)
      ParseMakerApp0(s, kept.maker_width, kept.maker_height);
    else
      ParseExif(s, kept.exif);
  }
  return kept;
}

bool IsMakerPicture(const ExifInformation& info) {
  std::string upper = info.make;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper == kExifMake;
}

}  // namespace fq
