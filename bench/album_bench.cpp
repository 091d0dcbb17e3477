// The work behind each picture Add to Album puts into an album, without the
// window system: the thumbnail rule alone on a 1600 × 1200 picture, the
// road of opening a JPEG (temporary BMP file, read back) and its library
// decode for comparison, the sampled decode Add to Album uses, the date read
// from the header, and the whole of an addition.
// bench/album_add.sh runs it beside mogrify and djpeg on the same file.
//   FQ_BENCH_JPEG  a 1600 × 1200 JPEG (default: made here)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>

#include "album/album_date.h"
#include "album/album_thumbnail.h"
#include "base/file_io.h"
#include "image/jpeg_file.h"
#include "image/jpeg_sampled.h"

namespace {

fq::ImageRecord MakePicture(int w, int h) {
  fq::ImageRecord r = std::move(fq::ImageRecord::Create(w, h, 24).value());
  std::mt19937 gen(5);
  uint8_t* p = fq::ImageBits(r);
  const uint64_t stride = fq::ImageRowStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* q = p + stride * y + 3 * x;
      const int edge = ((x / 97 + y / 61) % 2) ? 60 : 0;
      q[0] = static_cast<uint8_t>((x * 255 / w + edge + (gen() & 7)) & 255);
      q[1] = static_cast<uint8_t>((y * 255 / h + (gen() & 7)) & 255);
      q[2] = static_cast<uint8_t>(((x + y) * 255 / (w + h) + edge + (gen() & 7)) & 255);
    }
  return r;
}

const std::string& Jpeg() {
  static const std::string path = [] {
    if (const char* j = std::getenv("FQ_BENCH_JPEG")) return std::string(j);
    std::string p = fq::io::Fs().TempFolder() + "fq_album_bench.jpg";
    fq::ImageToJpegFile(MakePicture(1600, 1200), p, fq::kSampling2x1, 90);
    return p;
  }();
  return path;
}

void BM_Thumbnail(benchmark::State& state) {  // the cell's rule on a decoded picture
  const fq::ImageRecord picture = MakePicture(1600, 1200);
  for (auto _ : state) {
    auto t = fq::album::SubsamplePicture(picture);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_Thumbnail)->Unit(benchmark::kMicrosecond);

void BM_LoadJpeg(benchmark::State& state) {  // JPEG → temporary BMP → record
  for (auto _ : state) {
    auto r = fq::LoadJpeg(Jpeg());
    if (!r) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_DecodeOnly(benchmark::State& state) {  // JPEG bytes → BMP bytes, the library's share
  auto bytes = fq::io::ReadWholeFile(Jpeg());
  for (auto _ : state) {
    auto r = fq::JpegToBitmapBytes(*bytes);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_DecodeSampled(benchmark::State& state) {  // what Add to Album decodes: the sampled rows only
  for (auto _ : state) {
    auto r = fq::DecodeJpegSampled(Jpeg(), [](int64_t w, int64_t h) {
      const auto f = fq::album::FitThumbnailSize(w, h);
      return fq::SampledSize{f.width, f.height};
    });
    if (!r) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_DecodeSampled)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Date(benchmark::State& state) {  // the camera date from the header segments
  for (auto _ : state) {
    auto d = fq::album::PictureDateOf(Jpeg(), std::nullopt);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Date)->Unit(benchmark::kMicrosecond);

void BM_AddWithoutWindows(benchmark::State& state) {  // date, sampled decode, thumbnail
  for (auto _ : state) {
    auto d = fq::album::PictureDateOf(Jpeg(), std::nullopt);
    auto r = fq::DecodeJpegSampled(Jpeg(), [](int64_t w, int64_t h) {
      const auto f = fq::album::FitThumbnailSize(w, h);
      return fq::SampledSize{f.width, f.height};
    });
    if (!r) state.SkipWithError("decode failed");
    auto t = fq::album::SubsamplePicture(*r);
    benchmark::DoNotOptimize(d);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_AddWithoutWindows)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
