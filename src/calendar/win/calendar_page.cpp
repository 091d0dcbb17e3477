#include "calendar/win/calendar_page.h"

#include <cstring>

#include "base/region.h"
#include "base/win/gdi.h"
#include "calendar/calendar_file.h"

namespace fq::win {
namespace {

using GdiFont = GdiObject<HFONT>;
using GdiBrush = GdiObject<HBRUSH>;

}  // namespace

LOGFONTA ToLogFont(const cal::LogFont& f) {
  LOGFONTA lf = {};
  lf.lfHeight = f.height;
  lf.lfWidth = f.width;
  lf.lfEscapement = f.escapement;
  lf.lfOrientation = f.orientation;
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic;
  lf.lfUnderline = f.underline;
  lf.lfStrikeOut = f.strike_out;
  lf.lfCharSet = f.char_set;
  lf.lfOutPrecision = f.out_precision;
  lf.lfClipPrecision = f.clip_precision;
  lf.lfQuality = f.quality;
  lf.lfPitchAndFamily = f.pitch_and_family;
  std::memcpy(lf.lfFaceName, f.face_name.data(), sizeof lf.lfFaceName);
  lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
  return lf;
}

cal::LogFont FromLogFont(const LOGFONTA& lf) {
  cal::LogFont f;
  f.height = lf.lfHeight;
  f.width = lf.lfWidth;
  f.escapement = lf.lfEscapement;
  f.orientation = lf.lfOrientation;
  f.weight = lf.lfWeight;
  f.italic = lf.lfItalic;
  f.underline = lf.lfUnderline;
  f.strike_out = lf.lfStrikeOut;
  f.char_set = lf.lfCharSet;
  f.out_precision = lf.lfOutPrecision;
  f.clip_precision = lf.lfClipPrecision;
  f.quality = lf.lfQuality;
  f.pitch_and_family = lf.lfPitchAndFamily;
  std::memcpy(f.face_name.data(), lf.lfFaceName, f.face_name.size());
  f.face_name.back() = '\0';
  return f;
}

cal::TextSize GdiTextMeasurer::Measure(const cal::LogFont& font, std::string_view text) {
  const LOGFONTA lf = ToLogFont(font);
  GdiFont f(CreateFontIndirectA(&lf));
  SelectedObject use(dc_, f.get());
  SIZE size = {};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  if (text.empty()) {
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc_, &tm);
    size.cy = tm.tmHeight;
  }
  return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void PlayCalendarItems(HDC dc, const std::vector<cal::DrawItem>& items, const ImageRecord* photo) {
  SetBkMode(dc, TRANSPARENT);
  for (const cal::DrawItem& item : items) {
    RECT r{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
    switch (item.kind) {
      case cal::DrawItem::Kind::kFill:
      case cal::DrawItem::Kind::kLine: {
        GdiBrush brush(CreateSolidBrush(item.color));
        FillRect(dc, &r, brush.get());
        break;
      }
      case cal::DrawItem::Kind::kPhoto:
        if (photo && !photo->empty()) {
          SetStretchBltMode(dc, COLORONCOLOR);
          StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0,
                        ImageWidth(*photo), std::abs(ImageHeight(*photo)), ImageBits(*photo),
                        reinterpret_cast<const BITMAPINFO*>(photo->data()), DIB_RGB_COLORS,
                        SRCCOPY);
        }
        break;
      case cal::DrawItem::Kind::kText: {
        const LOGFONTA lf = ToLogFont(item.font);
        GdiFont f(CreateFontIndirectA(&lf));
        SelectedObject use(dc, f.get());
        SetTextColor(dc, item.color);
        DrawTextA(dc, item.text.c_str(), static_cast<int>(item.text.size()), &r,
                  DT_NOCLIP | DT_SINGLELINE | DT_NOPREFIX | DT_TOP |
                      (item.centred ? DT_CENTER : DT_LEFT));
        break;
      }
    }
  }
}

bool RenderCalendar(cal::CalendarRecord& r, HDC dc, int x0, int y0, int width,
                    bool realize_palette, const ImageRecord* photo, bool day_texts,
                    bool fill_page) {
  GdiTextMeasurer measurer(dc);
  cal::PageTarget target;
  target.x0 = x0;
  target.y0 = y0;
  target.width = width;
  target.day_texts = day_texts;
  target.fill_page = fill_page;
  target.language = cal::LanguageForRegion(region::Code());
  std::optional<cal::PhotoSize> size;
  if (photo) size = cal::PhotoSize{ImageWidth(*photo), std::abs(ImageHeight(*photo))};
  auto items = cal::LayoutCalendarPage(r, target, measurer, size);
  if (!items) return false;
  // A 24-bit photograph has no palette of its own to realise; the halftone
  // palette stands in on palette displays.
  GdiObject<HPALETTE> palette;
  HPALETTE old = nullptr;
  if (realize_palette && photo && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
    palette.reset(CreateHalftonePalette(dc));
    old = SelectPalette(dc, palette.get(), FALSE);
    RealizePalette(dc);
  }
  PlayCalendarItems(dc, *items, photo);
  if (old) SelectPalette(dc, old, FALSE);
  return true;
}

Result<std::optional<ImageRecord>> LoadPhotoForPage(const cal::CalendarRecord& r,
                                                    const std::string& own_file) {
  if (!r.has_photo()) return std::optional<ImageRecord>();
  auto loaded = cal::LoadCalendarPhoto(r, own_file);
  if (!loaded) return loaded.failure();
  auto drawable = cal::PhotoForDrawing(*loaded);
  if (!drawable) return drawable.failure();
  return std::optional<ImageRecord>(std::move(*drawable));
}

Result<ImageRecord> MakeCalendarImage(cal::CalendarRecord& r, const ImageRecord* photo,
                                      bool day_texts) {
  const int width = cal::PageWidth(r), height = cal::PageHeight(r);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  WindowDC screen(nullptr);
  Bitmap page(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDC memory(screen.get());
  if (!page || !bits || !memory) return Failure{err::kUnexpected};
  SelectedObject use(memory.get(), page.get());
  if (!RenderCalendar(r, memory.get(), 0, 0, width, true, photo, day_texts))
    return Failure{err::kUnexpected};
  GdiFlush();
  auto record = ImageRecord::Create(width, height, 24);
  if (!record) return Failure{err::kUnexpected};
  std::memcpy(ImageBits(*record), bits, ImageRowStride(width, 24) * height);
  return record;
}

Result<ImageRecord> MakeCalendarImage(cal::CalendarRecord& r, const PageRequest& request) {
  auto photo = LoadPhotoForPage(r, request.own_file);
  if (!photo) return photo.failure();
  return MakeCalendarImage(r, *photo ? &**photo : nullptr, request.day_texts);
}

}  // namespace fq::win
