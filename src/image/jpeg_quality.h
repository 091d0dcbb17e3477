// The numbers behind the program's JPEG codings: its own base quantisation
// tables and their scaling, sampling strings, meter positions, and the
// quality search of the size-targeted upload conversion. No file access.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace fq {

// Base tables in natural (row-major) order: luminance for component 0,
// chrominance for components 1 and 2.
extern const std::array<uint16_t, 64> kJpegLuminanceBase;
extern const std::array<uint16_t, 64> kJpegChrominanceBase;

// The percentage a quality (clamped to 1..100) scales the base tables by.
int JpegQualityScale(int quality);
// A base table scaled for `quality`, each entry kept within 1..255.
std::array<uint16_t, 64> ScaledQuantTable(const std::array<uint16_t, 64>& base, int quality);

struct SamplingFactors {
  int h = 1, v = 1;
  friend bool operator==(const SamplingFactors&, const SamplingFactors&) = default;
};
// "HxV,HxV,HxV" for Y, Cb, Cr. Fewer than three entries leave the rest at
// 1x1; factors run from 1 to 4. Nothing for anything else.
std::optional<std::array<SamplingFactors, 3>> ParseSampling(std::string_view text);

// Meter steps of a coding with its own meter.
inline constexpr int kJpegMeterSteps = 25;
// Position after `rows_done` of `height` rows, rounded, at most 25.
int DecodeMeterPosition(int64_t rows_done, int64_t height);
// The same for a meter shared with a following encode: half of the steps.
int DecodeHalfMeterPosition(int64_t rows_done, int64_t height);
// Position on a meter moving from `from` towards `to`.
int RangeMeterPosition(int from, int to, int64_t rows_done, int64_t height);

// Upload size classes by file size; kSizeClassUnusable for an empty or
// missing file or one above the largest class.
inline constexpr int kSizeClassUnusable = 255;
int SizeClassOfLength(uint64_t bytes);

// One step of the size-targeted quality search.
struct QualityStep {
  bool done = false;
  int quality = 0;  // the next quality to try (when not done)
  int step = 0;     // the step taken, the "previous step" of the next call
};
// `cls` size class, `quality` the quality just used, `previous_step` the
// step that led to it (0 at first), `existing` the size of the file that
// was at the destination before (0 when unknown), `size` the new size.
QualityStep NextQuality(int cls, int quality, int previous_step, uint64_t existing,
                        uint64_t size);

}  // namespace fq
