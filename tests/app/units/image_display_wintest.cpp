// Image records on the display: palettes, device bitmaps and back, stretched
// drawing (source rectangles count from the top row) and the fitted preview
// of a bitmap file, checked on the pixels drawn.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/image_record.h"
#include "image/win/image_display.h"
#include "base/file_io.h"
#include "base/win/win_file_system.h"
#include "wintest.h"

using fq::ImageRecord;
using fq::Rgb;

namespace {

// A 24-bit record whose pixel (x, y), y counted from the top row, is
// colour(x, y).
template <class F>
ImageRecord Picture24(int w, int h, F colour) {
  auto made = ImageRecord::Create(w, h, 24);
  CHECK(made.ok());
  if (!made.ok()) return {};
  ImageRecord r = std::move(made.value());
  uint64_t stride = fq::ImageRowStride(w, 24);
  uint8_t* bits = fq::ImageBits(r);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bits + (h - 1 - y) * stride;  // rows are stored bottom-up
    for (int x = 0; x < w; ++x) {
      Rgb c = colour(x, y);
      row[3 * x] = c.blue;
      row[3 * x + 1] = c.green;
      row[3 * x + 2] = c.red;
    }
  }
  return r;
}

constexpr Rgb kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0}, kWhite{255, 255, 255};
constexpr Rgb kGrey{128, 128, 128};

// A 32-bit top-down drawing surface prefilled with grey.
struct Canvas {
  int w, h;
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* px = nullptr;
  Canvas(int w_, int h_) : w(w_), h(h_) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bmp);
    px = static_cast<uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) px[i] = 0x808080;
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  Rgb At(int x, int y) {
    GdiFlush();
    uint32_t v = px[y * w + x];
    return Rgb{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
               static_cast<uint8_t>(v >> 16)};
  }
};

}  // namespace

// Printing and comparing for the checks; found by argument lookup.
namespace fq {
std::ostream& operator<<(std::ostream& o, const Rgb& c) {
  return o << "rgb(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << ")";
}
}  // namespace fq
std::ostream& operator<<(std::ostream& o, const RECT& r) {
  return o << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
bool operator==(const RECT& a, const RECT& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

WIN_TEST(ColorCapacityByDepth) {
  CHECK_EQ(fq::win::ColorCapacityFor(false, 8), 0);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 0), 0);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 1), 2);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 2), 16);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 4), 16);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 5), 256);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 8), 256);
  CHECK_EQ(fq::win::ColorCapacityFor(true, 16), 0);
  // The virtual display is a true-colour one: pictures are shown as they are.
  CHECK_EQ(fq::win::DisplayColorCapacity(nullptr), 0);
  ImageRecord pic = Picture24(4, 4, [](int, int) { return kRed; });
  auto copy = fq::win::MakeDisplayCopy(nullptr, pic);
  CHECK(copy.ok() && copy->same());
}

WIN_TEST(PaletteFromTheColourTable) {
  ImageRecord full = Picture24(2, 2, [](int, int) { return kRed; });
  auto none = fq::win::CreateImagePalette(full);
  CHECK(none.ok() && !*none);  // no colour table: no palette, no failure

  auto made = ImageRecord::Create(3, 3, 8, 17);
  CHECK(made.ok());
  ImageRecord pal8 = std::move(made.value());
  for (int i = 0; i < 17; ++i) {
    uint8_t* e = pal8.data() + fq::kInfoHeaderSize + 4 * i;
    e[0] = static_cast<uint8_t>(i);        // blue
    e[1] = static_cast<uint8_t>(2 * i);    // green
    e[2] = static_cast<uint8_t>(100 + i);  // red
  }
  auto pal = fq::win::CreateImagePalette(pal8);
  CHECK(pal.ok() && *pal);
  if (!pal.ok() || !*pal) return;
  PALETTEENTRY entries[32];
  CHECK_EQ(GetPaletteEntries(pal->get(), 0, 32, entries), UINT{17});
  CHECK_EQ(int(entries[16].peRed), 116);
  CHECK_EQ(int(entries[16].peGreen), 32);
  CHECK_EQ(int(entries[16].peBlue), 16);
  CHECK_EQ(int(entries[16].peFlags), 0);

  // A colour table that runs past the block is refused.
  std::vector<uint8_t> cut(pal8.data(), pal8.data() + fq::kInfoHeaderSize + 20);
  auto bad = fq::win::CreateImagePalette(ImageRecord::Adopt(std::move(cut)));
  CHECK(!bad.ok() && bad.message() == fq::err::kUnexpected);
}

WIN_TEST(DeviceBitmapRoundTrip) {
  auto colour = [](int x, int y) {
    return Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(60 * y),
               static_cast<uint8_t>(200 - 30 * x)};
  };
  ImageRecord pic = Picture24(5, 3, colour);
  auto bmp = fq::win::CreateDeviceBitmap(nullptr, pic, nullptr);
  CHECK(bmp.ok() && *bmp);
  if (!bmp.ok()) return;

  for (int bits : {0, 24}) {
    auto back = fq::win::ImageFromDeviceBitmap(bmp->get(), nullptr, fq::kBiRgb, bits);
    CHECK(back.ok());
    if (!back.ok()) continue;
    const ImageRecord& r = back.value();
    CHECK_EQ(fq::ImageWidth(r), 5);
    CHECK_EQ(fq::ImageHeight(r), 3);
    CHECK_EQ(int(fq::ImageBitCount(r)), 24);
    CHECK_EQ(fq::ImageCompression(r), fq::kBiRgb);
    CHECK_EQ(fq::ImageColorCount(r), 0u);
    CHECK(fq::ImageHasAllRows(r));
    // Every pixel came back as it went in.
    CHECK(std::equal(pic.data() + 40, pic.data() + 40 + 16 * 3, r.data() + 40));
  }
  for (auto [asked, depth] : {std::pair{8, 8}, std::pair{3, 4}, std::pair{1, 1}}) {
    auto back = fq::win::ImageFromDeviceBitmap(bmp->get(), nullptr, fq::kBiRgb, asked);
    CHECK(back.ok());
    if (!back.ok()) continue;
    CHECK_EQ(int(fq::ImageBitCount(back.value())), depth);
    CHECK_EQ(fq::ImagePaletteBytes(back.value()), size_t{4u << depth});
    CHECK(fq::ImageHasAllRows(back.value()));
  }
  auto none = fq::win::ImageFromDeviceBitmap(nullptr, nullptr, fq::kBiRgb, 24);
  CHECK(!none.ok() && none.message() == fq::err::kGetBitmap);

  // A record without all its rows is not handed to the system.
  std::vector<uint8_t> cut(pic.data(), pic.data() + pic.size() - 8);
  auto bad = fq::win::CreateDeviceBitmap(nullptr, ImageRecord::Adopt(std::move(cut)), nullptr);
  CHECK(!bad.ok() && bad.message() == fq::err::kCreateBitmap);
}

WIN_TEST(StretchDrawCountsSourceRowsFromTheTop) {
  // Top row red, green; bottom row blue, white.
  ImageRecord pic = Picture24(2, 2, [](int x, int y) {
    return y == 0 ? (x == 0 ? kRed : kGreen) : (x == 0 ? kBlue : kWhite);
  });
  Canvas c(8, 8);
  CHECK(fq::win::StretchDrawImage(c.dc, pic, RECT{0, 0, 4, 4}, RECT{0, 0, 2, 2}));
  CHECK_EQ(c.At(0, 0), kRed);
  CHECK_EQ(c.At(3, 0), kGreen);
  CHECK_EQ(c.At(0, 3), kBlue);
  CHECK_EQ(c.At(3, 3), kWhite);
  CHECK_EQ(c.At(5, 5), kGrey);
  // The top row alone, then the bottom-right pixel alone.
  CHECK(fq::win::StretchDrawImage(c.dc, pic, RECT{4, 0, 8, 2}, RECT{0, 0, 2, 1}));
  CHECK_EQ(c.At(4, 1), kRed);
  CHECK_EQ(c.At(7, 1), kGreen);
  CHECK(fq::win::StretchDrawImage(c.dc, pic, RECT{4, 4, 8, 8}, RECT{1, 1, 2, 2}));
  CHECK_EQ(c.At(4, 4), kWhite);
  CHECK_EQ(c.At(7, 7), kWhite);
}

WIN_TEST(FittedPlanInASquareBox) {
  // Wide picture: the width fills the box less the margin, centred.
  auto p = fq::win::PlanFittedDraw(400, 200, RECT{0, 0, 210, 210});
  CHECK_EQ(p.size(), size_t{2});
  if (p.size() == 2) {
    CHECK_EQ(p[0].source, (RECT{0, 0, 200, 200}));
    CHECK_EQ(p[1].source, (RECT{200, 0, 400, 200}));
    CHECK_EQ(p[0].dest, (RECT{5, 55, 105, 155}));
    CHECK_EQ(p[1].dest, (RECT{105, 55, 205, 155}));
  }
  // Tall picture: height (box − 10), width = width × (box − 10) / height.
  p = fq::win::PlanFittedDraw(100, 300, RECT{10, 20, 120, 130});
  CHECK(!p.empty());
  if (!p.empty()) {
    CHECK_EQ(p.front().dest.top, 25L);
    CHECK_EQ(p.back().dest.bottom, 125L);
    CHECK_EQ(p.back().dest.right - p.front().dest.left, 33L);  // 100 × 100 / 300
  }
  // Strips: at most 256 source rows each; the last takes the rest.
  p = fq::win::PlanFittedDraw(50, 513, RECT{0, 0, 110, 110});
  CHECK_EQ(p.size(), size_t{4});
  if (p.size() == 4) {
    CHECK_EQ(p[0].source, (RECT{0, 0, 25, 256}));
    CHECK_EQ(p[2].source, (RECT{0, 256, 25, 513}));
    CHECK_EQ(p[3].source, (RECT{25, 256, 50, 513}));
    CHECK_EQ(p[0].dest.bottom, p[2].dest.top);  // strips meet without a gap
  }
  CHECK_EQ(fq::win::PlanFittedDraw(10, 600, RECT{0, 0, 50, 50}).size(), size_t{6});
  CHECK_EQ(fq::win::PlanFittedDraw(1, 1, RECT{0, 0, 50, 50}).size(), size_t{1});
  CHECK(fq::win::PlanFittedDraw(10, 10, RECT{0, 0, 10, 50}).empty());
  CHECK(fq::win::PlanFittedDraw(0, 10, RECT{0, 0, 50, 50}).empty());
}

WIN_TEST(FittedPlanKeepsTheShapeInAnOblongBox) {
  auto p = fq::win::PlanFittedDraw(400, 200, RECT{0, 0, 410, 110});
  CHECK(!p.empty());
  if (p.empty()) return;
  CHECK_EQ(p.back().dest.right - p.front().dest.left, 200L);
  CHECK_EQ(p.back().dest.bottom - p.front().dest.top, 100L);
}

WIN_TEST(DrawBitmapFileFittedDrawsThePictureCentred) {
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
  auto& fs = fq::win::TheWinFileSystem();
  // Tall enough for three strips: red, green and blue thirds from the top;
  // the right half of the blue third white, to see the halves meet.
  ImageRecord pic = Picture24(300, 600, [](int x, int y) {
    if (y < 200) return kRed;
    if (y < 400) return kGreen;
    return x < 150 ? kBlue : kWhite;
  });
  auto path = fs.NewUniqueFile(fs.TempFolder(), "FQT");
  CHECK(path.has_value());
  if (!path) return;
  CHECK(fq::WriteBitmapFile(*path, pic).ok());

  Canvas c(120, 120);
  auto drawn = fq::win::DrawBitmapFileFitted(c.dc, *path, RECT{0, 0, 120, 120});
  CHECK(drawn.ok());
  // Drawn 55 × 110 at (32, 5).
  CHECK_EQ(c.At(60, 8), kRed);
  CHECK_EQ(c.At(60, 60), kGreen);
  CHECK_EQ(c.At(40, 110), kBlue);
  CHECK_EQ(c.At(80, 110), kWhite);
  CHECK_EQ(c.At(60, 2), kGrey);    // margin above
  CHECK_EQ(c.At(20, 60), kGrey);   // beside the picture
  CHECK_EQ(c.At(100, 60), kGrey);
  fs.Remove(*path);

  auto missing = fq::win::DrawBitmapFileFitted(c.dc, *path, RECT{0, 0, 120, 120});
  CHECK(!missing.ok());
  fq::io::SetFileSystem(nullptr);
}
