#include "output/print_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/region.h"
#include "output/capture_rules.h"

namespace fq::print {
namespace {

// A4 at 300 dpi as the printer reports it.
constexpr Page kA4{2329, 3358, 300, 300};
constexpr int kM = 25;  // a plausible "M" at 300 dpi

Placed Image(Placement where, Captions c, int g, int h, bool has_date = true) {
  auto p = PlaceImage(kA4, {where, c, false, has_date, kM}, {0, 0, g, h});
  EXPECT_TRUE(p.has_value());
  return p.value_or(Placed{});
}

TEST(PrintLayout, PaperSizeFillsTheWidthAndCentres) {
  EXPECT_EQ(LineHeight(kA4), 60);
  EXPECT_EQ(LineHeight({100, 100, 240, 0}), 48);  // no vertical resolution
  const Placed p = Image(Placement::kPaperSize, {}, 2048, 1536);
  EXPECT_EQ(p.picture, (Box{5, 809, 2319, 1739}));
  EXPECT_FALSE(p.date || p.name);
  // A 3:4 picture 3348 high would be 2511 wide: it takes the width instead.
  EXPECT_EQ(Image(Placement::kPaperSize, {}, 1536, 2048).picture, (Box{5, 133, 2319, 3092}));
  // A narrower one takes the height less 10.
  EXPECT_EQ(Image(Placement::kPaperSize, {}, 1000, 2048).picture, (Box{347, 5, 1634, 3348}));
}

TEST(PrintLayout, CaptionsShrinkThePaperSizeAreaInProportion) {
  // Ph' = 3358 - (60 + 10) = 3288, Pw' = trunc(3288 / 3358 * 2329) = 2280.
  const Placed p = Image(Placement::kPaperSize, {.name = true, .date = true}, 2048, 1536);
  EXPECT_EQ(p.picture, (Box{29, 793, 2270, 1702}));
  ASSERT_TRUE(p.date && p.name);
  EXPECT_EQ(*p.date, (Box{29, 793 + 1702 + 4, 12 * kM, 60}));
  EXPECT_EQ(*p.name, (Box{29 + 12 * kM + 50, 2499, 2329 - (29 + 12 * kM + 50), 60}));
  // Either caption alone shrinks it the same way; without a known date the
  // name starts at the picture's left.
  const Placed name_only = Image(Placement::kPaperSize, {.name = true}, 2048, 1536, false);
  EXPECT_EQ(name_only.picture, p.picture);
  EXPECT_FALSE(name_only.date);
  EXPECT_EQ(name_only.name->left, 29);
  // A calendar is never captioned and keeps the whole area.
  auto cal = PlaceImage(kA4, {Placement::kPaperSize, {true, true}, true, true, kM}, {0, 0, 840, 1188});
  ASSERT_TRUE(cal);
  EXPECT_EQ(cal->picture, (Box{(2329 - 2319) / 2, (3358 - 3279) / 2, 2319, 3279}));
  EXPECT_FALSE(cal->date || cal->name);
}

TEST(PrintLayout, OriginalUpperAndLower) {
  EXPECT_EQ(Image(Placement::kOriginalSize, {}, 2048, 1536).picture, (Box{140, 911, 2048, 1536}));
  // Larger than the sheet: only the part on it is sent, from the matching
  // place of the picture.
  const Placed big = Image(Placement::kOriginalSize, {}, 4000, 3000);
  EXPECT_EQ(big.picture, (Box{0, 179, 2329, 3000}));
  EXPECT_EQ(big.source, (Box{835, 0, 2329, 3000}));
  // half = 1679: a 4:3 picture 2319 wide would be 1739 high, so it takes
  // the half height.
  EXPECT_EQ(Image(Placement::kUpper, {}, 2048, 1536).picture, (Box{45, 20, 2238, 1679}));
  EXPECT_EQ(Image(Placement::kLower, {}, 2048, 1536).picture, (Box{45, 1659, 2238, 1679}));
  EXPECT_EQ(Image(Placement::kLower, {.date = true}, 2048, 1536).picture.top, 1679 - 60 - 20);
  // A wide picture a little too high for the half with captions stays
  // within the sheet's width.
  const Placed wide = Image(Placement::kUpper, {.name = true}, 2400, 1700);
  EXPECT_EQ(wide.picture.width, 2319);
  EXPECT_EQ(wide.picture.height, 1642);
}

AlbumGrid Grid(AlbumLayout layout, Captions c = {}) {
  auto g = MakeAlbumGrid(kA4, layout, c, kM);
  EXPECT_TRUE(g.has_value());
  return g.value_or(AlbumGrid{});
}

TEST(PrintLayout, AlbumSheetCounts) {
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kTwo), 5), 3);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kFour), 5), 2);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kSixteen), 5), 1);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kFour), 0), 1);  // Print Select, nothing ticked
  // Thumbnails: cells 283 × 212, five across; rows at 212 + 20 + the lines on.
  const AlbumGrid none = Grid(AlbumLayout::kThumbnails);
  EXPECT_EQ(none.cell_w, 283);
  EXPECT_EQ(none.cell_h, 212);
  EXPECT_EQ(none.columns, 5);
  EXPECT_EQ(none.per_sheet, 5 * (3358 / 232));
  EXPECT_EQ(AlbumSheetCount(none, 100), 2);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kThumbnails, {.name = true}), 100), 2);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kThumbnails, {.date = true}), 100), 2);
  EXPECT_EQ(AlbumSheetCount(Grid(AlbumLayout::kThumbnails, {true, true}), 100), 3);
  // Without resolutions the cell is 120 × 90; with one, it serves for both.
  EXPECT_EQ(MakeAlbumGrid({2329, 3358, 0, 0}, AlbumLayout::kThumbnails, {}, kM)->cell_w, 120);
  EXPECT_EQ(MakeAlbumGrid({2329, 3358, 0, 600}, AlbumLayout::kThumbnails, {}, kM)->cell_w, 566);
}

TEST(PrintLayout, FourAndSixteenDrawFewerSourceColumns) {
  EXPECT_EQ(AlbumSourceWidth(640), 639);
  EXPECT_EQ(AlbumSourceWidth(1024), 1021);
  EXPECT_EQ(AlbumSourceWidth(2048), 2043);
  EXPECT_EQ(AlbumSourceWidth(1027), 1023);  // 1024 would be a multiple: one fewer
  EXPECT_EQ(AlbumSourceWidth(1), 1);
  const Placed p = PlaceAlbumPicture(Grid(AlbumLayout::kFour), 3, 2048, 1536, true);
  EXPECT_EQ(p.source, (Box{0, 0, 2043, 1536}));
  // Fourth cell: second column, second row.
  const AlbumGrid g = Grid(AlbumLayout::kFour);
  EXPECT_EQ(p.picture.left, g.gap_x * 2 + g.cell_w + (g.cell_w - p.picture.width) / 2);
  EXPECT_GT(p.picture.top, 20 + g.cell_h);
}

TEST(PrintLayout, DatesByInterface) {
  const album::PictureDate d{2001, 1, 5};
  EXPECT_EQ(PrintDateText(d, region::kEnglish), "JAN.5.2001");
  EXPECT_EQ(PrintDateText(d, region::kJapanese), "2001/1/5");
  EXPECT_EQ(PrintDateText(d, region::kFrench), "5 JAN.,2001");
  EXPECT_EQ(PrintDateText({2003, 12, 31}, region::kGerman), "31 DEC.,2003");
  EXPECT_EQ(PrintDateText({}, region::kEnglish), "");
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

void ExpectOnSheet(const Box& b, const Page& page, const char* what) {
  EXPECT_GE(b.left, 0) << what;
  EXPECT_GE(b.top, 0) << what;
  EXPECT_LE(b.right(), page.width) << what;
  EXPECT_LE(b.bottom(), page.height) << what;
}

std::vector<Box> BoxesOf(const Placed& p) {
  std::vector<Box> v;
  if (!p.picture.empty()) v.push_back(p.picture);
  if (p.date) v.push_back(*p.date);
  if (p.name) v.push_back(*p.name);
  return v;
}

// Random sheets from postcards to posters at 72 to 1200 dpi (sometimes
// without a resolution), random options and pictures: every rectangle lies
// on its sheet, none overlaps another on the same sheet, the source lies in
// the picture, and the sheet count holds every entry.
TEST(PrintLayout, PropertyEveryBoxOnItsSheetAndApart) {
  std::mt19937 rng(20011005);
  auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int laid_out = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    const int dpi = in(0, 9) == 0 ? 0 : in(72, 1200);
    const Page page{in(3, 12) * dpi / 2 + in(200, 800), in(4, 16) * dpi / 2 + in(200, 800),
                    dpi, in(0, 9) == 0 ? 0 : dpi};
    const Captions caps{in(0, 1) == 1, in(0, 1) == 1};
    const int m = in(1, std::max(2, dpi / 8));
    // One picture.
    const Box src{in(0, 50), in(0, 50), in(1, 6000), in(1, 6000)};
    const ImageJob job{static_cast<Placement>(in(0, 3)), caps, in(0, 4) == 0, in(0, 1) == 1, m};
    if (auto p = PlaceImage(page, job, src)) {
      ++laid_out;
      const auto boxes = BoxesOf(*p);
      for (const Box& b : boxes) ExpectOnSheet(b, page, "image");
      for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) EXPECT_FALSE(Overlap(boxes[i], boxes[j]));
      EXPECT_GE(p->source.left, src.left);
      EXPECT_LE(p->source.right(), src.right());
      if (job.calendar) {
        EXPECT_FALSE(p->date || p->name);
      }
    } else {
      ++refused;
    }
    // An album.
    const auto layout = static_cast<AlbumLayout>(in(0, 3));
    auto grid = MakeAlbumGrid(page, layout, caps, m);
    if (!grid) {
      ++refused;
      continue;
    }
    ++laid_out;
    const int n = in(0, 100);
    const int sheets = AlbumSheetCount(*grid, n);
    EXPECT_EQ(sheets, n == 0 ? 1 : (n + grid->per_sheet - 1) / grid->per_sheet);
    std::vector<std::vector<Box>> on_sheet(static_cast<size_t>(sheets));
    for (int i = 0; i < n; ++i) {
      const int sheet = SheetOf(*grid, i);
      ASSERT_LT(sheet, sheets);
      const int w = in(1, 5000), h = in(1, 5000);
      const Placed p = PlaceAlbumPicture(*grid, i, w, h, in(0, 3) != 0);
      EXPECT_LE(p.source.width, w);
      for (const Box& b : BoxesOf(p)) {
        ExpectOnSheet(b, page, "album");
        for (const Box& other : on_sheet[static_cast<size_t>(sheet)])
          ASSERT_FALSE(Overlap(b, other)) << "layout " << int(layout) << " entry " << i;
        on_sheet[static_cast<size_t>(sheet)].push_back(b);
      }
    }
  }
  // Sheets a person prints on hold every layout; only the smallest refuse.
  EXPECT_GT(laid_out, 5 * refused);
}

}  // namespace
}  // namespace fq::print

namespace fq::capture {
namespace {

TEST(CaptureRules, SecondsFieldCountdownAndArea) {
  EXPECT_EQ(SecondsFromField("5"), 5);
  EXPECT_EQ(SecondsFromField("123"), 12);  // two leading digits
  EXPECT_EQ(SecondsFromField("45"), 30);
  EXPECT_EQ(SecondsFromField("0"), 1);
  EXPECT_EQ(SecondsFromField("7s"), 7);
  EXPECT_FALSE(SecondsFromField(""));
  EXPECT_FALSE(SecondsFromField("x9"));

  EXPECT_EQ(RoadForDepth(32), Road::kDirect);
  EXPECT_EQ(RoadForDepth(16), Road::kDirect);
  EXPECT_EQ(RoadForDepth(8), Road::kPalette);
  EXPECT_EQ(RoadForDepth(4), Road::kNone);

  // A window partly off the left edge is taken from x = 0; one wholly off
  // the screen or of no size gives nothing.
  EXPECT_EQ(ClipToScreen({-40, 10, 160, 110}, 1280, 1024), (Area{0, 10, 160, 110}));
  EXPECT_EQ(ClipToScreen({1200, 1000, 1400, 1100}, 1280, 1024), (Area{1200, 1000, 1280, 1024}));
  EXPECT_FALSE(ClipToScreen({-300, 10, -100, 110}, 1280, 1024));
  EXPECT_FALSE(ClipToScreen({50, 50, 50, 90}, 1280, 1024));

  // Every start, whatever was stored, ends after 1 to 30 ticks.
  for (int stored : {-5, 0, 1, 5, 30, 31, 99}) {
    Countdown c;
    c.Start(kDisplayCapture, stored);
    int ticks = 0;
    while (!c.Tick()) ASSERT_LT(++ticks, 40) << stored;
    EXPECT_EQ(ticks + 1, std::clamp(stored, 1, 30));
  }
}

}  // namespace
}  // namespace fq::capture
