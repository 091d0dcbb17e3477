#include "image/jpeg_quality.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace fq {

const std::array<uint16_t, 64> kJpegLuminanceBase = {
    8,  5,  5,  8,  12, 20, 25, 30,  //
    6,  6,  7,  9,  13, 29, 30, 33,  //
    7,  6,  8,  12, 20, 28, 34, 28,  //
    7,  8,  11, 14, 25, 43, 40, 31,  //
    9,  11, 18, 28, 34, 54, 51, 38,  //
    12, 18, 27, 32, 40, 52, 56, 46,  //
    24, 32, 39, 43, 51, 60, 60, 50,  //
    36, 46, 47, 49, 61, 50, 51, 49,
};

const std::array<uint16_t, 64> kJpegChrominanceBase = {
    8,  9,  12, 23, 49, 49, 49, 49,  //
    9,  10, 13, 33, 49, 49, 49, 49,  //
    12, 13, 28, 49, 49, 49, 49, 49,  //
    23, 33, 49, 49, 49, 49, 49, 49,  //
    49, 49, 49, 49, 49, 49, 49, 49,  //
    49, 49, 49, 49, 49, 49, 49, 49,  //
    49, 49, 49, 49, 49, 49, 49, 49,  //
    49, 49, 49, 49, 49, 49, 49, 49,
};

int JpegQualityScale(int quality) {
  quality = std::clamp(quality, 1, 100);
  return quality < 50 ? 5000 / quality : 200 - quality * 2;
}

std::array<uint16_t, 64> ScaledQuantTable(const std::array<uint16_t, 64>& base, int quality) {
  const long scale = JpegQualityScale(quality);
  std::array<uint16_t, 64> out{};
  for (size_t i = 0; i < 64; ++i) {
    long v = (static_cast<long>(base[i]) * scale + 50) / 100;
    out[i] = static_cast<uint16_t>(std::clamp(v, 1L, 255L));
  }
  return out;
}

std::optional<std::array<SamplingFactors, 3>> ParseSampling(std::string_view text) {
  std::array<SamplingFactors, 3> out{};
  size_t component = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  auto number = [&](int& v) {
    auto [next, ec] = std::from_chars(p, end, v);
    if (ec != std::errc() || v < 1 || v > 4) return false;
    p = next;
    return true;
  };
  while (true) {
    if (component == out.size()) return std::nullopt;
    SamplingFactors f;
    if (!number(f.h)) return std::nullopt;
    if (p == end || (*p != 'x' && *p != 'X')) return std::nullopt;
    ++p;
    if (!number(f.v)) return std::nullopt;
    out[component++] = f;
    if (p == end) break;
    if (*p != ',') return std::nullopt;
    ++p;
  }
  return out;
}

int DecodeMeterPosition(int64_t rows_done, int64_t height) {
  if (height <= 0) return kJpegMeterSteps;
  int64_t pos = (rows_done * kJpegMeterSteps + height / 2) / height;
  return static_cast<int>(std::min<int64_t>(pos, kJpegMeterSteps));
}

int DecodeHalfMeterPosition(int64_t rows_done, int64_t height) {
  return DecodeMeterPosition(rows_done, height) / 2;
}

int RangeMeterPosition(int from, int to, int64_t rows_done, int64_t height) {
  const int64_t limit = 2 * static_cast<int64_t>(to) - from;
  if (height <= 0) return static_cast<int>(std::min<int64_t>(to, limit));
  int64_t pos = from + ((static_cast<int64_t>(to) - from) * rows_done + height / 2) / height;
  return static_cast<int>(std::min(pos, limit));
}

int SizeClassOfLength(uint64_t bytes) {
  if (bytes == 0) return kSizeClassUnusable;
  if (bytes <= 21504) return 0;
  if (bytes <= 64512) return 1;
  if (bytes <= 131072) return 2;
  if (bytes <= 262144) return 3;
  return kSizeClassUnusable;
}

namespace {

struct ClassWindow {
  uint64_t low;     // done above this (exclusive)
  uint64_t high;    // ... up to this (inclusive)
  uint64_t target;  // aimed-at size
};

int StepSize(uint64_t distance, int previous) {
  const int p = std::abs(previous);
  if (distance > 10240) {
    if (previous == -10) return 5;
    if (p == 5) return 2;
    if (p == 2) return 1;
    return 10;
  }
  if (distance > 5120) {
    if (p == 5) return 2;
    if (p == 2) return 1;
    return 5;
  }
  return p == 2 ? 0 : 2;
}

}  // namespace

QualityStep NextQuality(int cls, int quality, int previous_step, uint64_t existing,
                        uint64_t size) {
  QualityStep r;
  uint64_t distance = 0;
  bool raise = false;
  if (cls == 0) {
    if (size < 21504) return {true, quality, previous_step};
    distance = size - 21504;
  } else if (cls >= 1 && cls <= 3) {
    static constexpr ClassWindow kWindows[] = {
        {51200, 64512, 56320}, {102400, 131072, 113664}, {204800, 262144, 227328}};
    const ClassWindow& w = kWindows[cls - 1];
    if ((existing != 0 && existing < size && size <= w.high) || (w.low < size && size <= w.high))
      return {true, quality, previous_step};
    distance = size > w.target ? size - w.target : w.target - size;
    raise = size <= w.target;
  } else {
    return {true, quality, previous_step};
  }
  const int m = StepSize(distance, previous_step);
  r.step = raise ? m : -m;
  r.quality = std::min(quality + r.step, 100);
  r.done = r.quality == 0;
  return r;
}

}  // namespace fq
