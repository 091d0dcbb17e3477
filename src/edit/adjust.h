// Image adjustment: brightness, contrast, saturation and sharpness of a
// full-colour picture, set by hand or derived from the picture. The work is
// done on luminance and chrominance planes: a tone table and a Laplacian
// sharpening act on luminance, saturation scales chrominance. The same
// transformation serves the small preview of the dialog and, on OK, the
// whole picture.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::edit {

// The four slider values.
struct AdjustValues {
  int brightness = 0;  // -100..100
  int contrast = 0;    // -100..100
  int saturation = 0;  // -100..100
  int sharpness = 0;   // 0..100
  // OK changes the picture only when some value is not 0.
  bool effective() const { return brightness || contrast || saturation || sharpness; }
  friend bool operator==(const AdjustValues&, const AdjustValues&) = default;
};
inline constexpr int kAdjustMin = -100;
inline constexpr int kAdjustMax = 100;
inline constexpr int kSharpnessMin = 0;

// A 24-bit picture as planes, rows bottom-up: luminance Y and the two
// chrominance values (signed bytes), and each row's padding bytes.
struct YccPlanes {
  int width = 0, height = 0;
  std::vector<uint8_t> y;
  std::vector<int8_t> cb, cr;
  std::vector<uint8_t> padding;  // height × (stride − 3 × width)
};
// Failure: kMemory; kUnexpected for a record that is not a plain 24-bit one.
Result<YccPlanes> ToPlanes(const ImageRecord& r);

// The low and high cut-offs of the luminance histogram: 2 % of the pixels
// lie below L and above H (bins 0 and 255 not counted), L at most 50, H at
// least 205. Fewer than 50 pixels give L = 0, H = 255.
struct Cutoffs {
  int low = 0, high = 255;
  friend bool operator==(const Cutoffs&, const Cutoffs&) = default;
};
Cutoffs AnalysePreview(const YccPlanes& preview);

// What is applied to every pixel.
struct Transform {
  std::array<uint8_t, 256> tone{};  // T
  double sharpening = 0;            // s
  double saturation = 1;            // c
};

// The tone table for black point a, scale k and brightness factor v.
std::array<uint8_t, 256> ToneTable(int a, double k, double v);

// The transformation the four values give with the preview's cut-offs.
Transform ComputeManual(const Cutoffs& cut, const AdjustValues& values);

// The values and transformation derived from the preview ("Automatic").
// When H − L < 1 only the contrast value is derived and the transformation
// is that of the manual values with it.
struct Automatic {
  AdjustValues values;
  Transform transform;
};
Automatic ComputeAutomatic(const YccPlanes& preview, const Cutoffs& cut,
                           const AdjustValues& manual);

// The transformed picture: a new record with the header and the row padding
// of `source` (a plain 24-bit picture, the planes made from it).
// Failure: kMemory.
Result<ImageRecord> ApplyTransform(const ImageRecord& source, const YccPlanes& planes,
                                   const Transform& t);
// The same into an existing record of the same size (the dialog's "After"
// preview).
void ApplyTransformInto(ImageRecord& dest, const YccPlanes& planes, const Transform& t);

// The reduced copy the dialog shows and analyses: every f-th pixel, with f
// the larger side over 158, rounded (at least 1). Failure: kMemory,
// kUnexpected for a record that is not a plain 24-bit one.
Result<ImageRecord> MakePreview(const ImageRecord& r);

// The road of the dialog and the command-line tool: the preview of any
// picture of 16 bits or more (made from its plain full-colour form) with its
// planes and cut-offs...
struct PreviewAnalysis {
  ImageRecord preview;
  YccPlanes planes;
  Cutoffs cut;
};
Result<PreviewAnalysis> AnalysePicture(const ImageRecord& picture);
// ...and the transformation applied to the whole picture (a new 24-bit
// record). Failures: kMemory, kCreateBitmap.
Result<ImageRecord> AdjustWhole(const ImageRecord& picture, const Transform& t);

}  // namespace fq::edit
