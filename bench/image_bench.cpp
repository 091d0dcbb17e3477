// Pictures in memory and on disk: BMP reading and writing, the 256-colour
// reduction and the bilinear size change, on a 1600 × 1200 full-colour
// picture. bench/run.sh passes the file it also gives ImageMagick in
// FQ_BENCH_BMP; without it a picture is made here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/bmp_file.h"
#include "image/color_reduce.h"
#include "image/image_record.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1200;

// Smooth colour fields with some grain, so that the picture has the many
// thousands of colours of a photograph.
fq::ImageRecord MakePicture() {
  auto r = fq::ImageRecord::Create(kWidth, kHeight, 24);
  if (!r) std::abort();
  uint64_t stride = fq::ImageRowStride(kWidth, 24);
  uint32_t seed = 12345;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* p = fq::ImageBits(*r) + y * stride;
    for (int x = 0; x < kWidth; ++x, p += 3) {
      seed = seed * 1103515245 + 12345;
      int grain = static_cast<int>((seed >> 16) & 15) - 8;
      auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      p[0] = clamp(128 + 100 * std::sin(x * 0.004 + y * 0.003) + grain);
      p[1] = clamp(128 + 100 * std::sin(x * 0.002 - y * 0.005 + 1) + grain);
      p[2] = clamp(128 + 100 * std::cos((x + y) * 0.003) + grain);
    }
  }
  return std::move(*r);
}

const std::string& InputPath() {
  static const std::string path = [] {
    if (const char* p = std::getenv("FQ_BENCH_BMP")) return std::string(p);
    std::string own = "/tmp/fq_image_bench_in.bmp";
    if (!fq::WriteBitmapFile(own, MakePicture())) std::abort();
    return own;
  }();
  return path;
}

const fq::ImageRecord& Input() {
  static const fq::ImageRecord record = [] {
    auto read = fq::ReadBitmapFile(InputPath());
    if (!read) std::abort();
    auto normal = fq::NormalizeImage(read->record);
    if (!normal) std::abort();
    normal->ApplyTo(read->record);
    return std::move(read->record);
  }();
  return record;
}

void BM_BmpRead(benchmark::State& state) {
  const std::string& path = InputPath();
  for (auto _ : state) {
    auto read = fq::ReadBitmapFile(path);
    if (!read) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(read);
  }
}
BENCHMARK(BM_BmpRead)->Unit(benchmark::kMillisecond);

void BM_BmpWrite(benchmark::State& state) {
  const fq::ImageRecord& r = Input();
  std::string out = InputPath() + ".bench_out.bmp";
  for (auto _ : state) {
    if (!fq::WriteBitmapFile(out, r)) state.SkipWithError("write failed");
  }
  std::remove(out.c_str());
}
BENCHMARK(BM_BmpWrite)->Unit(benchmark::kMillisecond);

void BM_ReduceTo256(benchmark::State& state) {
  const fq::ImageRecord& r = Input();
  for (auto _ : state) {
    auto reduced = fq::ReduceTo256(r);
    if (!reduced || reduced->same()) state.SkipWithError("not reduced");
    benchmark::DoNotOptimize(reduced);
  }
}
BENCHMARK(BM_ReduceTo256)->Unit(benchmark::kMillisecond);

void BM_ResampleBilinear(benchmark::State& state) {
  const fq::ImageRecord& r = Input();
  for (auto _ : state) {
    auto small = fq::ResampleBilinear(r, 640, 480);
    if (!small) state.SkipWithError("resample failed");
    benchmark::DoNotOptimize(small);
  }
}
BENCHMARK(BM_ResampleBilinear)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
