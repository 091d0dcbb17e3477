// Feeds arbitrary bytes to the header walk and the Exif and maker segment
// readers, both as a whole file and as one segment, and checks that every
// answer lies inside the bytes given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "image/exif.h"
#include "image/jpeg_segments.h"

namespace {

void CheckSegment(std::span<const uint8_t> seg) {
  fq::ExifInformation info;
  if (fq::ParseExif(seg, info)) {
    for (const std::string* s : {&info.make, &info.model, &info.date_taken, &info.date_changed})
      if (s->size() >= fq::kExifTextField) std::abort();
  }
  uint32_t w = 0, h = 0;
  fq::ParseMakerApp0(seg, w, h);
  if (auto thumb = fq::FindExifThumbnail(seg)) {
    if (thumb->data() < seg.data() || thumb->data() + thumb->size() > seg.data() + seg.size())
      std::abort();
  }
  for (uint16_t tag : {fq::exif_tag::kDateTime, fq::exif_tag::kPixelXDimension,
                       fq::exif_tag::kJpegInterchangeFormatLength}) {
    auto f = fq::FindExifField(seg, tag);
    if (f && (f->entry + 12 > seg.size() || (f->inside && f->value + f->value_bytes > seg.size())))
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  CheckSegment(bytes);

  const fq::SegmentWalk walk = fq::WalkHeader(bytes);
  size_t at = walk.starts_with_soi ? 2 : 0;
  for (const fq::JpegSegment& s : walk.segments) {
    if (s.offset != at || s.offset + s.size > size) std::abort();
    at += s.size;
    CheckSegment(bytes.subspan(s.offset, s.size));
  }
  fq::ClassifyHeader(bytes);
  fq::KeptHeader kept = fq::KeepSegments(bytes);
  if (kept.segments.size() > fq::kMaxKeptSegments) std::abort();
  const size_t before = kept.segments.empty() ? 0 : kept.segments[0].size();
  fq::UpdateKeptExif(kept.segments, 640, 480, fq::ExifDateTime{2001, 3, 1, 9, 5, 0});
  if (!kept.segments.empty() && kept.segments[0].size() != before) std::abort();
  if (auto clean = fq::CleanJpeg(bytes)) {
    if (clean->size() < 4 || (*clean)[0] != 0xFF || (*clean)[1] != 0xD8) std::abort();
  }
  fq::ReinsertSegments(bytes, kept.segments);
  return 0;
}
