// Decoding a JPEG straight into a small picture of nearest samples: only
// the rows that are sampled are made (the library skips the others), and of
// those only the sampled columns are kept. The picture equals the nearest
// samples of a full decode, which this saves most of the time of for a
// thumbnail.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/messages.h"
#include "image/image_record.h"
#include "image/jpeg_file.h"

namespace fq {

struct SampledSize {
  int32_t width = 0, height = 0;
};
// The size of the samples for a w × h picture.
using SampleSizeRule = std::function<SampledSize(int64_t width, int64_t height)>;

// Output pixel (c, r), both counted from the bottom-left, is pixel
// (c × w / width, r × h / height) of the w × h decode, counted the same
// way. The record is as a full decode read back gives it: 24 bits (8 bits
// with a grey palette for greyscale files), bottom-up, the resolution from
// the file's density per centimetre. `progress` sees the source rows passed.
// Failures: kFileCannotBeOpened, kCreatingBitmap (damaged or unsupported
// data, a size rule giving an unusable size), kMemory.
Result<ImageRecord> DecodeJpegSampled(const std::string& path, const SampleSizeRule& size_for,
                                      const JpegProgress& progress = {});

}  // namespace fq
