#include "album/album_thumbnail.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "album/album_file.h"

namespace fq::album {
namespace {

// Header fields copied from the source (pixels per metre, both ways).
constexpr size_t kResolutionAt = 24;
constexpr size_t kResolutionBytes = 8;
constexpr size_t kImageSizeAt = 20;

// A record in the 40-byte form: the source itself, or its conversion.
struct InfoForm {
  const ImageRecord* record = nullptr;
  ImageRecord converted;
};

Result<InfoForm> ToInfoForm(const ImageRecord& source) {
  InfoForm f;
  if (ImageIsCoreForm(source)) {
    auto info = CoreToInfo(source);
    if (!info) return info.failure();
    f.converted = std::move(*info);
    f.record = &f.converted;
  } else {
    f.record = &source;
  }
  return f;
}

void CopyResolution(const ImageRecord& from, ImageRecord& to) {
  if (ImageIsInfoForm(from) && from.size() >= kResolutionAt + kResolutionBytes)
    std::memcpy(to.data() + kResolutionAt, from.data() + kResolutionAt, kResolutionBytes);
}

// The stored-thumbnail header: no image size, no colour counts.
void MarkAsThumbnail(ImageRecord& r) { PutU32(r.data() + kImageSizeAt, 0); }

// The source rows picked for each output row, as stored indexes (bottom
// row 0), and the columns picked for each output column.
struct Picks {
  std::vector<int32_t> rows, columns;
};

Picks PickSamples(int32_t w, int32_t h, bool top_down, FittedSize fitted) {
  Picks p;
  p.rows.resize(static_cast<size_t>(fitted.height));
  p.columns.resize(static_cast<size_t>(fitted.width));
  for (int32_t r = 0; r < fitted.height; ++r) {
    const auto from_bottom = static_cast<int32_t>(int64_t{r} * h / fitted.height);
    p.rows[static_cast<size_t>(r)] = top_down ? h - 1 - from_bottom : from_bottom;
  }
  for (int32_t c = 0; c < fitted.width; ++c)
    p.columns[static_cast<size_t>(c)] = static_cast<int32_t>(int64_t{c} * w / fitted.width);
  return p;
}

}  // namespace

FittedSize FitThumbnailSize(int64_t w, int64_t h) {
  if (w < 1 || h < 1) return {};
  if (w * kThumbnailMaxHeight > h * kThumbnailMaxWidth)
    return {kThumbnailMaxWidth, static_cast<int32_t>(std::max<int64_t>(1, h * kThumbnailMaxWidth / w))};
  return {static_cast<int32_t>(std::max<int64_t>(1, w * kThumbnailMaxHeight / h)), kThumbnailMaxHeight};
}

CanvasOffset CentreOnCanvas(FittedSize fitted) {
  return {(kThumbnailMaxWidth - fitted.width) / 2, (kThumbnailMaxHeight - fitted.height) / 2};
}

bool TakesSubsamplingRoad(const ImageRecord& source) {
  const uint16_t bits = ImageBitCount(source);
  if (bits != 8 && bits != 24) return false;
  return ImageIsCoreForm(source) || (ImageIsInfoForm(source) && ImageCompression(source) == kBiRgb);
}

Result<SubsampledPicture> SubsamplePicture(const ImageRecord& source) {
  if (!TakesSubsamplingRoad(source)) return Failure{err::kCreateBitmap};
  auto form = ToInfoForm(source);
  if (!form) return form.failure();
  const ImageRecord& src = *form->record;
  const int32_t w = ImageWidth(src);
  const int32_t signed_h = ImageHeight(src);
  const int32_t h = signed_h < 0 ? -signed_h : signed_h;
  if (w < 1 || w > kMaxImageDimension || h < 1 || h > kMaxImageDimension || !ImageHasAllRows(src))
    return Failure{err::kCreateBitmap};
  const uint16_t bits = ImageBitCount(src);
  const FittedSize fitted = FitThumbnailSize(w, h);
  const Picks picks = PickSamples(w, h, signed_h < 0, fitted);
  const uint64_t src_stride = ImageRowStride(w, bits);
  const uint8_t* src_bits = ImageBits(src);

  SubsampledPicture out;
  auto thumb = ImageRecord::Create(fitted.width, fitted.height, 24);
  if (!thumb) return thumb.failure();
  out.thumbnail = std::move(*thumb);
  CopyResolution(src, out.thumbnail);
  MarkAsThumbnail(out.thumbnail);
  const uint64_t thumb_stride = ImageRowStride(fitted.width, 24);
  uint8_t* thumb_bits = ImageBits(out.thumbnail);

  if (bits == 24) {
    for (int32_t r = 0; r < fitted.height; ++r) {
      const uint8_t* in = src_bits + src_stride * static_cast<uint64_t>(picks.rows[static_cast<size_t>(r)]);
      uint8_t* o = thumb_bits + thumb_stride * static_cast<uint64_t>(r);
      for (int32_t c = 0; c < fitted.width; ++c, o += 3)
        std::memcpy(o, in + 3 * static_cast<size_t>(picks.columns[static_cast<size_t>(c)]), 3);
    }
    return out;
  }

  // 8 bits: the subsampled indexes keep the source's colours; the stored
  // thumbnail looks each index up (an index past the colours reads as 0).
  const uint32_t colors = std::min<uint32_t>(ImageColorCount(src), 256);
  auto shown = ImageRecord::Create(fitted.width, fitted.height, 8, colors);
  if (!shown) return shown.failure();
  out.shown = std::move(*shown);
  CopyResolution(src, out.shown);
  std::vector<Rgb> palette(colors);
  for (uint32_t i = 0; i < colors; ++i) palette[i] = ImagePaletteEntry(src, i);
  for (uint32_t i = 0; i < colors; ++i) {
    uint8_t* e = out.shown.data() + kInfoHeaderSize + 4 * i;
    e[0] = palette[i].blue;
    e[1] = palette[i].green;
    e[2] = palette[i].red;
  }
  const uint64_t shown_stride = ImageRowStride(fitted.width, 8);
  uint8_t* shown_bits = ImageBits(out.shown);
  for (int32_t r = 0; r < fitted.height; ++r) {
    const uint8_t* in = src_bits + src_stride * static_cast<uint64_t>(picks.rows[static_cast<size_t>(r)]);
    uint8_t* s = shown_bits + shown_stride * static_cast<uint64_t>(r);
    uint8_t* o = thumb_bits + thumb_stride * static_cast<uint64_t>(r);
    for (int32_t c = 0; c < fitted.width; ++c, o += 3) {
      const uint8_t index = in[picks.columns[static_cast<size_t>(c)]];
      s[c] = index;
      const Rgb colour = index < colors ? palette[index] : (colors ? palette[0] : Rgb{});
      o[0] = colour.blue;
      o[1] = colour.green;
      o[2] = colour.red;
    }
  }
  return out;
}

Result<ImageRecord> MakeStoredThumbnail(const ImageRecord& source, Rgb face) {
  if (TakesSubsamplingRoad(source)) {
    auto sub = SubsamplePicture(source);
    if (!sub) return sub.failure();
    return std::move(sub->thumbnail);
  }
  // Any other form: full colour first, then stretched onto the canvas.
  auto normal = NormalizeImage(source);
  if (!normal) return normal.failure();
  ImageRecord work;
  const ImageRecord* at = &normal->Or(source);
  if (ImageIsCoreForm(*at)) {
    auto info = CoreToInfo(*at);
    if (!info) return info.failure();
    work = std::move(*info);
    at = &work;
  }
  if (ImageBitCount(*at) < 8) {  // 8 bits are sampled as they are, then looked up
    auto full = Expand8To24(*at);
    if (!full) return full.failure();
    work = std::move(*full);
    at = &work;
  }
  if (!TakesSubsamplingRoad(*at)) return Failure{err::kCreateBitmap};
  auto sub = SubsamplePicture(*at);
  if (!sub) return sub.failure();
  const FittedSize fitted{ImageWidth(sub->thumbnail), ImageHeight(sub->thumbnail)};
  auto canvas = ImageRecord::Create(kThumbnailMaxWidth, kThumbnailMaxHeight, 24);
  if (!canvas) return canvas.failure();
  CopyResolution(*at, *canvas);
  MarkAsThumbnail(*canvas);
  const uint64_t stride = ImageRowStride(kThumbnailMaxWidth, 24);
  const uint64_t small_stride = ImageRowStride(fitted.width, 24);
  uint8_t* bits = ImageBits(*canvas);
  for (int32_t r = 0; r < kThumbnailMaxHeight; ++r)
    for (int32_t c = 0; c < kThumbnailMaxWidth; ++c) {
      uint8_t* p = bits + stride * static_cast<uint64_t>(r) + 3 * static_cast<uint64_t>(c);
      p[0] = face.blue;
      p[1] = face.green;
      p[2] = face.red;
    }
  // Offsets are from the top-left; rows are stored from the bottom.
  const CanvasOffset at_top = CentreOnCanvas(fitted);
  const int32_t bottom_row = kThumbnailMaxHeight - at_top.y - fitted.height;
  for (int32_t r = 0; r < fitted.height; ++r)
    std::memcpy(bits + stride * static_cast<uint64_t>(bottom_row + r) + 3 * static_cast<uint64_t>(at_top.x),
                ImageBits(sub->thumbnail) + small_stride * static_cast<uint64_t>(r),
                3 * static_cast<size_t>(fitted.width));
  return std::move(*canvas);
}

}  // namespace fq::album
