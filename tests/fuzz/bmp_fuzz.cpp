// BMP bytes of any shape: reading must refuse or succeed cleanly, and every
// record it gives must survive normalisation, expansion, reduction and
// writing back.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bitmap_unpack.h"
#include "image/bmp_file.h"
#include "image/color_reduce.h"
#include "image/image_record.h"

namespace {

// Run-length pictures may declare a size far beyond their stream; decoding
// such a picture is legitimate but would only measure the allocator, and a
// handful of them slowed the whole run down to a few hundred inputs a
// second. Pictures of up to 256 × 256 still reach the conversions' cases
// (run-length jumps and row ends, row padding, more colours than a palette
// holds); the reader's own checks still see every input, since the cap
// applies only after reading.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 16;

void Exercise(const fq::ImageRecord& r) {
  auto bytes = fq::BitmapFileBytes(r);
  if (bytes) {
    auto again = fq::ReadBitmapBytes(*bytes);
    (void)again;
  }
  if (fq::ImageBitCount(r) == 8) {
    auto full = fq::Expand8To24(r);
    if (full) (void)fq::ReduceTo256(*full);
  } else {
    (void)fq::ReduceTo256(r);
  }
  (void)fq::UnpackTo24(r);
  (void)fq::RenderAtDepth(r, 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto read = fq::ReadBitmapBytes(std::span<const uint8_t>(data, size));
  if (!read) return 0;
  const fq::ImageRecord& r = read->record;
  if (int64_t{fq::ImageWidth(r)} * fq::ImageHeight(r) > kMaxFuzzPixels) return 0;
  auto normal = fq::NormalizeImage(r);
  if (!normal) return 0;
  Exercise(normal->Or(r));
  return 0;
}
