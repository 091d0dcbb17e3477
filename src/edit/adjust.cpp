#include "edit/adjust.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "edit/geometry.h"
#include "image/record_layout.h"

namespace fq::edit {
namespace {

constexpr int kPreviewDivisor = 158;
constexpr int kTailPercent = 2;
constexpr int kLargestLow = 50;
constexpr int kSmallestHigh = 205;
constexpr double kBrightnessDivisor = 25;
constexpr double kSaturationDivisor = 100;
constexpr double kSharpnessDivisor = 100;
constexpr int kDeadZone = 2;
constexpr int kBandLow = 10, kBandMid = 30, kBandHigh = 50;
constexpr double kMaxBrightnessFactor = 3;
constexpr int kEdgeThreshold = 128;
constexpr double kSharpenBase = 0.12, kEdgeDivisor = 0.03;
constexpr double kMaxAutoSaturation = 1.3;

bool Plain24(const ImageRecord& r) {
  return ImageIsInfoForm(r) && ImageBitCount(r) == 24 && ImageCompression(r) == kBiRgb &&
         ImageHeight(r) > 0 && layout::ValidDimensions(ImageWidth(r), ImageHeight(r)) &&
         ImageHasAllRows(r);
}

// Half away from zero.
int RoundHalfAway(double v) {
  return static_cast<int>(v >= 0 ? std::trunc(v + 0.5) : -std::trunc(-v + 0.5));
}

uint8_t Clamp255(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

}  // namespace

Result<YccPlanes> ToPlanes(const ImageRecord& r) {
  if (!Plain24(r)) return Failure{err::kUnexpected};
  YccPlanes p;
  p.width = ImageWidth(r);
  p.height = ImageHeight(r);
  const size_t n = static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
  const uint64_t stride = ImageRowStride(p.width, 24);
  const size_t pad = static_cast<size_t>(stride - 3 * static_cast<uint64_t>(p.width));
  try {
    p.y.resize(n);
    p.cb.resize(n);
    p.cr.resize(n);
    p.padding.resize(pad * static_cast<size_t>(p.height));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  // Each product depends on one channel only: three small tables give the
  // very same sums as the formula written out.
  double cb_b[256], cb_r[256], cb_g[256], cr_r[256], cr_g[256], cr_b[256];
  for (int v = 0; v < 256; ++v) {
    cb_b[v] = 0.4997 * v;
    cb_r[v] = 0.1686 * v;
    cb_g[v] = 0.3311 * v;
    cr_r[v] = 0.4998 * v;
    cr_g[v] = 0.4185 * v;
    cr_b[v] = 0.0813 * v;
  }
  const uint8_t* bits = ImageBits(r);
  size_t i = 0;
  for (int row = 0; row < p.height; ++row) {
    const uint8_t* s = bits + row * stride;
    for (int x = 0; x < p.width; ++x, s += 3, ++i) {
      const int b = s[0], g = s[1], rd = s[2];
      p.cb[i] = static_cast<int8_t>(RoundHalfAway(cb_b[b] - cb_r[rd] - cb_g[g]));
      p.cr[i] = static_cast<int8_t>(RoundHalfAway(cr_r[rd] - cr_g[g] - cr_b[b]));
      p.y[i] = static_cast<uint8_t>(0.587 * g + 0.299 * rd + 0.114 * b + 0.5);
    }
    if (pad) std::memcpy(p.padding.data() + row * pad, s, pad);
  }
  return p;
}

Cutoffs AnalysePreview(const YccPlanes& preview) {
  uint64_t histogram[256] = {};
  for (uint8_t v : preview.y) ++histogram[v];
  const uint64_t t = kTailPercent * preview.y.size() / 100;
  Cutoffs c;
  if (t > 0) {
    uint64_t sum = 0;
    int low = 0;
    while (sum < t && low < 254) sum += histogram[++low];
    sum = 0;
    int high = 255;
    while (sum < t && high > 1) sum += histogram[--high];
    c.low = low;
    c.high = high;
  }
  c.low = std::min(c.low, kLargestLow);
  c.high = std::max(c.high, kSmallestHigh);
  return c;
}

std::array<uint8_t, 256> ToneTable(int a, double k, double v) {
  std::array<uint8_t, 256> t{};
  for (int n = 0; n < 256; ++n) {
    const double u = (n - a) * k;
    double out;
    if (u < 0) out = 0;
    else if (u < 32) out = v * u;
    else if (u < 128) out = u + 32 * v - 32;
    else if (u <= 255) out = u * (1.25 - 0.25 * v) + 64 * v - 64;
    else out = 255 * (1.25 - 0.25 * v) + 64 * v - 64;
    t[n] = Clamp255(std::trunc(out));
  }
  return t;
}

Transform ComputeManual(const Cutoffs& cut, const AdjustValues& values) {
  const int low = cut.low, high = cut.high;
  const int vc = values.contrast;
  int a = 0, w = 255;
  if (low == 0) {
    // No cut-offs (a preview of fewer than 50 pixels): the contrast has
    // nothing to stretch between, so it leaves the full range.
  } else if (low < 255 - high) {
    a = static_cast<int>(std::trunc(static_cast<double>(low) / (255 - high) * vc + 0.5));
    w = 255 - vc;
  } else {
    a = vc;
    w = static_cast<int>(std::trunc(255 - static_cast<double>(255 - high) / low * vc + 0.5));
  }
  Transform t;
  const double k = w != a ? 255.0 / (w - a) : 1.0;
  const double v = values.brightness / kBrightnessDivisor + 1;
  t.tone = ToneTable(a, k, v);
  t.sharpening = values.sharpness / kSharpnessDivisor;
  t.saturation = (values.saturation + 100) / kSaturationDivisor;
  return t;
}

Automatic ComputeAutomatic(const YccPlanes& preview, const Cutoffs& cut,
                           const AdjustValues& manual) {
  Automatic result;
  result.values = manual;
  result.values.contrast = std::max(cut.low, 255 - cut.high);
  const int d = cut.high - cut.low;
  if (d < 1) {
    result.transform = ComputeManual(cut, result.values);
    return result;
  }
  const double k = 255.0 / d;
  const double m = d / 255.0;
  const int width = preview.width, height = preview.height;
  const size_t count = preview.y.size();
  uint64_t n = 0, j = 0, edges = 0;
  double chroma = 0;
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(row) * width + x;
      const double yv = preview.y[i];
      if (yv >= cut.low + kBandLow * m && yv < cut.low + kBandMid * m) ++n;
      else if (yv >= cut.low + kBandMid * m && yv < cut.low + kBandHigh * m) ++j;
      chroma += std::sqrt(double(preview.cr[i]) * preview.cr[i] + double(preview.cb[i]) * preview.cb[i]);
      if (row > 0 && row < height - 1 && x > 0 && x < width - 1) {
        const int lap = 4 * preview.y[i] - preview.y[i - 1] - preview.y[i + 1] -
                        preview.y[i - width] - preview.y[i + width];
        if (lap >= kEdgeThreshold) ++edges;
      }
    }
  }
  double v = j == 0 ? 1.0 : std::clamp(static_cast<double>(n) / j, 1.0, kMaxBrightnessFactor);
  result.values.brightness = static_cast<int>(std::trunc((v - 1) * kBrightnessDivisor));
  Transform& t = result.transform;
  t.tone = ToneTable(cut.low, k, v);

  double h = 1;
  if (count > 0) {
    const double mu = chroma / static_cast<double>(count);
    h = mu < 10 ? 1 + 0.06 * mu : mu < 20 ? 2.2 - 0.06 * mu : 1;
  }
  t.saturation = std::min(h * k, kMaxAutoSaturation);
  result.values.saturation = static_cast<int>(std::trunc(100 * t.saturation - 100));
  double s = count == 0 ? 0
                        : kSharpenBase - (kSharpenBase / kEdgeDivisor) * static_cast<double>(edges) /
                                             static_cast<double>(count);
  t.sharpening = std::max(s, 0.0);
  result.values.sharpness = static_cast<int>(std::trunc(100 * t.sharpening));
  return result;
}

void ApplyTransformInto(ImageRecord& dest, const YccPlanes& p, const Transform& t) {
  const int width = p.width, height = p.height;
  const uint64_t stride = ImageRowStride(width, 24);
  const size_t pad = static_cast<size_t>(stride - 3 * static_cast<uint64_t>(width));
  // Scaled chrominance and its share of each colour, per chrominance value.
  double red_of_cr[256], green_of_cr[256], green_of_cb[256], blue_of_cb[256];
  for (int v = -128; v < 128; ++v) {
    const double scaled = std::trunc(t.saturation * v);
    red_of_cr[v + 128] = 1.4026 * scaled;
    green_of_cr[v + 128] = 0.7144 * scaled;
    green_of_cb[v + 128] = 0.3444 * scaled;
    blue_of_cb[v + 128] = 1.773 * scaled;
  }
  std::vector<uint8_t> above(width), here(width), below(width);
  auto toned = [&](int row, std::vector<uint8_t>& out) {
    const uint8_t* y = p.y.data() + static_cast<size_t>(row) * width;
    for (int x = 0; x < width; ++x) out[x] = t.tone[y[x]];
  };
  const bool sharpen = t.sharpening != 0;
  toned(0, here);
  if (height > 1) toned(1, below);
  uint8_t* bits = ImageBits(dest);
  for (int row = 0; row < height; ++row) {
    const bool interior_row = row > 0 && row < height - 1;
    uint8_t* d = bits + row * stride;
    const size_t base = static_cast<size_t>(row) * width;
    for (int x = 0; x < width; ++x, d += 3) {
      double yv = here[x];
      if (sharpen && interior_row && x > 0 && x < width - 1) {
        int e = 4 * here[x] - here[x - 1] - here[x + 1] - above[x] - below[x];
        if (e >= -kDeadZone && e <= kDeadZone) e = 0;
        yv = std::clamp(std::trunc(e * t.sharpening + yv), 0.0, 255.0);
      }
      const int cr = p.cr[base + x] + 128, cb = p.cb[base + x] + 128;
      d[2] = Clamp255(yv + red_of_cr[cr] + 0.5);
      d[1] = Clamp255(yv - green_of_cr[cr] - green_of_cb[cb] + 0.5);
      d[0] = Clamp255(yv + blue_of_cb[cb] + 0.5);
    }
    if (pad) std::memcpy(d, p.padding.data() + row * pad, pad);
    if (row + 1 < height) {
      std::swap(above, here);
      std::swap(here, below);
      if (row + 2 < height) toned(row + 2, below);
    }
  }
}

Result<ImageRecord> ApplyTransform(const ImageRecord& source, const YccPlanes& planes,
                                   const Transform& t) {
  if (!Plain24(source) || ImageWidth(source) != planes.width ||
      ImageHeight(source) != planes.height)
    return Failure{err::kUnexpected};
  auto out = ImageRecord::Allocate(source.size());
  if (!out) return out;
  std::memcpy(out->data(), source.data(), ImagePixelOffset(source));
  ApplyTransformInto(*out, planes, t);
  return out;
}

Result<ImageRecord> MakePreview(const ImageRecord& r) {
  if (!Plain24(r)) return Failure{err::kUnexpected};
  const int w = ImageWidth(r), h = ImageHeight(r);
  const int f = std::max(1, static_cast<int>(std::lround(static_cast<double>(std::max(w, h)) /
                                                         kPreviewDivisor)));
  const int pw = (w + f - 1) / f, ph = (h + f - 1) / f;
  auto out = ImageRecord::Create(pw, ph, 24);
  if (!out) return out;
  const uint64_t in_stride = ImageRowStride(w, 24), out_stride = ImageRowStride(pw, 24);
  const uint8_t* src = ImageBits(r);
  uint8_t* dst = ImageBits(*out);
  for (int j = 0; j < ph; ++j)
    for (int i = 0; i < pw; ++i)
      std::memcpy(dst + j * out_stride + 3 * i, src + uint64_t(j) * f * in_stride + 3 * uint64_t(i) * f, 3);
  return out;
}

Result<PreviewAnalysis> AnalysePicture(const ImageRecord& picture) {
  auto work = Workable(picture);
  if (!work) return work.failure();
  const ImageRecord& plain = work->Or(picture);
  if (ImageBitCount(plain) != 24) return Failure{err::kUnexpected};
  auto preview = MakePreview(plain);
  if (!preview) return preview.failure();
  auto planes = ToPlanes(*preview);
  if (!planes) return planes.failure();
  PreviewAnalysis a{std::move(*preview), std::move(*planes), {}};
  a.cut = AnalysePreview(a.planes);
  return a;
}

Result<ImageRecord> AdjustWhole(const ImageRecord& picture, const Transform& t) {
  auto work = Workable(picture);
  if (!work) return work.failure();
  const ImageRecord& plain = work->Or(picture);
  auto planes = ToPlanes(plain);
  if (!planes) return planes.failure();
  return ApplyTransform(plain, *planes, t);
}

}  // namespace fq::edit
