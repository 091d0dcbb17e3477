// Re-encoding a picture for sending to the camera: at the camera's usual
// qualities, or repeatedly until the file's size fits the class of the
// picture it replaces.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq {

// The progress meter a conversion moves; the window layer implements it
// over its meter dialog.
class UploadMeter {
 public:
  virtual ~UploadMeter() = default;
  virtual int Position() = 0;
  virtual int Range() = 0;
  virtual void SetPosition(int position) = 0;
  // Dispatches waiting window messages (between groups of rows).
  virtual void Pump() = 0;
  // The short pause with messages dispatched that ends a conversion, so
  // the full meter is seen.
  virtual void Linger() = 0;
};

// Makes the conversion's own meter (range 100, position 0) when the caller
// has none, titled with the destination's file name; may return nullptr
// (no meter is shown then).
using UploadMeterMaker = std::function<std::unique_ptr<UploadMeter>(const std::string& file_name)>;

// Quality for the upload conversion by size class: the largest class gets
// the high quality, every other the upload default.
inline constexpr int kUploadQuality = 80;
inline constexpr int kUploadQualityClass2 = 95;

// Each takes a 24-bit record and writes `jpeg_path`. With `meter` (the
// upload's shared meter) the size class comes from the file now at
// `jpeg_path`, and an unusable class fails with kJpegNotTransferable.
// Without it `make_meter` may supply a meter of the conversion's own.
// Failures: those of SaveJpeg.
Status ImageToJpegForUpload(const ImageRecord& r, const std::string& jpeg_path,
                            UploadMeter* meter, const UploadMeterMaker& make_meter = {});
Status ImageToJpegAt80(const ImageRecord& r, const std::string& jpeg_path, UploadMeter* meter,
                       const UploadMeterMaker& make_meter = {});
// Re-encodes with quarter-width chroma until the size falls in the window of
// the class (`size_class` is used only without a meter). At most 11
// encodings.
Status ImageToJpegSizeTargeted(const ImageRecord& r, const std::string& jpeg_path,
                               UploadMeter* meter, int size_class,
                               const UploadMeterMaker& make_meter = {});

}  // namespace fq
