// Frame headers and pixels as a video decoder might hand them over: the
// layout must refuse or fit the bytes, and every picture made must be one
// the rest of the program can use.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_record.h"
#include "show/movie_frame.h"

namespace {

// Run-length frames may state a picture far larger than their stream;
// decoding one is legitimate but would only measure the allocator.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  auto layout = fq::show::MeasureFrame(bytes);
  if (layout && int64_t{layout->width} * layout->rows > kMaxFuzzPixels) return 0;
  auto picture = fq::show::PictureFromFrame(bytes);
  if (!picture) return 0;
  // What the library would have been asked to hand over fits what it gave.
  if (!layout || layout->total > size) __builtin_trap();
  const fq::ImageRecord& r = *picture;
  if (fq::ImageHeight(r) <= 0 || fq::ImageCompression(r) != fq::kBiRgb || !fq::ImageHasAllRows(r))
    __builtin_trap();
  if (fq::ImageBitCount(r) <= 8) (void)fq::Expand8To24(r);
  return 0;
}
