#include "calendar/calendar_layout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace fq::cal {
namespace {

using Kind = DrawItem::Kind;

// Each character half the font's height wide; the height is the text's.
class FixedMeasurer final : public TextMeasurer {
 public:
  TextSize Measure(const LogFont& font, std::string_view text) override {
    const int h = std::abs(font.height);
    int w = 0;
    for (char c : text) w += c == 'f' ? h / 4 : h / 2;
    return {w, h};
  }
};

CalendarRecord Page(uint32_t kind, uint32_t layout, const char* year, const char* month) {
  CalendarRecord r;
  r.Kind = kind;
  r.GroupI = layout;
  r.CheckImage = 1;
  SetFieldText(r.Year, year);
  SetFieldText(r.Month, month);
  r.GroupY = kTitle1;
  r.GroupYP = kTitleCentre;
  r.GroupW = kind == kMonthly ? kStyle1 : kYearLetters;
  r.GroupD = kCellTopLeft;
  r.GroupF = kFrameOn;
  r.GroupM = kStyle1;
  r.GroupMP = kMonthCentre;
  r.FontY.height = -64;
  r.FontM.height = -32;
  r.FontW.height = kind == kMonthly ? -48 : -16;
  r.FontD.height = kind == kMonthly ? -37 : -16;
  r.ScheduleFont.height = -24;
  r.ClrWsun = r.ClrDsun = kRed;
  r.ClrWsat = r.ClrDsat = kBlue;
  r.ClrWmon = r.ClrDmon = 0x00008000;
  return r;
}

std::vector<DrawItem> Lay(CalendarRecord& r, int width = 0, std::optional<PhotoSize> photo = {}) {
  FixedMeasurer m;
  PageTarget t;
  t.width = width ? width : PageWidth(r);
  auto items = LayoutCalendarPage(r, t, m, photo);
  EXPECT_TRUE(items.has_value());
  return items ? *items : std::vector<DrawItem>{};
}

std::vector<DrawItem> OfKind(const std::vector<DrawItem>& items, Kind k) {
  std::vector<DrawItem> out;
  for (const DrawItem& i : items)
    if (i.kind == k) out.push_back(i);
  return out;
}

const DrawItem* TextItem(const std::vector<DrawItem>& items, const std::string& text, int nth = 0) {
  for (const DrawItem& i : items)
    if (i.kind == Kind::kText && i.text == text && nth-- == 0) return &i;
  return nullptr;
}

TEST(CalendarDates, AgreeWithTheCivilCalendar) {
  using namespace std::chrono;
  for (int y = 1999; y <= 2099; ++y) {
    for (unsigned m = 1; m <= 12; ++m) {
      const year_month_day first{year{y}, month{m}, day{1}};
      const auto last = year_month_day_last{year{y}, month_day_last{month{m}}};
      EXPECT_EQ(FirstWeekDay(y, static_cast<int>(m)),
                static_cast<int>(weekday{sys_days{first}}.c_encoding()))
          << y << "-" << m;
      EXPECT_EQ(MonthLength(y, static_cast<int>(m)), static_cast<int>(unsigned{last.day()}));
    }
  }
  EXPECT_EQ(MonthLength(2000, 2), 29);
  EXPECT_EQ(MonthLength(2096, 2), 29);
  EXPECT_EQ(MonthLength(2099, 2), 28);
  EXPECT_EQ(FirstWeekDay(2001, 1), 1);  // Monday
  EXPECT_EQ(FirstWeekDay(2000, 1), 6);  // Saturday
  EXPECT_TRUE(NeedsSixRows(2003, 8));   // Friday, 31 days
  EXPECT_TRUE(NeedsSixRows(2003, 3));   // Saturday, 31 days
  // A 30-day month starting on a Friday: November 2002.
  ASSERT_EQ(FirstWeekDay(2002, 11), 5);
  EXPECT_FALSE(NeedsSixRows(2002, 11));
}

TEST(CalendarLayout, MonthlyRowsAndGridLines) {
  for (uint32_t layout : {kPortrait, kLandscape}) {
    // August 2003 needs six rows, September 2003 five.
    CalendarRecord six = Page(kMonthly, layout, "2003", "8");
    CalendarRecord five = Page(kMonthly, layout, "2003", "9");
    auto items6 = Lay(six), items5 = Lay(five);
    EXPECT_EQ(six.SixRows, 1u);
    EXPECT_EQ(five.SixRows, 0u);
    auto lines6 = OfKind(items6, Kind::kLine), lines5 = OfKind(items5, Kind::kLine);
    ASSERT_EQ(lines6.size(), 8u + 8u);
    ASSERT_EQ(lines5.size(), 8u + 7u);
    const bool p = layout == kPortrait;
    // Vertical lines at the column boundaries, the outer ones 1 mm thick.
    for (int i = 0; i < 8; ++i) {
      const DrawItem& v = lines6[i];
      const int x = p ? 70 + 100 * i : 174 + 120 * i;
      const int pen = i == 0 || i == 7 ? 4 : 2;
      EXPECT_EQ(v.pen, pen);
      EXPECT_EQ(v.rect, (PixelRect{x - pen / 2, (p ? 620 : 144) - pen / 2, x - pen / 2 + pen,
                                   (p ? 1136 : 780) + pen / 2}));
    }
    // Horizontal lines: grid top, heading bottom, week rows, all ending at
    // the grid's bottom (284 / 195 mm).
    auto ys = [](const std::vector<DrawItem>& lines) {
      std::vector<int> out;
      for (size_t i = 8; i < lines.size(); ++i) out.push_back(lines[i].rect.top + lines[i].pen / 2);
      return out;
    };
    if (p) {
      EXPECT_EQ(ys(lines6), (std::vector<int>{620, 680, 756, 832, 908, 984, 1060, 1136}));
      EXPECT_EQ(ys(lines5), (std::vector<int>{620, 686, 776, 866, 956, 1046, 1136}));
    } else {
      EXPECT_EQ(ys(lines6), (std::vector<int>{144, 228, 320, 412, 504, 596, 688, 780}));
      EXPECT_EQ(ys(lines5), (std::vector<int>{144, 240, 348, 456, 564, 672, 780}));
    }
    std::vector<int> pens;
    for (size_t i = 8; i < lines6.size(); ++i) pens.push_back(lines6[i].pen);
    EXPECT_EQ(pens, (std::vector<int>{4, 4, 2, 2, 2, 2, 2, 4}));

    // Grid lines off: no lines, the same texts in the same places.
    CalendarRecord off = six;
    off.GroupF = kFrameOff;
    auto items_off = Lay(off);
    EXPECT_TRUE(OfKind(items_off, Kind::kLine).empty());
    auto texts_on = OfKind(items6, Kind::kText), texts_off = OfKind(items_off, Kind::kText);
    ASSERT_EQ(texts_on.size(), texts_off.size());
    for (size_t i = 0; i < texts_on.size(); ++i) {
      EXPECT_EQ(texts_on[i].rect, texts_off[i].rect);
      EXPECT_EQ(texts_on[i].color, texts_off[i].color);
    }
  }
}

TEST(CalendarLayout, MonthlyDaysHeadingsAndTexts) {
  // March 2003 starts on a Saturday: day 1 in the Saturday column of row 0,
  // day 2 in the Sunday column of row 1, day 31 in row 5.
  CalendarRecord r = Page(kMonthly, kPortrait, "2003", "3");
  SetDayText(r, 15, "Meeting");
  r.SchedulePos = 1339;
  r.GroupD = 1335;
  auto items = Lay(r);
  const DrawItem* d1 = TextItem(items, "1");
  const DrawItem* d2 = TextItem(items, "2");
  const DrawItem* d31 = TextItem(items, "31");
  ASSERT_TRUE(d1 && d2 && d31);
  EXPECT_EQ(d1->color, kBlue);
  EXPECT_EQ(d2->color, kRed);
  EXPECT_EQ(d31->color, 0x00008000u);
  // A one-digit day is as wide as two digits and centred in that width.
  EXPECT_TRUE(d1->centred);
  EXPECT_FALSE(d31->centred);
  EXPECT_EQ(d1->rect.width(), d31->rect.width());
  // Centre of its box: box left = column left + 1 mm, 23 mm wide, row 19 mm.
  const int w = 2 * (37 / 2), h = 37;
  EXPECT_EQ(d1->rect.left, (70 + 600 + 4 + 70 + 600 + 4 + 92 - w) / 2);
  EXPECT_EQ(d1->rect.top, (680 + 680 + 76 - h) / 2);
  EXPECT_EQ(d31->rect.top, (680 + 5 * 76 + 680 + 5 * 76 + 76 - h) / 2);
  // The day text sits at the bottom right of its box (row 2, Saturday col).
  const DrawItem* t = TextItem(items, "Meeting");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->rect.right, 70 + 600 + 4 + 92);
  EXPECT_EQ(t->rect.bottom, 680 + 2 * 76 + 4 + 68);
  // Headings: letters, coloured by column, centred in the heading row.
  const DrawItem* sun = TextItem(items, "S", 0);
  const DrawItem* sat = TextItem(items, "S", 1);
  ASSERT_TRUE(sun && sat);
  EXPECT_EQ(sun->color, kRed);
  EXPECT_EQ(sat->color, kBlue);
  EXPECT_EQ(sun->rect.left, 70 + (100 - 24) / 2);
  EXPECT_EQ(sun->rect.top, (620 + 620 + 60 - 48) / 2);
  EXPECT_EQ(sun->rect.bottom, 620 + 90);

  // Drawing order: title, day numbers, headings, grid, day texts.
  std::vector<Kind> order;
  for (const DrawItem& i : items)
    if (order.empty() || order.back() != i.kind) order.push_back(i.kind);
  EXPECT_EQ(order, (std::vector<Kind>{Kind::kFill, Kind::kText, Kind::kLine, Kind::kText}));
  EXPECT_EQ(items[1].text, "March, 2003");
  EXPECT_EQ(items.back().text, "Meeting");
  // The preview leaves the day texts out.
  FixedMeasurer m;
  PageTarget preview;
  preview.width = 840;
  preview.day_texts = false;
  auto without = LayoutCalendarPage(r, preview, m, std::nullopt);
  ASSERT_TRUE(without);
  EXPECT_EQ(TextItem(*without, "Meeting"), nullptr);
}

TEST(CalendarLayout, TitlesAlignedInTheirBand) {
  for (uint32_t kind : {kMonthly, kYearly}) {
    for (uint32_t layout : {kPortrait, kLandscape}) {
      CalendarRecord r = Page(kind, layout, "2001", "2");
      r.GroupYP = kTitleRight;
      auto items = Lay(r);
      const DrawItem& title = items[1];
      EXPECT_EQ(title.rect.right, layout == kPortrait ? 770 : 1014) << kind;
      EXPECT_EQ(title.text, kind == kMonthly ? "February, 2001" : "2001");
      r.GroupYP = kTitleLeft;
      EXPECT_EQ(Lay(r)[1].rect.left, layout == kPortrait ? 70 : 174);
    }
  }
  CalendarRecord y = Page(kYearly, kPortrait, "2001", "");
  y.GroupY = kTitle2;
  EXPECT_EQ(TitleText(y, Language::kEnglish), "'01");
  SetFieldText(y.Year, "1999");
  EXPECT_EQ(TitleText(y, Language::kEnglish), "'99");
  EXPECT_EQ(TitleText(y, Language::kJapanese), "1999");
  y.GroupY = kTitle4;
  EXPECT_EQ(TitleText(y, Language::kEnglish), "");
  CalendarRecord mo = Page(kMonthly, kPortrait, "2000", "12");
  EXPECT_EQ(TitleText(mo, Language::kJapanese), "2000Year:12Month:");
  mo.GroupY = kTitle3;
  EXPECT_EQ(TitleText(mo, Language::kEnglish), "12Month:");
}

TEST(CalendarLayout, YearlyMonthsFlowOn) {
  CalendarRecord r = Page(kYearly, kPortrait, "2001", "");
  auto items = Lay(r);
  EXPECT_TRUE(OfKind(items, Kind::kLine).empty());
  // January 2001 starts on a Monday: day 1 in column 1 of block 0; February
  // starts on the Thursday after 31 January (a Wednesday).
  const DrawItem* jan1 = TextItem(items, "1", 0);
  const DrawItem* feb1 = TextItem(items, "1", 1);
  ASSERT_TRUE(jan1 && feb1);
  const int col = 22, w = 2 * (16 / 2);
  EXPECT_EQ(jan1->rect.left, 70 + col * 1 + (col - w) / 2);
  EXPECT_EQ(feb1->rect.left, 70 + 182 + col * 4 + (col - w) / 2);
  EXPECT_EQ(jan1->rect.top, (620 + 52 + 620 + 52 + 20 - 16) / 2);
  // Block rows are one pitch apart whatever the months' rows.
  const DrawItem* jan = TextItem(items, "January");
  const DrawItem* sep = TextItem(items, "September");
  ASSERT_TRUE(jan && sep);
  EXPECT_EQ(sep->rect.top - jan->rect.top, 2 * 172);
  EXPECT_EQ(OfKind(items, Kind::kText).size(), 1u + 12u + 12u * 7u + 365u);
}

TEST(CalendarLayout, PhotographBoxes) {
  CalendarRecord r = Page(kMonthly, kPortrait, "2000", "2");
  r.CheckImage = 0;
  FixedMeasurer m;
  PageTarget t;
  t.width = 840;
  EXPECT_FALSE(LayoutCalendarPage(r, t, m, std::nullopt));  // the photograph is needed
  auto photo = [&](int w, int h) { return OfKind(Lay(r, 0, PhotoSize{w, h}), Kind::kPhoto).at(0).rect; };
  EXPECT_EQ(photo(2048, 1536), (PixelRect{100, 52, 740, 532}));  // exactly 4:3 fills the box
  EXPECT_EQ(photo(1000, 1000), (PixelRect{100 + 80, 52, 100 + 80 + 480, 532}));
  EXPECT_EQ(photo(2000, 1000), (PixelRect{100, 52 + 80, 740, 52 + 80 + 320}));
  r.GroupI = kLandscape;
  EXPECT_EQ(photo(210, 159), (PixelRect{174, 144, 1014, 780}));
  // The photograph comes before everything but the white page.
  auto items = Lay(r, 0, PhotoSize{640, 480});
  EXPECT_EQ(items[0].kind, Kind::kFill);
  EXPECT_EQ(items[0].rect, (PixelRect{0, 0, 1188, 840}));
  EXPECT_EQ(items[1].kind, Kind::kPhoto);
}

TEST(CalendarLayout, PrinterWidthScalesThePage) {
  for (uint32_t kind : {kMonthly, kYearly}) {
    CalendarRecord r = Page(kind, kPortrait, "2003", "8");
    r.CheckImage = 0;
    auto page = Lay(r, 0, PhotoSize{640, 480});
    const int w = 2329;
    auto printer = Lay(r, w, PhotoSize{640, 480});
    ASSERT_EQ(page.size(), printer.size());
    const double k = double(w) / 840;
    for (size_t i = 0; i < page.size(); ++i) {
      ASSERT_EQ(page[i].kind, printer[i].kind);
      if (page[i].kind == Kind::kText) {
        EXPECT_EQ(page[i].text, printer[i].text);
        // The page keeps the stored height; the printer scales it by w / W.
        EXPECT_EQ(printer[i].font.height, static_cast<int>(w * int64_t{page[i].font.height} / 840));
        continue;
      }
      // Boxes, lines and the photograph land within a few pixels.
      EXPECT_NEAR(printer[i].rect.left, page[i].rect.left * k, 4) << i;
      EXPECT_NEAR(printer[i].rect.top, page[i].rect.top * k, 4) << i;
      EXPECT_NEAR(printer[i].rect.right, page[i].rect.right * k, 4) << i;
      EXPECT_NEAR(printer[i].rect.bottom, page[i].rect.bottom * k, 4) << i;
    }
  }
}

TEST(CalendarLayout, ItalicTextIsWidened) {
  FixedMeasurer m;
  LogFont f;
  f.height = -40;
  EXPECT_EQ(MeasureText(m, f, "Sat").width, 60);
  f.italic = 1;
  // Last character 20 wide, "f" 10 wide: 1.5 × 10 = 15 < 20, so + 0.4 × 20.
  EXPECT_EQ(MeasureText(m, f, "Sat").width, 60 + 8);
  EXPECT_EQ(MeasureText(m, f, "of").width, 30 + 6);  // 1.5 × 10 = 15 > 10
  // A Shift-JIS pair at the end: + 0.2 × the pair's width.
  EXPECT_EQ(MeasureText(m, f, "a\x82\xa0").width, 60 + 8);
  EXPECT_EQ(MeasureText(m, f, "").width, 0);
}

}  // namespace
}  // namespace fq::cal
