// The picture editor's work on a 2048 × 1536 full-colour picture, each on
// the road the program takes after OK: manual adjustment (four values),
// automatic adjustment, size change to 1024 × 768 and 1920 × 1440, and a
// quarter turn. bench/edit_run.sh passes the file it also gives
// ImageMagick in FQ_BENCH_BMP; without it a picture is made here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "edit/adjust.h"
#include "edit/geometry.h"
#include "image/bmp_file.h"
#include "image/image_record.h"

namespace {

constexpr int kWidth = 2048, kHeight = 1536;

fq::ImageRecord MakePicture() {
  auto r = fq::ImageRecord::Create(kWidth, kHeight, 24);
  if (!r) std::abort();
  const uint64_t stride = fq::ImageRowStride(kWidth, 24);
  uint32_t seed = 12345;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* p = fq::ImageBits(*r) + y * stride;
    for (int x = 0; x < kWidth; ++x, p += 3) {
      seed = seed * 1103515245 + 12345;
      const int grain = static_cast<int>((seed >> 16) & 15) - 8;
      auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      p[0] = clamp(128 + 100 * std::sin(x * 0.004 + y * 0.003) + grain);
      p[1] = clamp(128 + 100 * std::sin(x * 0.002 - y * 0.005 + 1) + grain);
      p[2] = clamp(128 + 100 * std::cos((x + y) * 0.003) + grain);
    }
  }
  return std::move(*r);
}

const fq::ImageRecord& Input() {
  static const fq::ImageRecord record = [] {
    if (const char* path = std::getenv("FQ_BENCH_BMP")) {
      auto read = fq::ReadBitmapFile(path);
      if (!read) std::abort();
      return std::move(read->record);
    }
    return MakePicture();
  }();
  return record;
}

// The dialog's road: preview and cut-offs, the transformation, the whole
// picture.
void BM_AdjustManual(benchmark::State& state) {
  const fq::ImageRecord& in = Input();
  for (auto _ : state) {
    auto analysis = fq::edit::AnalysePicture(in);
    auto t = fq::edit::ComputeManual(analysis->cut, {20, 30, 40, 50});
    auto out = fq::edit::AdjustWhole(in, t);
    benchmark::DoNotOptimize(out->data());
  }
}
BENCHMARK(BM_AdjustManual)->Unit(benchmark::kMillisecond);

void BM_AdjustAutomatic(benchmark::State& state) {
  const fq::ImageRecord& in = Input();
  for (auto _ : state) {
    auto analysis = fq::edit::AnalysePicture(in);
    auto a = fq::edit::ComputeAutomatic(analysis->planes, analysis->cut, {});
    auto out = fq::edit::AdjustWhole(in, a.transform);
    benchmark::DoNotOptimize(out->data());
  }
}
BENCHMARK(BM_AdjustAutomatic)->Unit(benchmark::kMillisecond);

void BM_Resize(benchmark::State& state) {
  const fq::ImageRecord& in = Input();
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  for (auto _ : state) {
    auto out = fq::edit::ResizePicture(in, w, h);
    benchmark::DoNotOptimize(out->data());
  }
}
BENCHMARK(BM_Resize)->Args({1024, 768})->Args({1920, 1440})->Unit(benchmark::kMillisecond);

void BM_RotateRight(benchmark::State& state) {
  const fq::ImageRecord& in = Input();
  for (auto _ : state) {
    auto out = fq::edit::RotateQuarter(in, fq::edit::Turn::kRight);
    benchmark::DoNotOptimize(out->data());
  }
}
BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
