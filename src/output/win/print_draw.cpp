#include "output/win/print_draw.h"

#include "album/win/picture_date.h"
#include "base/region.h"
#include "edit/geometry.h"

namespace fq::win {

PrinterPage MeasurePrinterPage(HDC dc) {
  PrinterPage p;
  p.page = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, LOGPIXELSX),
            GetDeviceCaps(dc, LOGPIXELSY)};
  SIZE m{};
  if (GetTextExtentPoint32A(dc, "M", 1, &m)) p.m_width = m.cx;
  return p;
}

bool DrawPicture(HDC dc, const ImageRecord& picture, const print::Box& source, const print::Box& dest) {
  if (dest.empty() || source.empty()) return false;
  const bool whole = source.left == 0 && source.top == 0 && source.width == ImageWidth(picture) &&
                     source.height == ImageHeight(picture);
  const bool reduce = int64_t{dest.width} * dest.height < int64_t{source.width} * source.height;
  ImageRecord part, reduced;
  const ImageRecord* use = &picture;
  if (!whole) {
    auto cut = edit::CopyRectangle(picture, source.left, source.top, source.width, source.height);
    if (!cut) return false;
    part = std::move(*cut);
    use = &part;
  }
  if (reduce) {
    auto shrunk = ResampleBilinear(*use, dest.width, dest.height);
    if (!shrunk) return false;
    reduced = std::move(*shrunk);
    use = &reduced;
  }
  const uint8_t* bits = ImageBits(*use);
  if (!bits) return false;
  SetStretchBltMode(dc, COLORONCOLOR);
  const int rows = StretchDIBits(dc, dest.left, dest.top, dest.width, dest.height, 0, 0,
                                 ImageWidth(*use), ImageHeight(*use), bits,
                                 reinterpret_cast<const BITMAPINFO*>(use->data()), DIB_RGB_COLORS,
                                 SRCCOPY);
  return rows != 0 && rows != static_cast<int>(GDI_ERROR);
}

void DrawCaption(HDC dc, const print::Box& box, const std::string& text) {
  if (text.empty()) return;
  RECT r{box.left, box.top, box.right(), box.bottom()};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

std::string PictureDateText(const std::string& path) {
  return print::PrintDateText(album::PictureDateOf(path, FileCreationDate(path)), region::Code());
}

}  // namespace fq::win
