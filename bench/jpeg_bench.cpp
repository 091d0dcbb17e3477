// JPEG coding speed: the whole road of opening a JPEG (decode into a
// temporary BMP file, read it back) and of saving one (write a temporary
// BMP, encode it), next to their parts. bench/jpeg_run.sh makes the input
// files and runs djpeg and cjpeg on the same files for comparison.
//   FQ_BENCH_JPEG  a JPEG file (default: made here, 2048 × 1536)
//   FQ_BENCH_BMP   a 24-bit BMP file of the same picture
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>

#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "base/file_io.h"

namespace {

std::string TempPath(const char* name) { return fq::io::Fs().TempFolder() + name; }

// A photograph-like picture: smooth gradients, edges and some noise.
fq::ImageRecord MakePicture(int w, int h) {
  fq::ImageRecord r = std::move(fq::ImageRecord::Create(w, h, 24).value());
  std::mt19937 gen(3);
  uint8_t* p = fq::ImageBits(r);
  const uint64_t stride = fq::ImageRowStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* q = p + stride * y + 3 * x;
      int edge = ((x / 97 + y / 61) % 2) ? 60 : 0;
      q[0] = static_cast<uint8_t>((x * 255 / w + edge + (gen() & 7)) & 255);
      q[1] = static_cast<uint8_t>((y * 255 / h + (gen() & 7)) & 255);
      q[2] = static_cast<uint8_t>(((x + y) * 255 / (w + h) + edge + (gen() & 7)) & 255);
    }
  return r;
}

struct Inputs {
  std::string jpeg, bmp;
  Inputs() {
    const char* j = std::getenv("FQ_BENCH_JPEG");
    const char* b = std::getenv("FQ_BENCH_BMP");
    if (j && b) {
      jpeg = j, bmp = b;
      return;
    }
    jpeg = TempPath("fq_bench_input.jpg");
    bmp = TempPath("fq_bench_input.bmp");
    fq::ImageRecord r = MakePicture(2048, 1536);
    fq::WriteBitmapFile(bmp, r);
    fq::BitmapFileToJpeg(bmp, jpeg, fq::kSampling2x1, fq::kJpegQualityStandard);
  }
};

const Inputs& In() {
  static Inputs in;
  return in;
}

void BM_LoadJpeg(benchmark::State& state) {  // JPEG → temporary BMP → record
  for (auto _ : state) {
    auto r = fq::LoadJpeg(In().jpeg);
    if (!r) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);

void BM_JpegToBitmapFile(benchmark::State& state) {  // djpeg's job: JPEG file → BMP file
  const std::string out = TempPath("fq_bench_out.bmp");
  for (auto _ : state)
    if (!fq::JpegToBitmapFile(In().jpeg, out)) state.SkipWithError("decode failed");
  fq::io::Fs().Remove(out);
}
BENCHMARK(BM_JpegToBitmapFile)->Unit(benchmark::kMillisecond);

void BM_JpegToBitmapBytes(benchmark::State& state) {  // the library's share
  auto bytes = fq::io::ReadWholeFile(In().jpeg);
  for (auto _ : state) {
    auto r = fq::JpegToBitmapBytes(*bytes);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_JpegToBitmapBytes)->Unit(benchmark::kMillisecond);

void BM_ReadBitmapFile(benchmark::State& state) {  // the read-back share
  const std::string bmp = TempPath("fq_bench_decoded.bmp");
  fq::JpegToBitmapFile(In().jpeg, bmp);
  for (auto _ : state) {
    auto r = fq::ReadBitmapFile(bmp);
    benchmark::DoNotOptimize(r);
  }
  fq::io::Fs().Remove(bmp);
}
BENCHMARK(BM_ReadBitmapFile)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg(benchmark::State& state) {  // the save road: record → JPEG
  auto rec = fq::ReadBitmapFile(In().bmp);
  const std::string out = TempPath("fq_bench_out.jpg");
  for (auto _ : state)
    if (!fq::SaveJpeg(rec->record, out, fq::kJpegQualityStandard))
      state.SkipWithError("encode failed");
  fq::io::Fs().Remove(out);
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);

void BM_BitmapFileToJpeg(benchmark::State& state) {  // cjpeg's job: BMP file → JPEG file
  const std::string out = TempPath("fq_bench_out.jpg");
  for (auto _ : state)
    if (!fq::BitmapFileToJpeg(In().bmp, out, fq::kSampling2x1, fq::kJpegQualityStandard))
      state.SkipWithError("encode failed");
  fq::io::Fs().Remove(out);
}
BENCHMARK(BM_BitmapFileToJpeg)->Unit(benchmark::kMillisecond);

void BM_ImageToJpegFile(benchmark::State& state) {  // the library's share
  auto rec = fq::ReadBitmapFile(In().bmp);
  const std::string out = TempPath("fq_bench_out.jpg");
  for (auto _ : state)
    if (!fq::ImageToJpegFile(rec->record, out, fq::kSampling2x1, fq::kJpegQualityStandard))
      state.SkipWithError("encode failed");
  fq::io::Fs().Remove(out);
}
BENCHMARK(BM_ImageToJpegFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
