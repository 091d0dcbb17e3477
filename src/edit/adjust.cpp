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

// n / 10000 rounded half away from zero.
// (Written without a branch: the sign of a chrominance changes from pixel to
// pixel.)
int RoundTenThousandths(int n) {
  const int magnitude = n < 0 ? -n : n;
  const int q = (magnitude + 5000) / 10000;
  return n < 0 ? -q : q;
}

// floor(n / 10000) for the back-conversion's sums, which stay above -kBias.
constexpr int kBias = 10000 * 1000;
int FloorTenThousandths(int n) { return (n + kBias) / 10000 - kBias / 10000; }

uint8_t Clamp255(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

// One row of pixels (blue, green, red) as luminance and chrominance. The
// coefficients have four (and three) decimals, so each value is a whole
// number of ten-thousandths (thousandths): the rounding is done exactly, in
// integers, as the formulas state it.
void ConvertRow(const uint8_t* s, int width, uint8_t* y, int8_t* cb, int8_t* cr) {
  for (int x = 0; x < width; ++x, s += 3) {
    const int b = s[0], g = s[1], rd = s[2];
    cb[x] = static_cast<int8_t>(RoundTenThousandths(4997 * b - 1686 * rd - 3311 * g));
    cr[x] = static_cast<int8_t>(RoundTenThousandths(4998 * rd - 4185 * g - 813 * b));
    y[x] = static_cast<uint8_t>((587 * g + 299 * rd + 114 * b + 500) / 1000);
  }
}

constexpr int kMaxLaplacian = 4 * 255;

// What the transformation does per value, computed once: the scaled
// chrominance trunc(c × C); the colours y' + 1.4026 cr' + 0.5 and so on are
// whole ten-thousandths again, so each is y' plus a whole number taken
// exactly from these tables (green's two shares summed first, as in the
// formula); the sharpening step trunc(e × s + y), clamped, is y + floor(e × s)
// for every Laplacian value e (a negative sum clamps to 0 either way).
struct PixelTables {
  int scaled[256], red_of_cr[256], blue_of_cb[256];
  int sharpened[2 * kMaxLaplacian + 1];
  const std::array<uint8_t, 256>* tone;
  bool sharpen;
  explicit PixelTables(const Transform& t) : tone(&t.tone), sharpen(t.sharpening != 0) {
    for (int v = -128; v < 128; ++v) {
      scaled[v + 128] = static_cast<int>(std::trunc(t.saturation * v));
      red_of_cr[v + 128] = FloorTenThousandths(14026 * scaled[v + 128] + 5000);
      blue_of_cb[v + 128] = FloorTenThousandths(17730 * scaled[v + 128] + 5000);
    }
    for (int e = -kMaxLaplacian; e <= kMaxLaplacian; ++e) {
      const int live = (e >= -kDeadZone && e <= kDeadZone) ? 0 : e;
      sharpened[e + kMaxLaplacian] = static_cast<int>(std::floor(live * t.sharpening));
    }
  }
};

uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

void Tone(const PixelTables& pt, const uint8_t* y, int width, uint8_t* out) {
  for (int x = 0; x < width; ++x) out[x] = (*pt.tone)[y[x]];
}

// One output row from the toned luminance of it and its neighbours and its
// chrominance. Border rows and columns are not sharpened.
void TransformRow(const PixelTables& pt, const uint8_t* above, const uint8_t* here,
                  const uint8_t* below, const int8_t* cb, const int8_t* cr, int width,
                  bool interior_row, uint8_t* d) {
  interior_row = interior_row && pt.sharpen;
  for (int x = 0; x < width; ++x, d += 3) {
    int yv = here[x];
    if (interior_row && x > 0 && x < width - 1) {
      const int e = 4 * here[x] - here[x - 1] - here[x + 1] - above[x] - below[x];
      yv = Clamp(yv + pt.sharpened[e + kMaxLaplacian]);
    }
    const int r = cr[x] + 128, b = cb[x] + 128;
    d[2] = Clamp(yv + pt.red_of_cr[r]);
    d[1] = Clamp(yv + FloorTenThousandths(5000 - 7144 * pt.scaled[r] - 3444 * pt.scaled[b]));
    d[0] = Clamp(yv + pt.blue_of_cb[b]);
  }
}

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
  const uint8_t* bits = ImageBits(r);
  for (int row = 0; row < p.height; ++row) {
    const uint8_t* s = bits + row * stride;
    const size_t at = static_cast<size_t>(row) * p.width;
    ConvertRow(s, p.width, p.y.data() + at, p.cb.data() + at, p.cr.data() + at);
    if (pad) std::memcpy(p.padding.data() + row * pad, s + 3 * p.width, pad);
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
  const PixelTables pt(t);
  const int width = p.width, height = p.height;
  const uint64_t stride = ImageRowStride(width, 24);
  const size_t pad = static_cast<size_t>(stride - 3 * static_cast<uint64_t>(width));
  std::vector<uint8_t> above(width), here(width), below(width);
  Tone(pt, p.y.data(), width, here.data());
  if (height > 1) Tone(pt, p.y.data() + width, width, below.data());
  uint8_t* bits = ImageBits(dest);
  for (int row = 0; row < height; ++row) {
    const size_t at = static_cast<size_t>(row) * width;
    uint8_t* d = bits + row * stride;
    TransformRow(pt, above.data(), here.data(), below.data(), p.cb.data() + at, p.cr.data() + at,
                 width, row > 0 && row < height - 1, d);
    if (pad) std::memcpy(d + 3 * width, p.padding.data() + row * pad, pad);
    std::swap(above, here);
    std::swap(here, below);
    if (row + 2 < height) Tone(pt, p.y.data() + at + 2 * width, width, below.data());
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
  if (!Plain24(plain)) return Failure{err::kUnexpected};
  auto out = ImageRecord::Allocate(plain.size());
  if (!out) return out;
  const int width = ImageWidth(plain), height = ImageHeight(plain);
  const uint64_t stride = ImageRowStride(width, 24);
  const size_t pad = static_cast<size_t>(stride - 3 * static_cast<uint64_t>(width));
  std::memcpy(out->data(), plain.data(), ImagePixelOffset(plain));
  // The picture is converted a row ahead of the row being written, so only
  // three rows of luminance and two of chrominance are held at a time; the
  // values are those the full planes would hold.
  const PixelTables pt(t);
  std::vector<uint8_t> y_next, above, here, below;
  std::vector<int8_t> cb_here, cr_here, cb_next, cr_next;
  try {
    for (auto* v : {&y_next, &above, &here, &below}) v->resize(width);
    for (auto* v : {&cb_here, &cr_here, &cb_next, &cr_next}) v->resize(width);
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  const uint8_t* src = ImageBits(plain);
  uint8_t* dst = ImageBits(*out);
  ConvertRow(src, width, y_next.data(), cb_here.data(), cr_here.data());
  Tone(pt, y_next.data(), width, here.data());
  if (height > 1) {
    ConvertRow(src + stride, width, y_next.data(), cb_next.data(), cr_next.data());
    Tone(pt, y_next.data(), width, below.data());
  }
  for (int row = 0; row < height; ++row) {
    uint8_t* d = dst + row * stride;
    TransformRow(pt, above.data(), here.data(), below.data(), cb_here.data(), cr_here.data(),
                 width, row > 0 && row < height - 1, d);
    if (pad) std::memcpy(d + 3 * width, src + row * stride + 3 * width, pad);
    std::swap(above, here);
    std::swap(here, below);
    std::swap(cb_here, cb_next);
    std::swap(cr_here, cr_next);
    if (row + 2 < height) {
      ConvertRow(src + (row + 2) * stride, width, y_next.data(), cb_next.data(), cr_next.data());
      Tone(pt, y_next.data(), width, below.data());
    }
  }
  return out;
}

}  // namespace fq::edit
