#include "calendar/calendar_layout.h"

#include <algorithm>
#include <cstdio>

namespace fq::cal {
namespace {

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",
                                       "May",     "June",     "July",      "August",
                                       "September", "October", "November", "December"};
constexpr const char* kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kDayLetters[] = {"S", "M", "T", "W", "T", "F", "S"};
constexpr const char* kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kYearSuffix = "Year:";
constexpr const char* kMonthSuffix = "Month:";

constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
constexpr int kYearStart[4] = {0, 366, 731, 1096};

// Millimetre figures below are in half millimetres, so that every figure of
// the page is a whole number; a product is truncated on its own.
struct Scale {
  int64_t x0, y0, w, page_w;
  // A length of `half` half-millimetres: trunc(k × s) with s = 4w / W.
  int L(int64_t half) const { return static_cast<int>(2 * half * w / page_w); }
  int X(int64_t half) const { return static_cast<int>(x0 + L(half)); }
  int Y(int64_t half) const { return static_cast<int>(y0 + L(half)); }
  LogFont Font(const LogFont& f) const {
    LogFont scaled = f;
    scaled.height = static_cast<int32_t>(w * f.height / page_w);
    return scaled;
  }
};

// The four geometries, in half millimetres.
struct MonthlyGeometry {
  int grid_left, column, box, grid_top;
  int heading5, first_row5, row5;
  int heading6, first_row6, row6;
};
// Grid 17.5-192.5 × 155-284 mm (portrait), 43.5-253.5 × 36-195 mm (landscape).
constexpr MonthlyGeometry kMonthlyPortrait{35, 50, 46, 310, 33, 343, 45, 30, 340, 38};
constexpr MonthlyGeometry kMonthlyLandscape{87, 60, 56, 72, 48, 120, 54, 42, 114, 46};

struct YearlyGeometry {
  int left, top, pitch_x, block_w, pitch_y, band, column, letters, row;
};
constexpr YearlyGeometry kYearlyPortrait{35, 310, 91, 77, 86, 16, 11, 10, 10};
constexpr YearlyGeometry kYearlyLandscape{88, 72, 109, 91, 106, 22, 13, 12, 12};

struct Box {
  int left, top, width, height;
};
constexpr Box kTitlePortrait{35, 268, 350, 40};
constexpr Box kTitleLandscape{87, 30, 420, 40};
constexpr Box kPhotoPortrait{50, 26, 320, 240};
constexpr Box kPhotoLandscape{87, 72, 420, 318};

bool IsShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

uint32_t ColumnColor(int week_day, uint32_t weekday, uint32_t saturday, uint32_t sunday) {
  return week_day == 0 ? sunday : week_day == 6 ? saturday : weekday;
}

class Page {
 public:
  Page(const Scale& s, TextMeasurer& m) : s_(s), m_(m) {}

  std::vector<DrawItem>& items() { return items_; }

  void Add(DrawItem::Kind kind, const PixelRect& r, uint32_t color = 0, int pen = 0) {
    DrawItem item;
    item.kind = kind;
    item.rect = r;
    item.color = color;
    item.pen = pen;
    items_.push_back(std::move(item));
  }

  void Fill(const PixelRect& r, uint32_t color) { Add(DrawItem::Kind::kFill, r, color); }

  // A text at (left, top) as wide as measured.
  void Text(std::string text, const LogFont& font, uint32_t color, int left, int top,
            TextSize size, int bottom, bool centred = false) {
    if (text.empty()) return;
    items_.push_back({.kind = DrawItem::Kind::kText,
                      .rect = {left, top, left + size.width, bottom},
                      .color = color,
                      .text = std::move(text),
                      .font = font,
                      .centred = centred});
  }

  // Vertical centring in a band: (t + (t + h) - text height) / 2.
  static int Centre(int top, int height, int text_height) {
    return (top + (top + height) - text_height) / 2;
  }

  // A day number: a one-digit day is measured as its digit twice and drawn
  // centred in that width.
  TextSize DayNumber(int day, const LogFont& font, std::string& text, bool& centred) {
    text = std::to_string(day);
    centred = day < 10;
    return MeasureText(m_, font, centred ? text + text : text);
  }

  // A text placed in a box by a 3 × 3 cell position.
  void InCell(std::string text, const LogFont& font, uint32_t color, const Box& box,
              uint32_t position, TextSize size, bool centred) {
    const CellPosition cell = CellOf(position);
    const int right = box.left + box.width, bottom = box.top + box.height;
    const int x = cell.column == 0 ? box.left
                  : cell.column == 1 ? (box.left + right - size.width) / 2
                                     : right - size.width;
    const int y = cell.row == 0 ? box.top
                  : cell.row == 1 ? (box.top + bottom - size.height) / 2
                                  : bottom - size.height;
    Text(std::move(text), font, color, x, y, size, y + size.height, centred);
  }

  void Line(bool vertical, int at, int from, int to, int pen, uint32_t color) {
    const int p = std::max(pen, 1);
    const int lo = at - p / 2;
    PixelRect r = vertical ? PixelRect{lo, from - p / 2, lo + p, to + p / 2}
                           : PixelRect{from - p / 2, lo, to + p / 2, lo + p};
    Add(DrawItem::Kind::kLine, r, color, pen);
  }

  void Title(const CalendarRecord& r, Language lang) {
    const Box& b = r.landscape() ? kTitleLandscape : kTitlePortrait;
    const LogFont font = s_.Font(r.FontY);
    const std::string text = TitleText(r, lang);
    const TextSize size = MeasureText(m_, font, text);
    const int left = s_.X(b.left), width = s_.L(b.width), top = s_.Y(b.top);
    int x = left;
    if (r.GroupYP == kTitleCentre) x = left + (width - size.width) / 2;
    else if (r.GroupYP == kTitleRight) x = left + width - size.width;
    Text(text, font, r.ColorY, x, Centre(top, s_.L(b.height), size.height), size,
         top + s_.L(60));
  }

  const Scale& scale() const { return s_; }
  TextMeasurer& measurer() { return m_; }

 private:
  const Scale& s_;
  TextMeasurer& m_;
  std::vector<DrawItem> items_;
};

void LayoutMonthly(Page& page, CalendarRecord& r, const PageTarget& target) {
  const Scale& s = page.scale();
  const MonthlyGeometry& g = r.landscape() ? kMonthlyLandscape : kMonthlyPortrait;
  const int year = YearOf(r), month = MonthOf(r);
  const bool six = NeedsSixRows(year, month);
  r.SixRows = six ? 1 : 0;
  const int rows = six ? 6 : 5;
  const int heading = six ? g.heading6 : g.heading5;
  const int first_row = six ? g.first_row6 : g.first_row5;
  const int row = six ? g.row6 : g.row5;
  auto column_left = [&](int c) { return s.X(g.grid_left + g.column * c); };
  auto row_top = [&](int k) { return s.Y(first_row + row * k); };

  page.Title(r, target.language);

  // Day numbers.
  const LogFont day_font = s.Font(r.FontD);
  const int first = FirstWeekDay(year, month), length = MonthLength(year, month);
  for (int day = 1, slot = first; day <= length; ++day, ++slot) {
    const int c = slot % 7, k = slot / 7;
    std::string text;
    bool centred = false;
    const TextSize size = page.DayNumber(day, day_font, text, centred);
    const Box box{column_left(c) + s.L(2), row_top(k), s.L(g.box), s.L(row)};
    page.InCell(std::move(text), day_font, ColumnColor(c, r.ClrDmon, r.ClrDsat, r.ClrDsun), box,
                r.GroupD, size, centred);
  }

  // Week-day headings, centred in their columns and in the heading row.
  const LogFont heading_font = s.Font(r.FontW);
  const int heading_top = s.Y(g.grid_top), heading_height = s.L(heading);
  for (int c = 0; c < 7; ++c) {
    const std::string text = MonthlyHeadingText(r.GroupW, c);
    const TextSize size = MeasureText(page.measurer(), heading_font, text);
    const int x = column_left(c) + (s.L(g.column) - size.width) / 2;
    page.Text(text, heading_font, ColumnColor(c, r.ClrWmon, r.ClrWsat, r.ClrWsun), x,
              Page::Centre(heading_top, heading_height, size.height), size,
              heading_top + heading_height * 3 / 2);
  }

  // Grid lines: the outer ones and the heading's bottom thick.
  if (r.GroupF == kFrameOn) {
    const int thick = static_cast<int>(4 * s.w / s.page_w);
    const int thin = static_cast<int>(2 * s.w / s.page_w);
    const int grid_bottom = first_row + row * rows;
    for (int i = 0; i <= 7; ++i)
      page.Line(true, column_left(i), s.Y(g.grid_top), s.Y(grid_bottom), i == 0 || i == 7 ? thick : thin,
                r.ColorF);
    const int last = rows + 1;
    for (int i = 0; i <= last; ++i) {
      const int y_half = i == 0 ? g.grid_top : first_row + row * (i - 1);
      page.Line(false, s.Y(y_half), column_left(0), column_left(7),
                i <= 1 || i == last ? thick : thin, r.ColorF);
    }
  }

  // Day texts.
  if (target.day_texts) {
    const LogFont text_font = s.Font(r.ScheduleFont);
    for (int day = 1, slot = first; day <= length; ++day, ++slot) {
      std::string text = DayText(r, day);
      if (text.empty()) continue;
      const int c = slot % 7, k = slot / 7;
      const TextSize size = MeasureText(page.measurer(), text_font, text);
      const Box box{column_left(c) + s.L(2), row_top(k) + s.L(2), s.L(g.box), s.L(row - 4)};
      page.InCell(std::move(text), text_font, r.ScheduleColor, box, r.SchedulePos, size, false);
    }
  }
}

void LayoutYearly(Page& page, CalendarRecord& r, const PageTarget& target) {
  const Scale& s = page.scale();
  const YearlyGeometry& g = r.landscape() ? kYearlyLandscape : kYearlyPortrait;
  const int year = YearOf(r);
  page.Title(r, target.language);

  const LogFont month_font = s.Font(r.FontM);
  const LogFont letter_font = s.Font(r.FontW);
  const LogFont day_font = s.Font(r.FontD);
  auto block_left = [&](int m) { return g.left + g.pitch_x * (m % 4); };
  auto block_top = [&](int m) { return g.top + g.pitch_y * (m / 4); };

  for (int m = 0; m < 12; ++m) {
    const std::string text = MonthNameText(r.GroupM, m + 1, target.language);
    const TextSize size = MeasureText(page.measurer(), month_font, text);
    const int left = s.X(block_left(m)), width = s.L(g.block_w);
    int x = left;
    if (r.GroupMP == kMonthCentre) x = left + (width - size.width) / 2;
    else if (r.GroupMP == kMonthRight) x = left + width - size.width;
    const int top = s.Y(block_top(m)), band = s.L(g.band);
    page.Text(text, month_font, r.ColorM, x, Page::Centre(top, band, size.height), size,
              top + band * 3 / 2);
  }

  for (int m = 0; m < 12; ++m) {
    const int top = s.Y(block_top(m) + g.band), height = s.L(g.letters);
    for (int c = 0; c < 7; ++c) {
      const std::string text = YearlyLetterText(r.GroupW, c, target.language);
      const TextSize size = MeasureText(page.measurer(), letter_font, text);
      const int x = s.X(block_left(m) + g.column * c) + (s.L(g.column) - size.width) / 2;
      const int y = Page::Centre(top, height, size.height);
      page.Text(text, letter_font, ColumnColor(c, r.ClrWmon, r.ClrWsat, r.ClrWsun), x, y, size,
                y + size.height);
    }
  }

  for (int m = 0; m < 12; ++m) {
    const int first = FirstWeekDay(year, m + 1), length = MonthLength(year, m + 1);
    for (int day = 1, slot = first; day <= length; ++day, ++slot) {
      const int c = slot % 7, k = slot / 7;
      std::string text;
      bool centred = false;
      const TextSize size = page.DayNumber(day, day_font, text, centred);
      const int top = s.Y(block_top(m) + g.band + g.letters + g.row * k);
      const int x = s.X(block_left(m) + g.column * c) + (s.L(g.column) - size.width) / 2;
      const int y = Page::Centre(top, s.L(g.row), size.height);
      page.Text(std::move(text), day_font, ColumnColor(c, r.ClrDmon, r.ClrDsat, r.ClrDsun), x, y,
                size, y + size.height, centred);
    }
  }
}

std::string TwoDigitYear(int y) {
  const int v = y < 2000 ? y - 1900 : y - 2000;
  char buf[16];
  std::snprintf(buf, sizeof buf, "'%d%d", (v / 10) % 10, v % 10);
  return buf;
}

}  // namespace

// --- Dates ---------------------------------------------------------------------

bool IsLeapYear(int year) { return (year - 1980) % 4 == 0; }

int MonthLength(int year, int month) {
  static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

int DaysBeforeYear(int year) {
  const int o = year - 1980;
  return kYearStart[o % 4] + (o / 4) * 1461;
}

int FirstWeekDay(int year, int month) {
  if (month < 1 || month > 12) month = 1;
  const int days = DaysBeforeYear(year) + kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0][month - 1];
  return (days + 2) % 7;
}

bool NeedsSixRows(int year, int month) {
  const int first = FirstWeekDay(year, month), length = MonthLength(year, month);
  return (first == 5 && length == 31) || (first == 6 && length >= 30);
}

// --- Page ----------------------------------------------------------------------

int PageWidth(const CalendarRecord& r) { return (r.landscape() ? 297 : 210) * kPixelsPerMm; }
int PageHeight(const CalendarRecord& r) { return (r.landscape() ? 210 : 297) * kPixelsPerMm; }

Language LanguageForRegion(int region_code) {
  return region_code == 3 ? Language::kJapanese : Language::kEnglish;
}

TextSize MeasureText(TextMeasurer& m, const LogFont& font, std::string_view text) {
  TextSize size = m.Measure(font, text);
  if (!font.italic || text.empty()) return size;
  const size_t n = text.size();
  if (n >= 2 && IsShiftJisLead(static_cast<uint8_t>(text[n - 2]))) {
    size.width += m.Measure(font, text.substr(n - 2)).width / 5;
  } else {
    const int last = m.Measure(font, text.substr(n - 1)).width;
    const int f = m.Measure(font, "f").width;
    const int larger = std::max(last, f / 2 + f);
    size.width += larger * 2 / 5;
  }
  return size;
}

std::string TitleText(const CalendarRecord& r, Language language) {
  const bool japanese = language == Language::kJapanese;
  const std::string year = FieldText(r.Year), month = FieldText(r.Month);
  if (r.monthly()) {
    const int m = MonthOf(r);
    const std::string name = m >= 1 && m <= 12 ? kMonthNames[m - 1] : "";
    switch (r.GroupY) {
      case kTitle1: return japanese ? year + kYearSuffix + month + kMonthSuffix : name + ", " + year;
      case kTitle2: return japanese ? name + ", " + year : name;
      case kTitle3: return month + kMonthSuffix;
      case kTitle4: return name;
    }
    return {};
  }
  switch (r.GroupY) {
    case kTitle1: return japanese ? year + kYearSuffix : year;
    case kTitle2: return japanese ? year : TwoDigitYear(YearOf(r));
    case kTitle3: return TwoDigitYear(YearOf(r));
  }
  return {};
}

std::string MonthNameText(uint32_t group_m, int month, Language language) {
  if (month < 1 || month > 12) return {};
  if (language == Language::kJapanese) {
    if (group_m == kStyle1) return std::to_string(month) + kMonthSuffix;
    if (group_m == kStyle2) return kMonthNames[month - 1];
    if (group_m == kStyle3) return kShortMonths[month - 1];
    return {};
  }
  if (group_m == kStyle1) return kMonthNames[month - 1];
  if (group_m == kStyle2) return kShortMonths[month - 1];
  return {};
}

std::string MonthlyHeadingText(uint32_t group_w, int week_day) {
  if (week_day < 0 || week_day > 6) return {};
  if (group_w == kStyle1) return kDayLetters[week_day];
  if (group_w == kStyle2) return kShortDays[week_day];
  return {};
}

std::string YearlyLetterText(uint32_t group_w, int week_day, Language language) {
  if (week_day < 0 || week_day > 6) return {};
  if (language == Language::kJapanese && group_w == kYearShortDays) return kShortDays[week_day];
  return kDayLetters[week_day];
}

PixelRect PhotoRect(const PixelRect& box, PhotoSize photo) {
  if (photo.width <= 0 || photo.height <= 0) return box;
  const int64_t bw = box.width(), bh = box.height();
  if (int64_t{4} * photo.height >= int64_t{3} * photo.width) {  // r >= 0.75
    const int w = static_cast<int>(bh * photo.width / photo.height);
    const int left = box.left + static_cast<int>((bw - w) / 2);
    return {left, box.top, left + w, box.bottom};
  }
  const int h = static_cast<int>(bw * photo.height / photo.width);
  const int top = box.top + static_cast<int>((bh - h) / 2);
  return {box.left, top, box.right, top + h};
}

std::optional<std::vector<DrawItem>> LayoutCalendarPage(CalendarRecord& r,
                                                        const PageTarget& target,
                                                        TextMeasurer& m,
                                                        std::optional<PhotoSize> photo) {
  if (target.width <= 0) return std::nullopt;
  if (r.has_photo() && !photo) return std::nullopt;
  const int page_w = PageWidth(r), page_h = PageHeight(r);
  const Scale s{target.x0, target.y0, target.width, page_w};
  Page page(s, m);
  if (target.fill_page)
    page.Fill({target.x0, target.y0, target.x0 + target.width,
               target.y0 + static_cast<int>(int64_t{target.width} * page_h / page_w)},
              0xFFFFFF);
  if (r.has_photo()) {
    const Box& b = r.landscape() ? kPhotoLandscape : kPhotoPortrait;
    const PixelRect box{s.X(b.left), s.Y(b.top), s.X(b.left) + s.L(b.width),
                        s.Y(b.top) + s.L(b.height)};
    page.Add(DrawItem::Kind::kPhoto, PhotoRect(box, *photo));
  }
  if (r.monthly()) LayoutMonthly(page, r, target);
  else LayoutYearly(page, r, target);
  return std::move(page.items());
}

}  // namespace fq::cal
