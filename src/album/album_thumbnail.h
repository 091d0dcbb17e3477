// The picture a cell shows: its thumbnail is the source fitted into 96 × 72
// by whole-number arithmetic. Palette and full-colour pictures without
// compression are subsampled here, nearest neighbour from the bottom-left;
// every other form is drawn by the window system into the 96 × 72 cell
// bitmap, which is read back (the window layer does that; CanvasThumbnail is
// the same road for programs without a window system).
#pragma once

#include <cstdint>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::album {

struct FittedSize {
  int32_t width = 0, height = 0;
  friend bool operator==(const FittedSize&, const FittedSize&) = default;
};

// w × h fitted into 96 × 72: if w × 72 > h × 96 then 96 × (h × 96 / w),
// else (w × 72 / h) × 72. A side that would come out 0 (a picture more than
// 96 times wider than high, or the reverse) is 1. Sizes below 1 give 0 × 0.
FittedSize FitThumbnailSize(int64_t w, int64_t h);

// Where the thumbnail sits in the 96 × 72 cell bitmap: centred.
struct CanvasOffset {
  int32_t x = 0, y = 0;
};
CanvasOffset CentreOnCanvas(FittedSize fitted);

// True for a source taking the subsampling road: 8 or 24 bits without
// compression, in either header form.
bool TakesSubsamplingRoad(const ImageRecord& source);

struct SubsampledPicture {
  // What the cell bitmap is drawn from: the subsampled source (8 bits with
  // the source's colours, or 24 bits).
  ImageRecord shown;
  // The stored thumbnail: `shown` at 24 bits (for 24-bit sources the same
  // pixels; `shown` is then left empty and the thumbnail is drawn).
  ImageRecord thumbnail;
};

// The subsampling road. Output row r takes source row r × h / fitted
// height, column c source column c × w / fitted width, both counted from
// the bottom-left; the resolution fields are the source's. Failures:
// kCreateBitmap (not an 8- or 24-bit uncompressed source, unusable size,
// rows missing from the block), kMemory.
Result<SubsampledPicture> SubsamplePicture(const ImageRecord& source);

// The face colour the cell bitmap is filled with where the picture does not
// cover it, for CanvasThumbnail (the window layer uses the system's).
inline constexpr Rgb kDefaultFace{192, 192, 192};

// The whole rule without a window system: the subsampling road, or, for any
// other source, the source unpacked (run-length rows, colour masks, 1- and
// 4-bit palettes), stretched by nearest neighbour to the fitted size onto a
// 96 × 72 canvas of `face` and that canvas as the thumbnail. Failures:
// those of the conversions, kCreateBitmap, kMemory.
Result<ImageRecord> MakeStoredThumbnail(const ImageRecord& source, Rgb face = kDefaultFace);

}  // namespace fq::album
