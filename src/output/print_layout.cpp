#include "output/print_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "base/region.h"

namespace fq::print {
namespace {

// a × b / c, truncated, without overflow for any picture and sheet size.
int MulDivTrunc(int64_t a, int64_t b, int64_t c) { return c == 0 ? 0 : static_cast<int>(a * b / c); }

struct Size {
  int width = 0, height = 0;
};

// Keeps the proportions of g × h inside w × h_max: a wide picture takes the
// width unless its height would exceed the box, any other the height unless
// its width would.
Size Fit(int g, int h, int w, int h_max) {
  Size s;
  if (h < g) {
    s = {w, MulDivTrunc(h, w, g)};
    if (s.height > h_max) s = {MulDivTrunc(g, h_max, h), h_max};
  } else {
    s = {MulDivTrunc(g, h_max, h), h_max};
    if (s.width > w) s = {w, MulDivTrunc(h, w, g)};
  }
  return s;
}

// The part of `b` inside [0, right) × [0, bottom); nothing when empty.
std::optional<Box> Clip(Box b, int right, int bottom) {
  const int l = std::max(b.left, 0), t = std::max(b.top, 0);
  const int r = std::min(b.right(), right), btm = std::min(b.bottom(), bottom);
  if (r <= l || btm <= t) return std::nullopt;
  return Box{l, t, r - l, btm - t};
}

// Captions under a single picture: the date from the picture's left, 12
// "M"s wide; the name from 50 pixels right of the date (or from the
// picture's left) to the sheet's right edge; both one line high, 4 pixels
// below the picture.
void CaptionUnder(Placed& p, const Page& page, int line, Captions captions, bool has_date,
                  int m_width) {
  const int t = p.picture.bottom() + 4;
  int name_left = p.picture.left;
  if (captions.date && has_date) {
    const Box date{p.picture.left, t, kDateEms * m_width, line};
    p.date = Clip(date, page.width, page.height);
    name_left = date.right() + kNameGap;
  }
  if (captions.name) p.name = Clip({name_left, t, page.width - name_left, line}, page.width, page.height);
}

}  // namespace

int LineHeight(const Page& page) { return (page.dpi_y > 0 ? page.dpi_y : page.dpi_x) / 5; }

std::optional<Placed> PlaceImage(const Page& page, const ImageJob& job, const Box& source) {
  const int g = source.width, h = source.height;
  const int pw = page.width, ph = page.height;
  if (g <= 0 || h <= 0 || pw <= 10 || ph <= 10) return std::nullopt;
  const int line = LineHeight(page);
  const bool captioned = !job.calendar && (job.captions.name || job.captions.date);
  const int hc = captioned ? line : 0;
  Placed p;
  p.source = source;
  switch (job.placement) {
    case Placement::kPaperSize:
    default: {
      int usable_h = ph, usable_w = pw;
      if (hc > 0) {
        usable_h = ph - (hc + 10);
        usable_w = MulDivTrunc(usable_h, pw, ph);
      }
      if (usable_w <= 10 || usable_h <= 10) return std::nullopt;
      const int aw = usable_w - 10, ah = usable_h - 10;
      Size s;
      if (h < g) {
        s = {aw, MulDivTrunc(h, aw, g)};
        if (s.height > usable_h) s = {MulDivTrunc(g, ah, h), ah};
      } else {
        s = {MulDivTrunc(g, ah, h), ah};
        if (s.width > usable_w) s = {aw, MulDivTrunc(h, aw, g)};
      }
      p.picture = {(pw - s.width) / 2, (usable_h - s.height) / 2, s.width, s.height};
      break;
    }
    case Placement::kOriginalSize: {
      // One picture pixel per device pixel; what falls off the sheet is not
      // sent to the printer at all.
      const Box whole{(pw - g) / 2, (ph - h) / 2, g, h};
      const auto on_sheet = Clip(whole, pw, ph);
      if (!on_sheet) return std::nullopt;
      p.picture = *on_sheet;
      p.source = {source.left + (on_sheet->left - whole.left), source.top + (on_sheet->top - whole.top),
                  on_sheet->width, on_sheet->height};
      break;
    }
    case Placement::kUpper:
    case Placement::kLower: {
      const int half = ph / 2, aw = pw - 10;
      Size s;
      if (h < g) {
        s = {aw, MulDivTrunc(h, aw, g)};
        if (s.height > half - hc) s = {MulDivTrunc(g, half, h), half};
        // Half a sheet high must not make a wide picture wider than the sheet.
        if (s.width > aw) s = {aw, MulDivTrunc(h, aw, g)};
      } else {
        s = {MulDivTrunc(g, half, h), half};
        if (s.width > aw) s = {aw, MulDivTrunc(h, aw, g)};
      }
      const int y = job.placement == Placement::kUpper ? 20 : half + (half - s.height) / 2 - hc - 20;
      p.picture = {(pw - s.width) / 2, y, s.width, s.height};
      break;
    }
  }
  if (p.picture.empty()) return std::nullopt;
  if (captioned) CaptionUnder(p, page, line, job.captions, job.has_date, job.m_width);
  return p;
}

std::optional<AlbumGrid> MakeAlbumGrid(const Page& page, AlbumLayout layout, Captions captions,
                                       int m_width) {
  AlbumGrid g;
  g.layout = layout;
  g.page = page;
  g.captions = captions;
  g.m_width = m_width;
  g.line = LineHeight(page);
  const int pw = page.width, ph = page.height;
  if (pw <= 0 || ph <= 0 || g.line < 0) return std::nullopt;
  switch (layout) {
    case AlbumLayout::kTwo: {
      const int half = ph / 2;
      g.columns = 1;
      g.per_sheet = 2;
      g.cell_w = pw - 10;
      g.cell_h = half - (g.line + 20);
      g.pitch_y = half;
      break;
    }
    case AlbumLayout::kFour:
    case AlbumLayout::kSixteen: {
      const int n = layout == AlbumLayout::kFour ? 2 : 4;
      g.columns = n;
      g.per_sheet = n * n;
      g.cell_w = (pw - n * 10) / n;
      g.cell_h = (ph - n * (g.line + 10) * 2) / n;
      g.gap_x = (pw - n * g.cell_w) / (n + 1);
      g.pitch_y = g.cell_h + (g.line + 10) * 2;
      break;
    }
    case AlbumLayout::kThumbnails:
    default: {
      int dx = page.dpi_x, dy = page.dpi_y;
      if (dx <= 0) dx = dy;
      if (dy <= 0) dy = dx;
      if (dx > 0) {
        g.cell_w = static_cast<int>(0.944 * dx);
        g.cell_h = static_cast<int>(0.708 * dy);
      } else {
        g.cell_w = 120;
        g.cell_h = 90;
      }
      if (g.cell_w <= 0 || g.cell_h <= 0) return std::nullopt;
      g.columns = std::min(5, pw / g.cell_w);
      g.gap_x = (pw - g.columns * g.cell_w) / 6;
      // One pitch both counts the rows of a sheet and places them: the
      // picture, 20 pixels and the caption lines that are on.
      g.pitch_y = g.cell_h + 20 + (captions.name ? g.line : 0) + (captions.date ? g.line : 0);
      const int rows = ph / g.pitch_y;
      g.per_sheet = g.columns * rows;
      break;
    }
  }
  if (g.cell_w <= 0 || g.cell_h <= 0 || g.columns <= 0 || g.per_sheet <= 0) return std::nullopt;
  return g;
}

int AlbumSheetCount(const AlbumGrid& grid, int pictures) {
  if (pictures <= 0) return 1;
  return (pictures + grid.per_sheet - 1) / grid.per_sheet;
}

int AlbumSourceWidth(int w) {
  int used = w - 2 * (w / 1024) - 1;
  if (used > 0 && used % 1024 == 0) --used;
  return std::max(used, 1);
}

Placed PlaceAlbumPicture(const AlbumGrid& grid, int index, int width, int height, bool has_date) {
  const Page& page = grid.page;
  const int line = grid.line, pw = page.width, ph = page.height;
  const bool date_on = grid.captions.date;
  Placed p;
  p.source = {0, 0, width, height};
  if (width <= 0 || height <= 0) return p;
  switch (grid.layout) {
    case AlbumLayout::kTwo: {
      const int half = ph / 2;
      Size s;
      if (height < width) {
        s = {pw - 10, MulDivTrunc(height, pw - 10, width)};
        if (s.height > grid.cell_h) s = {MulDivTrunc(width, grid.cell_h, height), grid.cell_h};
      } else {
        s = {MulDivTrunc(width, grid.cell_h, height), grid.cell_h};
        if (s.width > pw) s = {pw - 10, MulDivTrunc(height, pw - 10, width)};
      }
      const int y = (half - s.height - (line + 20)) / 2 + (index % 2) * half + 10;
      p.picture = {(pw - s.width) / 2, y, s.width, s.height};
      CaptionUnder(p, page, line, grid.captions, has_date, grid.m_width);
      break;
    }
    case AlbumLayout::kFour:
    case AlbumLayout::kSixteen:
    case AlbumLayout::kThumbnails:
    default: {
      const bool thumbs = grid.layout == AlbumLayout::kThumbnails;
      if (!thumbs) p.source.width = AlbumSourceWidth(width);
      const int n = grid.columns;
      const int cell_left = grid.gap_x + (index % n) * (grid.cell_w + grid.gap_x);
      // Captions keep to their own column and the sheet.
      const int column_right = std::min(cell_left + grid.cell_w + grid.gap_x, pw);
      const int row = (index % grid.per_sheet) / n;
      int top = 20 + row * grid.pitch_y;
      const Size s = Fit(p.source.width, height, grid.cell_w, grid.cell_h);
      const int pic_left = cell_left + (grid.cell_w - s.width) / 2;
      const int caption_w = std::max(grid.cell_w, kDateEms * grid.m_width);
      if (date_on) {
        if (has_date) {
          const int left = thumbs ? cell_left : (s.width >= grid.cell_w ? cell_left : pic_left);
          const int w = thumbs ? caption_w : kDateEms * grid.m_width;
          p.date = Clip({left, top, std::min(w, column_right - left), line}, pw, ph);
        }
        top += line;
      }
      p.picture = {pic_left, top + (grid.cell_h - s.height) / 2, s.width, s.height};
      if (grid.captions.name)
        p.name = Clip({cell_left, top + grid.cell_h, std::min(caption_w, column_right - cell_left), line},
                      pw, ph);
      break;
    }
  }
  return p;
}

std::string PrintDateText(const album::PictureDate& date, int region) {
  static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (date.none()) return {};
  const char* month = date.month >= 1 && date.month <= 12 ? kMonths[static_cast<size_t>(date.month - 1)] : "";
  char text[64];
  if (region == region::kJapanese) {
    std::snprintf(text, sizeof text, "%d/%d/%d", date.year, date.month, date.day);
  } else if (region == region::kFrench || region == region::kGerman) {
    std::snprintf(text, sizeof text, "%d %s.,%d", date.day, month, date.year);
  } else {
    std::snprintf(text, sizeof text, "%s.%d.%d", month, date.day, date.year);
  }
  return text;
}

}  // namespace fq::print
