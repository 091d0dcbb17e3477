// Pictures the BMP reader accepts, in whatever form, through every edit:
// both quarter turns, a size change, a cut-out at a zoom and the adjustment
// by hand and automatic. Each must refuse or succeed cleanly, and what it
// makes must be a whole picture of the size it promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "edit/adjust.h"
#include "edit/geometry.h"
#include "image/bmp_file.h"
#include "image/image_record.h"

namespace {

// Larger pictures only measure the allocator and the clock.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 12;

void Check(const fq::Result<fq::ImageRecord>& r, int32_t width, int32_t height) {
  if (!r) return;
  if (fq::ImageWidth(*r) != width || std::abs(fq::ImageHeight(*r)) != height ||
      !fq::ImageHasAllRows(*r))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto read = fq::ReadBitmapBytes(std::span<const uint8_t>(data, size));
  if (!read) return 0;
  const fq::ImageRecord& file = read->record;
  const int32_t w = fq::ImageWidth(file), h = std::abs(fq::ImageHeight(file));
  if (int64_t{w} * h > kMaxFuzzPixels) return 0;
  // The image window keeps the normalised record.
  auto normal = fq::NormalizeImage(file);
  if (!normal) return 0;
  const fq::ImageRecord& r = normal->Or(file);
  const uint8_t a = data[size - 1], b = data[size / 2];

  Check(fq::edit::RotateQuarter(r, fq::edit::Turn::kRight), h, w);
  Check(fq::edit::RotateQuarter(r, fq::edit::Turn::kLeft), h, w);
  const int32_t nw = 32 + a % 40, nh = 32 + b % 40;
  Check(fq::edit::ResizePicture(r, nw, nh), nw, nh);

  const int zoom = 1 << (a % 5);
  const fq::edit::CutRect c = fq::edit::SnapCutout(a % (w + 3) - 1, b % (h + 3) - 1, b % (w + 2),
                                                   a % (h + 2), zoom, w, h);
  if (c.width > 0 && c.height > 0)
    Check(fq::edit::CopyRectangle(r, c.left, c.top, c.width, c.height), c.width, c.height);

  if (fq::ImageBitCount(r) >= 16) {
    auto analysis = fq::edit::AnalysePicture(r);
    if (analysis) {
      const fq::edit::AdjustValues v{a % 201 - 100, b % 201 - 100, (a ^ b) % 201 - 100, b % 101};
      Check(fq::edit::AdjustWhole(r, fq::edit::ComputeManual(analysis->cut, v)), w, h);
      const auto automatic = fq::edit::ComputeAutomatic(analysis->planes, analysis->cut, v);
      Check(fq::edit::AdjustWhole(r, automatic.transform), w, h);
    }
  }
  return 0;
}
