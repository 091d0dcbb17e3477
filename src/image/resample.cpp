// Bilinear size change of a picture. Used by the size change of the editor,
// the Exif thumbnail and the camera thumbnails, which all expect exactly
// the same pixels from the same input, so the arithmetic is fixed: real
// division of the output position by the scale, truncation of the
// interpolated value.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <cstring>
#include <new>
#include <vector>

#include "image/image_record.h"
#include "image/record_layout.h"

namespace fq {

namespace {

// Where one output column or row samples the source.
struct Sample {
  size_t near = 0;   // the lower neighbour
  size_t far = 0;    // the upper neighbour, or `near` at the last one
  double frac = 0;   // weight of `far`
  double rest = 0;   // 1 − frac, the weight of `near`
};

std::vector<Sample> Samples(int32_t out_size, int32_t in_size) {
  std::vector<Sample> samples(static_cast<size_t>(out_size));
  const double scale = static_cast<double>(out_size) / static_cast<double>(in_size);
  for (int32_t i = 0; i < out_size; ++i) {
    const double s = static_cast<double>(i) / scale;
    // s < in_size always holds in exact arithmetic; the clamp guards rounding.
    const int64_t near = std::min<int64_t>(static_cast<int64_t>(s), in_size - 1);
    Sample& sm = samples[static_cast<size_t>(i)];
    sm.near = static_cast<size_t>(near);
    sm.far = near + 1 < in_size ? sm.near + 1 : sm.near;
    sm.frac = s - static_cast<double>(near);
    sm.rest = 1 - sm.frac;
  }
  return samples;
}

// An uncompressed 24-bit bottom-up record holding every row, made from the
// source when it is not one already.
Result<ImageRecord> FullColorSource(const ImageRecord& source) {
  ImageRecord work;
  const ImageRecord* current = &source;
  auto adopt = [&](ImageRecord next) {
    work = std::move(next);
    current = &work;
  };
  if (ImageIsCoreForm(*current)) {
    auto info = CoreToInfo(*current);
    if (!info) return info;
    adopt(std::move(info).value());
  }
  auto normal = NormalizeImage(*current);
  if (!normal) return normal.failure();
  if (!normal->same()) adopt(std::move(normal->record()));
  const uint16_t bits = ImageBitCount(*current);
  if (bits == 1 || bits == 4 || bits == 8) {
    auto expanded = Expand8To24(*current);
    if (!expanded) return expanded;
    adopt(std::move(expanded).value());
  }
  if (ImageBitCount(*current) != 24 || ImageCompression(*current) != kBiRgb ||
      !layout::ValidDimensions(ImageWidth(*current), ImageHeight(*current))) {
    return Failure{err::kCreateBitmap};
  }
  if (current == &source || !ImageHasAllRows(*current)) {
    // A private copy, completed with zero rows when the block is short.
    auto copy = current->Clone();
    if (!copy) return copy;
    const uint64_t need = ImagePixelOffset(*copy) +
                          ImageRowStride(ImageWidth(*copy), 24) * static_cast<uint64_t>(ImageHeight(*copy));
    if (copy->size() < need) {
      if (Status s = copy->Resize(static_cast<size_t>(need)); !s) return Failure{s.message()};
    }
    return copy;
  }
  return Result<ImageRecord>(std::move(work));
}

}  // namespace

Result<ImageRecord> ResampleBilinear(const ImageRecord& source, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return Failure{err::kCreateBitmap};
  if (width > kMaxImageDimension || height > kMaxImageDimension) return Failure{err::kMemory};

  // Only a record that needs converting or completing is copied.
  const ImageRecord* src = &source;
  ImageRecord converted;
  const bool usable = ImageIsInfoForm(source) && ImageBitCount(source) == 24 &&
                      ImageCompression(source) == kBiRgb &&
                      layout::ValidDimensions(ImageWidth(source), ImageHeight(source)) &&
                      ImageHasAllRows(source);
  if (!usable) {
    auto full = FullColorSource(source);
    if (!full) return full;
    converted = std::move(full).value();
    src = &converted;
  }
  const int32_t in_w = ImageWidth(*src);
  const int32_t in_h = ImageHeight(*src);
  const uint8_t* in_bits = ImageBits(*src);
  const uint64_t in_stride = ImageRowStride(in_w, 24);

  // The block keeps the size it has always had: 4 spare bytes per row.
  const uint64_t block = kInfoHeaderSize + static_cast<uint64_t>(height) * (static_cast<uint64_t>(width) * 3 + 4);
  auto out = ImageRecord::Allocate(static_cast<size_t>(block));
  if (!out) return out;
  const uint64_t out_stride = ImageRowStride(width, 24);
  layout::InfoHeader h;
  h.width = width;
  h.height = height;
  h.bit_count = 24;
  h.image_size = static_cast<uint32_t>(out_stride * static_cast<uint64_t>(height));
  layout::WriteInfoHeader(out->data(), h);

  // The horizontal blend of a source row depends on that row alone; it is
  // kept for the two rows in use, so each source row is blended once however
  // many output rows sample it. The values are the very products and sums of
  // the per-pixel formula, so the result is unchanged to the last bit.
  std::vector<Sample> columns;
  std::vector<Sample> rows;
  std::vector<double> blend_a, blend_b;
  try {
    columns = Samples(width, in_w);
    rows = Samples(height, in_h);
    blend_a.resize(static_cast<size_t>(width) * 3);
    blend_b.resize(static_cast<size_t>(width) * 3);
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  auto blend_row = [&](size_t source_row, double* dst) {
    const uint8_t* row = in_bits + source_row * in_stride;
    for (const Sample& cx : columns) {
      const uint8_t* left = row + 3 * cx.near;
      const uint8_t* right = row + 3 * cx.far;
      for (int c = 0; c < 3; ++c) *dst++ = cx.rest * left[c] + cx.frac * right[c];
    }
  };
  double* lower = blend_a.data();
  double* upper = blend_b.data();
  size_t lower_row = SIZE_MAX, upper_row = SIZE_MAX;

  uint8_t* out_bits = out->data() + kInfoHeaderSize;
  const size_t channels = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height; ++y) {
    const Sample& ry = rows[static_cast<size_t>(y)];
    if (ry.near != lower_row) {
      if (ry.near == upper_row) {
        std::swap(lower, upper);
        std::swap(lower_row, upper_row);
      } else {
        blend_row(ry.near, lower);
        lower_row = ry.near;
      }
    }
    if (ry.far != upper_row) {
      blend_row(ry.far, upper);
      upper_row = ry.far;
    }
    const double fy = ry.frac;
    const double gy = ry.rest;
    uint8_t* dst = out_bits + static_cast<uint64_t>(y) * out_stride;
    for (size_t i = 0; i < channels; ++i) {
      const double v = fy * upper[i] + gy * lower[i];
      // The weights sum to 1, so v stays within the channel's range up to
      // rounding above 255, which truncation absorbs.
      dst[i] = static_cast<uint8_t>(std::min(static_cast<int>(v), 255));
    }
  }
  return out;
}

}  // namespace fq
