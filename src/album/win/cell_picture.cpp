#include "album/win/cell_picture.h"

#include <cstdlib>
#include <cstring>

#include "album/album_file.h"
#include "album/album_thumbnail.h"
#include "image/win/image_display.h"

namespace fq::win {
namespace {

constexpr size_t kResolutionAt = 24;
constexpr size_t kImageSizeAt = 20;

// The display's context and a memory context beside it, made once for all
// the cells of the program's life: an album of 100 pictures makes 100
// bitmaps in a row.
class DrawingContexts {
 public:
  DrawingContexts()
      : display_(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)),
        memory_(display_ ? CreateCompatibleDC(display_) : nullptr) {}
  ~DrawingContexts() {
    if (memory_) DeleteDC(memory_);
    if (display_) DeleteDC(display_);
  }
  DrawingContexts(const DrawingContexts&) = delete;
  DrawingContexts& operator=(const DrawingContexts&) = delete;
  HDC display() const { return display_; }
  HDC memory() const { return memory_; }

 private:
  HDC display_;
  HDC memory_;
};

DrawingContexts& Contexts() {
  static DrawingContexts contexts;
  return contexts;
}

// Draws the `record` (whole) stretched to `fitted`, centred, on a fresh
// 96 × 72 bitmap of the button face.
Result<Bitmap> DrawOnCanvas(const ImageRecord& record, HPALETTE palette, album::FittedSize fitted) {
  const DrawingContexts& dc = Contexts();
  if (!dc.memory()) return Failure{err::kCreateBitmap};
  Bitmap bitmap(CreateCompatibleBitmap(dc.display(), album::kThumbnailMaxWidth, album::kThumbnailMaxHeight));
  if (!bitmap) return Failure{err::kCreateBitmap};
  HDC memory = dc.memory();
  SelectedObject selected(memory, bitmap.get());
  SelectedPalette realised(memory, palette, true);
  RECT all{0, 0, album::kThumbnailMaxWidth, album::kThumbnailMaxHeight};
  FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
  const album::CanvasOffset at = album::CentreOnCanvas(fitted);
  SetStretchBltMode(memory, COLORONCOLOR);
  const int height = std::abs(ImageHeight(record));
  const uint8_t* bits = ImageBits(record);
  if (!bits ||
      StretchDIBits(memory, at.x, at.y, fitted.width, fitted.height, 0, 0, ImageWidth(record),
                    height, bits, reinterpret_cast<const BITMAPINFO*>(record.data()), DIB_RGB_COLORS,
                    SRCCOPY) == 0)
    return Failure{err::kCreateBitmap};
  return bitmap;
}

}  // namespace

Result<CellPicture> MakeCellPicture(const ImageRecord& source) {
  CellPicture out;
  if (album::TakesSubsamplingRoad(source)) {
    auto sub = album::SubsamplePicture(source);
    if (!sub) return sub.failure();
    const ImageRecord& shown = sub->shown.empty() ? sub->thumbnail : sub->shown;
    auto palette = CreateImagePalette(shown);
    if (!palette) return palette.failure();
    const album::FittedSize fitted{ImageWidth(shown), ImageHeight(shown)};
    auto bitmap = DrawOnCanvas(shown, palette->get(), fitted);
    if (!bitmap) return bitmap.failure();
    out.thumbnail = std::move(sub->thumbnail);
    out.palette = std::move(*palette);
    out.display = std::move(*bitmap);
    return out;
  }

  // Any other form is drawn by the system, in the 40-byte form.
  ImageRecord converted;
  const ImageRecord* drawn = &source;
  if (ImageIsCoreForm(source)) {
    auto info = CoreToInfo(source);
    if (!info) return info.failure();
    converted = std::move(*info);
    drawn = &converted;
  }
  const album::FittedSize fitted = album::FitThumbnailSize(ImageWidth(*drawn), std::abs(ImageHeight(*drawn)));
  if (fitted.width == 0) return Failure{err::kCreateBitmap};
  auto palette = CreateImagePalette(*drawn);
  if (!palette) return palette.failure();
  auto bitmap = DrawOnCanvas(*drawn, palette->get(), fitted);
  if (!bitmap) return bitmap.failure();
  auto back = ImageFromDeviceBitmap(bitmap->get(), palette->get(), 0, 24);
  if (!back) return back.failure();
  // The stored form: resolution of the source, no image size.
  if (ImageIsInfoForm(*drawn)) std::memcpy(back->data() + kResolutionAt, drawn->data() + kResolutionAt, 8);
  PutU32(back->data() + kImageSizeAt, 0);
  PutU32(back->data() + 32, 0);
  PutU32(back->data() + 36, 0);
  if (!album::IsValidThumbnail(*back)) return Failure{err::kGetBitmap};
  out.thumbnail = std::move(*back);
  out.palette = std::move(*palette);
  out.display = std::move(*bitmap);
  return out;
}

}  // namespace fq::win
