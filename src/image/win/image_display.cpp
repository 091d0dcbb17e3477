#include "image/win/image_display.h"

#include <algorithm>
#include <cstdint>

#include "image/bmp_file.h"
#include "image/color_reduce.h"

namespace fq::win {
namespace {

constexpr int kFittedMargin = 10;
constexpr int kMaxStripRows = 256;
constexpr uint32_t kMaxPaletteEntries = 256;
constexpr WORD kPaletteVersion = 0x300;
constexpr size_t kImageSizeField = 20;  // offset of the image-size field

const BITMAPINFO* InfoOf(const ImageRecord& r) {
  return reinterpret_cast<const BITMAPINFO*>(r.data());
}

// Whether the system's bitmap calls can be given this record without reading
// past its block.
bool Drawable(const ImageRecord& r) {
  if (ImageWidth(r) <= 0 || ImageHeight(r) <= 0 || ImageBits(r) == nullptr) return false;
  uint32_t compression = ImageCompression(r);
  if (ImageIsCoreForm(r) || compression == kBiRgb || compression == kBiBitfields) {
    return ImageHasAllRows(r);
  }
  if (compression == kBiRle8 || compression == kBiRle4) {
    uint64_t stored = GetU32(r.data() + kImageSizeField);
    return stored > 0 && ImagePixelOffset(r) + stored <= r.size();
  }
  return false;
}

}  // namespace

int ColorCapacityFor(bool palette_device, int bits_per_pixel) {
  if (!palette_device || bits_per_pixel <= 0) return 0;
  if (bits_per_pixel == 1) return 2;
  if (bits_per_pixel <= 4) return 16;
  if (bits_per_pixel <= 8) return 256;
  return 0;
}

int DisplayColorCapacity(HWND window) {
  WindowDC dc(window);
  if (!dc) return 0;
  bool palette = (GetDeviceCaps(dc.get(), RASTERCAPS) & RC_PALETTE) != 0;
  return ColorCapacityFor(palette, GetDeviceCaps(dc.get(), BITSPIXEL));
}

Result<Converted> MakeDisplayCopy(HWND window, const ImageRecord& record) {
  static const int capacity = DisplayColorCapacity(window);
  if (capacity != 256 || ImageBitCount(record) != 24) return Converted::Same();
  WaitCursor wait;
  return ReduceTo256(record);
}

Result<Palette> CreateImagePalette(const ImageRecord& record) {
  uint32_t count = ImageColorCount(record);
  if (count == 0) return Palette();
  size_t offset = ImagePixelOffset(record);
  if (count > kMaxPaletteEntries || offset == 0 || offset > record.size()) {
    return Failure{err::kUnexpected};
  }
  // LOGPALETTE is two WORDs and then the entries; its head is the size of
  // one entry.
  std::vector<PALETTEENTRY> block(count + 1);
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = kPaletteVersion;
  lp->palNumEntries = static_cast<WORD>(count);
  for (uint32_t i = 0; i < count; ++i) {
    Rgb c = ImagePaletteEntry(record, i);
    lp->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
  }
  HPALETTE pal = CreatePalette(lp);
  if (!pal) return Failure{err::kMemory};
  return Palette(pal);
}

Result<Bitmap> CreateDeviceBitmap(HWND window, const ImageRecord& record, HPALETTE palette) {
  if (!Drawable(record)) return Failure{err::kCreateBitmap};
  WindowDC dc(window);
  if (!dc) return Failure{err::kCreateBitmap};
  SelectedPalette selected(dc.get(), palette);
  const BITMAPINFO* info = InfoOf(record);
  HBITMAP bmp = CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT, ImageBits(record), info,
                               DIB_RGB_COLORS);
  if (!bmp) return Failure{err::kCreateBitmap};
  return Bitmap(bmp);
}

bool StretchDrawImage(HDC dc, const ImageRecord& record, const RECT& dest, const RECT& source) {
  if (!Drawable(record)) return false;
  int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
  // The rows are stored bottom-up, and the system counts the source
  // rectangle of such a picture from its bottom row.
  int source_bottom = ImageHeight(record) - source.bottom;
  int lines = StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left,
                            dest.bottom - dest.top, source.left, source_bottom,
                            source.right - source.left, source.bottom - source.top,
                            ImageBits(record), InfoOf(record), DIB_RGB_COLORS, SRCCOPY);
  if (old_mode) SetStretchBltMode(dc, old_mode);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

std::vector<FittedPiece> PlanFittedDraw(int width, int height, const RECT& box) {
  std::vector<FittedPiece> pieces;
  const int64_t box_w = int64_t{box.right} - box.left - kFittedMargin;
  const int64_t box_h = int64_t{box.bottom} - box.top - kFittedMargin;
  if (width <= 0 || height <= 0 || box_w <= 0 || box_h <= 0) return pieces;

  // The long side fills its side of the box; the other keeps the aspect.
  // A box that is not square would cut the long side short of the other,
  // so the picture is shrunk further instead of being distorted.
  int64_t w, h;
  if (width > height) {
    w = box_w;
    h = box_w * height / width;
    if (h > box_h) {
      h = box_h;
      w = box_h * width / height;
    }
  } else {
    h = box_h;
    w = box_h * width / height;
    if (w > box_w) {
      w = box_w;
      h = box_w * height / width;
    }
  }
  w = std::max<int64_t>(w, 1);
  h = std::max<int64_t>(h, 1);
  const int64_t x0 = box.left + (int64_t{box.right} - box.left - w) / 2;
  const int64_t y0 = box.top + (int64_t{box.bottom} - box.top - h) / 2;
  auto dest_x = [&](int64_t col) { return static_cast<LONG>(x0 + col * w / width); };
  auto dest_y = [&](int64_t row) { return static_cast<LONG>(y0 + row * h / height); };

  int strips = 1;
  while (height / strips > kMaxStripRows) ++strips;
  const int rows = height / strips;
  const int half = width / 2;
  for (int s = 0; s < strips; ++s) {
    const int top = s * rows;
    const int bottom = (s == strips - 1) ? height : top + rows;
    for (auto [left, right] : {std::pair{0, half}, std::pair{half, width}}) {
      if (left == right) continue;
      FittedPiece p;
      p.source = RECT{left, top, right, bottom};
      p.dest = RECT{dest_x(left), dest_y(top), dest_x(right), dest_y(bottom)};
      pieces.push_back(p);
    }
  }
  return pieces;
}

Status DrawBitmapFileFitted(HDC dc, const std::string& path, const RECT& box) {
  WaitCursor wait;
  auto read = ReadBitmapFile(path);
  if (!read) return read.failure();
  ImageRecord& record = read->record;
  // Run-length and colour-mask files are drawn from their plain form, which
  // the system can stretch piece by piece.
  auto normal = NormalizeImage(record);
  if (!normal) return normal.failure();
  normal->ApplyTo(record);

  auto copy = MakeDisplayCopy(WindowFromDC(dc), record);
  if (!copy) return copy.failure();
  const ImageRecord& shown = copy->Or(record);
  auto palette = CreateImagePalette(shown);
  if (!palette) return palette.failure();
  SelectedPalette selected(dc, palette->get());
  for (const FittedPiece& p : PlanFittedDraw(ImageWidth(shown), ImageHeight(shown), box)) {
    if (!StretchDrawImage(dc, shown, p.dest, p.source)) return Failure{err::kCreateBitmap};
  }
  return {};
}

Result<ImageRecord> ImageFromDeviceBitmap(HBITMAP bitmap, HPALETTE palette, uint32_t compression,
                                          int bits) {
  BITMAP bm;
  if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) {
    return Failure{err::kGetBitmap};
  }
  int depth = bits ? bits : bm.bmPlanes * bm.bmBitsPixel;
  depth = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
  const uint32_t colors = depth <= 8 ? (1u << depth) : 0;

  auto made = ImageRecord::Allocate(kInfoHeaderSize + colors * 4);
  if (!made) return Failure{err::kMemory};
  ImageRecord record = std::move(made.value());
  uint8_t* h = record.data();
  PutU32(h, kInfoHeaderSize);
  PutI32(h + 4, bm.bmWidth);
  PutI32(h + 8, bm.bmHeight);
  PutU16(h + 12, 1);
  PutU16(h + 14, static_cast<uint16_t>(depth));
  PutU32(h + 16, compression);

  WindowDC screen(nullptr);
  if (!screen) return Failure{err::kCreateBitmap};
  SelectedPalette selected(screen.get(), palette);
  auto* info = reinterpret_cast<BITMAPINFO*>(record.data());
  if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr, info,
                 DIB_RGB_COLORS)) {
    return Failure{err::kCreateBitmap};
  }
  // Records the program makes keep the default colour table size.
  PutU32(record.data() + 32, 0);
  PutU32(record.data() + 36, 0);
  uint64_t image = GetU32(record.data() + kImageSizeField);
  if (image == 0) image = ImageRowStride(bm.bmWidth, depth) * static_cast<uint64_t>(bm.bmHeight);
  const uint64_t total = kInfoHeaderSize + uint64_t{colors} * 4 + image;
  if (total > kMaxImageBlockBytes || !record.Resize(static_cast<size_t>(total))) {
    return Failure{err::kMemory};
  }
  info = reinterpret_cast<BITMAPINFO*>(record.data());
  uint8_t* pixels = record.data() + kInfoHeaderSize + colors * 4;
  int lines = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels, info,
                        DIB_RGB_COLORS);
  if (lines != bm.bmHeight) return Failure{err::kCreateBitmap};
  PutU32(record.data() + 32, 0);
  PutU32(record.data() + 36, 0);
  return record;
}

}  // namespace fq::win
