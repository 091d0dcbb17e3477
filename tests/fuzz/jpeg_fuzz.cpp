// Feeds arbitrary bytes to the JPEG decoder, from memory, and checks that a
// decoding either fails cleanly or yields a whole BMP file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "image/image_record.h"
#include "image/jpeg_file.h"

namespace {
// Far smaller than the program's limit, so each input decodes quickly: a
// header of a few bytes may declare a picture of any size, and decoding
// millions of empty pixels teaches the fuzzer nothing new. Pictures of up
// to 256 × 256 still have several MCU rows, restart intervals and
// progressive scans, at thousands of inputs a second.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto bmp = fq::JpegToBitmapBytes(std::span<const uint8_t>(data, size), {}, kFuzzMaxPixels);
  if (!bmp.ok()) return 0;
  const auto& b = *bmp;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || fq::GetU32(&b[2]) != b.size()) std::abort();
  const int32_t w = fq::GetI32(&b[18]), h = fq::GetI32(&b[22]);
  const int bits = fq::GetU16(&b[28]);
  const uint64_t stride = (uint64_t(w) * bits + 31) / 32 * 4;
  if (w <= 0 || h <= 0 || (bits != 8 && bits != 24)) std::abort();
  if (fq::GetU32(&b[10]) + stride * uint64_t(h) != b.size()) std::abort();
  return 0;
}
