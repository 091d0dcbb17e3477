#include "image/jpeg_upload.h"

#include "image/bmp_file.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/jpeg_quality.h"
#include "base/file_io.h"
#include "base/temp_file.h"

namespace fq {
namespace {

// Attempts after the first one of the size-targeted conversion.
constexpr int kMaxRetries = 10;
constexpr int kOwnMeterRange = 100;

uint64_t FileLength(const std::string& path) {
  auto f = io::Fs().OpenRead(path);
  if (!f) return 0;
  return f->Size().value_or(0);
}

std::string FileNameOf(const std::string& path) {
  return path.substr(io::FolderOf(path).size());
}

// The meter a conversion moves: the caller's or its own (or none).
struct MeterUse {
  UploadMeter* meter = nullptr;
  std::unique_ptr<UploadMeter> own;
  int from = 0;
  int limit = kOwnMeterRange;

  MeterUse(UploadMeter* callers, const UploadMeterMaker& make, const std::string& path) {
    if (callers) {
      meter = callers;
      from = callers->Position();
      limit = callers->Range();
      return;
    }
    if (make) own = make(FileNameOf(path));
    meter = own.get();
  }
  // Moves the meter over the first half of what is left of it.
  JpegProgress Progress() const {
    if (!meter) return {};
    UploadMeter* m = meter;
    const int start = from, to = from + (limit - from) / 2;
    return [m, start, to](int rows, int height) {
      m->SetPosition(RangeMeterPosition(start, to, rows, height));
      m->Pump();
      return true;
    };
  }
  void Finish() {
    if (!meter) return;
    meter->SetPosition(limit);
    meter->Linger();
  }
};

Result<temp::TempFile> WriteTempBitmap(const ImageRecord& r) {
  auto bmp = temp::TempFile::Create();
  if (!bmp) return Failure{err::kFileCannotBeOpened};
  if (Status s = WriteBitmapFile(bmp->path(), r); !s) return Failure{s.message()};
  return std::move(bmp.value());
}

Status ConvertOnce(const ImageRecord& r, const std::string& jpeg_path, UploadMeter* meter,
                   const UploadMeterMaker& make_meter, bool by_class) {
  auto bmp = WriteTempBitmap(r);
  if (!bmp) return Failure{bmp.message()};
  int quality = kUploadQuality;
  if (by_class) {
    const int cls = JpegSizeClass(jpeg_path);
    if (meter && cls == kSizeClassUnusable) return Failure{err::kJpegNotTransferable};
    if (cls == 2) quality = kUploadQualityClass2;
  }
  MeterUse use(meter, make_meter, jpeg_path);
  if (Status s = BitmapFileToJpeg(bmp->path(), jpeg_path, kSampling2x1, quality, use.Progress());
      !s)
    return s;
  use.Finish();
  return {};
}

}  // namespace

Status ImageToJpegForUpload(const ImageRecord& r, const std::string& jpeg_path,
                            UploadMeter* meter, const UploadMeterMaker& make_meter) {
  return ConvertOnce(r, jpeg_path, meter, make_meter, true);
}

Status ImageToJpegAt80(const ImageRecord& r, const std::string& jpeg_path, UploadMeter* meter,
                       const UploadMeterMaker& make_meter) {
  return ConvertOnce(r, jpeg_path, meter, make_meter, false);
}

Status ImageToJpegSizeTargeted(const ImageRecord& r, const std::string& jpeg_path,
                               UploadMeter* meter, int size_class,
                               const UploadMeterMaker& make_meter) {
  auto bmp = WriteTempBitmap(r);
  if (!bmp) return Failure{bmp.message()};
  uint64_t existing = 0;
  if (meter) {
    size_class = JpegSizeClass(jpeg_path);
    if (size_class == kSizeClassUnusable) return Failure{err::kJpegNotTransferable};
    existing = FileLength(jpeg_path);
  }
  MeterUse use(meter, make_meter, jpeg_path);
  int quality = size_class == 2 ? 95 : size_class == 1 ? 80 : 55;
  int step = 0;
  for (int attempt = 0;; ++attempt) {
    if (Status s =
            BitmapFileToJpeg(bmp->path(), jpeg_path, kSampling4x1, quality, use.Progress());
        !s)
      return s;
    QualityStep next = NextQuality(size_class, quality, step, existing, FileLength(jpeg_path));
    if (next.done || attempt >= kMaxRetries) break;
    quality = next.quality;
    step = next.step;
    if (use.meter) use.from = use.meter->Position();
  }
  use.Finish();
  return {};
}

}  // namespace fq
