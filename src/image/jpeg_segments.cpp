#include "image/jpeg_segments.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/file_io.h"

namespace fq {
namespace {

enum class Step { kSegment, kScan, kStop };

// Judges the four bytes at `pos` (marker and length) of a stream of
// `total` bytes; on kSegment `size` is the whole segment's size.
Step JudgeSegment(const uint8_t* four, uint64_t pos, uint64_t total, size_t& size) {
  if (four[0] != 0xFF) return Step::kStop;
  if (four[1] == kMarkerSos) return Step::kScan;
  if (four[1] == 0xFF || four[1] == 0x00 || four[1] == kMarkerEoi) return Step::kStop;
  const uint32_t length = (uint32_t{four[2]} << 8) | four[3];
  if (length < 2) return Step::kStop;
  if (uint64_t{length} + 2 > total - pos) return Step::kStop;
  size = length + 2;
  return Step::kSegment;
}

bool Contains(std::span<const uint8_t> bytes, size_t from, std::string_view what) {
  if (from >= bytes.size()) return false;
  auto it = std::search(bytes.begin() + static_cast<ptrdiff_t>(from), bytes.end(), what.begin(),
                        what.end());
  return it != bytes.end();
}

size_t Find(std::span<const uint8_t> bytes, std::string_view what) {
  auto it = std::search(bytes.begin(), bytes.end(), what.begin(), what.end());
  return static_cast<size_t>(it - bytes.begin());
}

void Append(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

SegmentWalk WalkHeader(std::span<const uint8_t> bytes) {
  SegmentWalk walk;
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != kMarkerSoi) return walk;
  walk.starts_with_soi = true;
  size_t pos = 2;
  walk.end = 2;
  while (pos + 2 <= bytes.size()) {
    uint8_t four[4] = {bytes[pos], bytes[pos + 1], 0, 0};
    if (pos + 4 <= bytes.size()) std::memcpy(four + 2, &bytes[pos + 2], 2);
    else if (four[1] != kMarkerSos) break;
    size_t size = 0;
    Step step = JudgeSegment(four, pos, bytes.size(), size);
    if (step == Step::kScan) {
      walk.reached_scan = true;
      walk.scan_offset = pos;
      break;
    }
    if (step == Step::kStop) break;
    walk.segments.push_back({four[1], pos, size});
    pos += size;
    walk.end = pos;
  }
  return walk;
}

Result<std::vector<uint8_t>> ReadHeaderSegments(const std::string& path) {
  io::FileSystem& fs = io::Fs();
  if (!fs.Exists(path)) return Failure{err::kFileDoesNotExist};
  auto file = fs.OpenRead(path);
  if (!file) return Failure{err::kFileCannotBeOpened};
  const auto total = file->Size();
  if (!total) return Failure{err::kFailedToReadFile};
  uint8_t soi[2];
  if (*total < 2 || file->Read(soi, 2) != 2 || soi[0] != 0xFF || soi[1] != kMarkerSoi)
    return Failure{err::kNotJpeg};
  uint64_t pos = 2;
  while (pos + 4 <= *total) {
    uint8_t four[4];
    if (!file->Seek(pos) || file->Read(four, 4) != 4) return Failure{err::kFailedToReadFile};
    size_t size = 0;
    if (JudgeSegment(four, pos, *total, size) != Step::kSegment) break;
    pos += size;
  }
  std::vector<uint8_t> header(static_cast<size_t>(pos));
  if (!file->Seek(0) || file->Read(header.data(), header.size()) != header.size())
    return Failure{err::kFailedToReadFile};
  return header;
}

bool LooksLikeMakerApp0(std::span<const uint8_t> segment) {
  if (segment.size() < 2 || segment[1] != kMarkerApp0) return false;
  const size_t heap = Find(segment, "HEAP");
  if (heap == segment.size() || !Contains(segment, heap + 4, "JPGM")) return false;
  const size_t jfif = Find(segment, "JFIF");
  return jfif > heap;
}

bool LooksLikeExifApp1(std::span<const uint8_t> segment) {
  return segment.size() >= 2 && segment[1] == kMarkerApp1 && Contains(segment, 0, "Exif");
}

HeaderClass ClassifyHeader(std::span<const uint8_t> header) {
  const SegmentWalk walk = WalkHeader(header);
  if (!walk.starts_with_soi) return HeaderClass::kNotJpeg;
  bool maker = false, exif = false;
  for (const JpegSegment& s : walk.segments) {
    auto bytes = header.subspan(s.offset, s.size);
    maker = maker || LooksLikeMakerApp0(bytes);
    exif = exif || LooksLikeExifApp1(bytes);
  }
  if (maker && exif) return HeaderClass::kBoth;
  if (maker) return HeaderClass::kMakerOnly;
  if (exif) return HeaderClass::kExifOnly;
  return HeaderClass::kNeither;
}

KeptSegments CopyAppSegments(std::span<const uint8_t> header) {
  KeptSegments kept;
  for (const JpegSegment& s : WalkHeader(header).segments) {
    if (!IsAppMarker(s.marker)) continue;
    if (kept.size() == kMaxKeptSegments) break;
    auto bytes = header.subspan(s.offset, s.size);
    kept.emplace_back(bytes.begin(), bytes.end());
  }
  return kept;
}

Result<std::vector<uint8_t>> CleanJpeg(std::span<const uint8_t> jpeg) {
  const SegmentWalk walk = WalkHeader(jpeg);
  if (!walk.starts_with_soi || !walk.reached_scan) return Failure{err::kNotJpeg};

  std::vector<uint8_t> dqt, dht;  // merged bodies
  for (const JpegSegment& s : walk.segments) {
    auto body = jpeg.subspan(s.offset + 4, s.size - 4);
    if (s.marker == kMarkerDqt) Append(dqt, body);
    if (s.marker == kMarkerDht) Append(dht, body);
  }
  // A merged segment must still fit its 16-bit length.
  if (dqt.size() + 2 > 0xFFFF || dht.size() + 2 > 0xFFFF) return Failure{err::kNotJpeg};

  std::vector<uint8_t> out = {0xFF, kMarkerSoi};
  bool dqt_done = false, dht_done = false;
  auto put_merged = [&out](uint8_t marker, const std::vector<uint8_t>& body) {
    const size_t length = body.size() + 2;
    out.insert(out.end(), {0xFF, marker, static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length & 0xFF)});
    Append(out, body);
  };
  for (const JpegSegment& s : walk.segments) {
    if (IsAppMarker(s.marker) || s.marker == kMarkerCom) continue;
    if (s.marker == kMarkerDqt) {
      if (!dqt_done) put_merged(kMarkerDqt, dqt);
      dqt_done = true;
    } else if (s.marker == kMarkerDht) {
      if (!dht_done) put_merged(kMarkerDht, dht);
      dht_done = true;
    } else {
      Append(out, jpeg.subspan(s.offset, s.size));
    }
  }
  // From SOS to the first EOI after it; entropy-coded data never holds FF D9.
  size_t end = jpeg.size();
  for (size_t i = walk.scan_offset; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == kMarkerEoi) {
      end = i + 2;
      break;
    }
  }
  Append(out, jpeg.subspan(walk.scan_offset, end - walk.scan_offset));
  if (end == jpeg.size() && !(out.size() >= 2 && out[out.size() - 2] == 0xFF &&
                              out.back() == kMarkerEoi))
    out.insert(out.end(), {0xFF, kMarkerEoi});
  return out;
}

Result<std::vector<uint8_t>> ReinsertSegments(std::span<const uint8_t> jpeg,
                                              const KeptSegments& kept) {
  const SegmentWalk walk = WalkHeader(jpeg);
  if (!walk.starts_with_soi) return Failure{err::kNotJpeg};
  auto is_kept = [&kept](std::span<const uint8_t> bytes) {
    return std::any_of(kept.begin(), kept.end(), [&](const std::vector<uint8_t>& k) {
      return k.size() == bytes.size() && std::equal(k.begin(), k.end(), bytes.begin());
    });
  };
  const bool has_app0 = std::any_of(walk.segments.begin(), walk.segments.end(),
                                    [](const JpegSegment& s) { return s.marker == kMarkerApp0; });
  std::vector<uint8_t> out = {0xFF, kMarkerSoi};
  bool written = false;
  auto put_kept = [&] {
    if (written) return;
    for (const auto& k : kept) Append(out, k);
    written = true;
  };
  if (!has_app0) put_kept();
  for (const JpegSegment& s : walk.segments) {
    auto bytes = jpeg.subspan(s.offset, s.size);
    if (s.marker == kMarkerApp0) {
      put_kept();
      continue;
    }
    if (is_kept(bytes)) continue;
    Append(out, bytes);
  }
  Append(out, jpeg.subspan(walk.end));
  return out;
}

}  // namespace fq
