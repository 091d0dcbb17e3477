#include "calendar_render.h"

#include "calendar/calendar_file.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

namespace fqtool {
namespace {

using fq::cal::DrawItem;
using fq::cal::LogFont;
using fq::cal::TextSize;

// Windows-1252 characters 0x80-0x9F; the rest of the code page is Latin-1.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CodePoint(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c; }

// What a font of the platform with no height set gets.
constexpr int kDefaultEm = 12;

struct Pixels {
  uint8_t* bits;
  int width, height;
  uint64_t stride;
  // Top-down row y.
  uint8_t* Row(int y) { return bits + static_cast<uint64_t>(height - 1 - y) * stride; }
  void Blend(int x, int y, uint32_t color, int alpha) {
    if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0) return;
    uint8_t* p = Row(y) + 3 * static_cast<uint64_t>(x);
    const int rgb[3] = {int((color >> 16) & 0xFF), int((color >> 8) & 0xFF), int(color & 0xFF)};
    for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>((p[i] * (255 - alpha) + rgb[i] * alpha) / 255);
  }
  void FillRect(fq::cal::PixelRect r, uint32_t color) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, width);
    r.bottom = std::min(r.bottom, height);
    const uint8_t b = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, rr = color & 0xFF;
    for (int y = r.top; y < r.bottom; ++y) {
      uint8_t* p = Row(y) + 3 * static_cast<uint64_t>(std::max(r.left, 0));
      for (int x = r.left; x < r.right; ++x, p += 3) p[0] = b, p[1] = g, p[2] = rr;
    }
  }
};

}  // namespace

struct FontEngine::Impl {
  FT_Library library = nullptr;
  struct Loaded {
    FT_Face face = nullptr;
    bool synthetic_bold = false, synthetic_italic = false;
  };
  std::map<std::tuple<std::string, bool, bool>, Loaded> faces;
  std::map<std::tuple<std::string, bool, bool, int32_t>, FT_Size> sizes;

  ~Impl() {
    for (auto& [key, f] : faces)
      if (f.face) FT_Done_Face(f.face);  // its sizes go with it
    if (library) FT_Done_FreeType(library);
  }

  // The face fontconfig offers for a face name, weight and slant.
  Loaded* Face(const LogFont& font) {
    const bool bold = font.weight >= 600, italic = font.italic != 0;
    const std::string name = font.Face();
    auto key = std::make_tuple(name, bold, italic);
    auto it = faces.find(key);
    if (it != faces.end()) return it->second.face ? &it->second : nullptr;
    Loaded loaded;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.empty() ? "sans-serif" : name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match) {
      FcChar8* file = nullptr;
      int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
          FT_New_Face(library, reinterpret_cast<const char*>(file), index, &loaded.face) != 0)
        loaded.face = nullptr;
      loaded.synthetic_bold = bold && weight < FC_WEIGHT_DEMIBOLD;
      loaded.synthetic_italic = italic && slant == FC_SLANT_ROMAN;
      FcPatternDestroy(match);
    }
    auto& slot = faces[key] = loaded;
    return slot.face ? &slot : nullptr;
  }

  // Selects the font's size on its face: a negative height is the em, a
  // positive one the cell (ascent + descent).
  Loaded* Sized(const LogFont& font) {
    Loaded* f = Face(font);
    if (!f) return nullptr;
    auto key = std::make_tuple(font.Face(), font.weight >= 600, font.italic != 0, font.height);
    auto it = sizes.find(key);
    if (it == sizes.end()) {
      FT_Size size = nullptr;
      if (FT_New_Size(f->face, &size) != 0) return nullptr;
      FT_Activate_Size(size);
      FT_Size_RequestRec req = {};
      req.type = font.height > 0 ? FT_SIZE_REQUEST_TYPE_REAL_DIM : FT_SIZE_REQUEST_TYPE_NOMINAL;
      const int pixels = font.height == 0 ? kDefaultEm : std::abs(font.height);
      req.height = static_cast<FT_Long>(pixels) * 64;
      if (FT_Request_Size(f->face, &req) != 0) return nullptr;
      it = sizes.emplace(key, size).first;
    }
    FT_Activate_Size(it->second);
    return f;
  }

  static int Ascent(FT_Face face) { return static_cast<int>((face->size->metrics.ascender + 63) >> 6); }
  static int Descent(FT_Face face) { return static_cast<int>((-face->size->metrics.descender + 63) >> 6); }

  // Loads one character as the program's font would look (synthesised bold
  // or italic when the face has none).
  bool Load(Loaded& f, unsigned char c, bool render) {
    const FT_UInt glyph = FT_Get_Char_Index(f.face, CodePoint(c));
    if (FT_Load_Glyph(f.face, glyph, FT_LOAD_DEFAULT) != 0) return false;
    if (f.synthetic_bold) FT_GlyphSlot_Embolden(f.face->glyph);
    if (f.synthetic_italic) FT_GlyphSlot_Oblique(f.face->glyph);
    if (render && f.face->glyph->format != FT_GLYPH_FORMAT_BITMAP)
      return FT_Render_Glyph(f.face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    return true;
  }

  int Advance(Loaded& f, unsigned char c) {
    if (!Load(f, c, false)) return 0;
    return static_cast<int>((f.face->glyph->advance.x + 32) >> 6);
  }
};

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) impl_->library = nullptr;
  FcInit();
}

FontEngine::~FontEngine() = default;

bool FontEngine::ok() const { return impl_->library != nullptr; }

TextSize FontEngine::Measure(const LogFont& font, std::string_view text) {
  Impl::Loaded* f = impl_->library ? impl_->Sized(font) : nullptr;
  if (!f) return {};
  int width = 0;
  for (unsigned char c : text) width += impl_->Advance(*f, c);
  return {width, Impl::Ascent(f->face) + Impl::Descent(f->face)};
}

void FontEngine::Draw(fq::ImageRecord& page, const DrawItem& item) {
  Impl::Loaded* f = impl_->library ? impl_->Sized(item.font) : nullptr;
  if (!f) return;
  Pixels px{fq::ImageBits(page), fq::ImageWidth(page), fq::ImageHeight(page),
            fq::ImageRowStride(fq::ImageWidth(page), 24)};
  int x = item.rect.left;
  if (item.centred) x += (item.rect.width() - Measure(item.font, item.text).width) / 2;
  const int left = x;
  impl_->Sized(item.font);
  const int baseline = item.rect.top + Impl::Ascent(f->face);
  for (unsigned char c : item.text) {
    if (!impl_->Load(*f, c, true)) continue;
    const FT_GlyphSlot g = f->face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row) {
      for (unsigned col = 0; col < bm.width; ++col) {
        int alpha;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
          alpha = (bm.buffer[row * bm.pitch + col / 8] >> (7 - col % 8)) & 1 ? 255 : 0;
        else
          alpha = bm.buffer[row * bm.pitch + col];
        px.Blend(x + g->bitmap_left + static_cast<int>(col), baseline - g->bitmap_top + static_cast<int>(row),
                 item.color, alpha);
      }
    }
    x += static_cast<int>((g->advance.x + 32) >> 6);
  }
  // Underline and strike-out as the platform draws them: a bar below the
  // baseline, or through the middle of the lower-case letters.
  const int em = static_cast<int>(f->face->size->metrics.y_ppem);
  const int thickness = std::max(1, em / 14);
  if (item.font.underline) px.FillRect({left, baseline + 1, x, baseline + 1 + thickness}, item.color);
  if (item.font.strike_out)
    px.FillRect({left, baseline - em / 3, x, baseline - em / 3 + thickness}, item.color);
}

fq::Result<fq::ImageRecord> RenderItems(const std::vector<DrawItem>& items, int width, int height,
                                        const fq::ImageRecord* photo, FontEngine& fonts) {
  auto page = fq::ImageRecord::Create(width, height, 24);
  if (!page) return page.failure();
  Pixels px{fq::ImageBits(*page), width, height, fq::ImageRowStride(width, 24)};
  // The photograph in 24-bit form.
  fq::ImageRecord full;
  if (photo) {
    auto wide = fq::cal::PhotoForDrawing(*photo);
    if (!wide) return wide.failure();
    full = std::move(*wide);
  }
  for (const DrawItem& item : items) {
    switch (item.kind) {
      case DrawItem::Kind::kFill:
      case DrawItem::Kind::kLine:
        px.FillRect(item.rect, item.color);
        break;
      case DrawItem::Kind::kText:
        fonts.Draw(*page, item);
        break;
      case DrawItem::Kind::kPhoto: {
        if (full.empty() || item.rect.width() <= 0 || item.rect.height() <= 0) break;
        const int sw = fq::ImageWidth(full), sh = std::abs(fq::ImageHeight(full));
        const bool bottom_up = fq::ImageHeight(full) > 0;
        const uint64_t sstride = fq::ImageRowStride(sw, 24);
        const uint8_t* sbits = fq::ImageBits(full);
        const int dw = item.rect.width(), dh = item.rect.height();
        std::vector<int> column(static_cast<size_t>(dw));
        for (int x = 0; x < dw; ++x) column[x] = static_cast<int>(int64_t{x} * sw / dw);
        for (int y = 0; y < dh; ++y) {
          const int ty = item.rect.top + y;
          if (ty < 0 || ty >= height) continue;
          const int sy = static_cast<int>(int64_t{y} * sh / dh);
          const uint8_t* srow = sbits + static_cast<uint64_t>(bottom_up ? sh - 1 - sy : sy) * sstride;
          uint8_t* drow = px.Row(ty);
          for (int x = 0; x < dw; ++x) {
            const int tx = item.rect.left + x;
            if (tx < 0 || tx >= width) continue;
            const uint8_t* s = srow + 3 * column[x];
            uint8_t* d = drow + 3 * tx;
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
          }
        }
        break;
      }
    }
  }
  return page;
}

}  // namespace fqtool
