// Feeds arbitrary bytes to the JPEG decoder, from memory, and checks that a
// decoding either fails cleanly or yields a whole BMP file. The same bytes,
// as a file, get the upload verdict of every camera type, which must be
// consistent: a refusal names its reason, an accepted picture has a header
// within the type's limits and a mode the type has.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "camera/upload_rules.h"
#include "image/image_record.h"
#include "image/jpeg_file.h"

namespace {
// Far smaller than the program's limit, so each input decodes quickly: a
// header of a few bytes may declare a picture of any size, and decoding
// millions of empty pixels teaches the fuzzer nothing new. Pictures of up
// to 256 × 256 still have several MCU rows, restart intervals and
// progressive scans, at thousands of inputs a second.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 16;


void CheckUploadVerdicts(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fq_jpeg_fuzz_" + std::to_string(getpid()) + ".jpg";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  const bool written = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) return;
  namespace cam = fq::cam;
  const cam::JpegFacts facts = cam::ReadJpegFacts(path, true);
  for (int type = 1; type <= 4; ++type) {
    const cam::Acceptance a = cam::JudgeForCamera(facts, type);
    if (cam::IsRefused(a.attribute) != (a.refusal != cam::Refusal::kNone)) std::abort();
    if (cam::IsRefused(a.attribute)) continue;
    if (!facts.is_jpeg || !facts.header_read || facts.width == 0 || facts.height == 0 ||
        facts.size != size || facts.size > cam::kLargestUpload)
      std::abort();
    const int mode = cam::ModeOf(a.attribute);
    if (type == 1) {
      // Mode 0 holds the small pictures, 1 to 3 the larger ones by length.
      const bool small = facts.width <= 320 && facts.height <= 240;
      if (mode > 3 || (mode == 0) != small || facts.width > 640 || facts.height > 480) std::abort();
    } else if (mode > 1) {
      std::abort();
    }
    if (type == 4 && !facts.segments_read) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckUploadVerdicts(data, size);
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
