#include "calendar_commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "calendar/calendar_file.h"
#include "calendar/calendar_layout.h"
#include "calendar/calendar_settings.h"
#include "calendar_render.h"
#include "image/bmp_file.h"

namespace fqtool {
namespace {

using namespace fq::cal;

constexpr const char kUsage[] =
    "usage: fqtool calendar info FILE\n"
    "       fqtool calendar render FILE OUT.bmp [--width N] [--no-texts]\n"
    "       fqtool calendar items FILE [--width N]\n"
    "       fqtool calendar photo FILE OUT.bmp\n"
    "       fqtool calendar make OUT.cal --kind monthly|yearly --year Y [--month M]\n"
    "                            [--landscape] [--photo FILE] [--text DAY=TEXT]...\n"
    "                            [--face NAME] [--colors WEEKDAY,SATURDAY,SUNDAY,FRAME]\n"
    "                            [--title 1201-1204] [--align left|centre|right]\n"
    "                            [--position 1331-1339] [--text-position 1331-1339]\n"
    "                            [--frame on|off] [--italic]\n"
    "       (colours as RRGGBB hexadecimal)\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(int message) {
  std::string_view text = fq::ErrorText(message);
  std::fprintf(stderr, "fqtool: %.*s\n", static_cast<int>(text.size()), text.data());
  return 1;
}

void PrintFont(const char* name, const LogFont& f) {
  std::printf("%s: face=\"%s\" height=%d width=%d escapement=%d orientation=%d weight=%d "
              "italic=%u underline=%u strikeout=%u charset=%u precision=%u clip=%u quality=%u "
              "pitch=%u\n",
              name, f.Face().c_str(), f.height, f.width, f.escapement, f.orientation, f.weight,
              f.italic, f.underline, f.strike_out, f.char_set, f.out_precision, f.clip_precision,
              f.quality, f.pitch_and_family);
}

int Info(const std::string& path) {
  auto read = ReadCalendarRecord(path);
  if (!read) return Fail(read.message());
  const CalendarRecord& r = *read;
  std::printf("Kind: %u (%s)\n", r.Kind, r.monthly() ? "monthly" : "yearly");
  std::printf("FullPath: %s\nFileName: %s\nYear: %s\nMonth: %s\n", FieldText(r.FullPath).c_str(),
              FieldText(r.FileName).c_str(), FieldText(r.Year).c_str(),
              FieldText(r.Month).c_str());
  std::printf("GroupI: %u\nCheckImage: %u\nGroupY: %u\nGroupYP: %u\n", r.GroupI, r.CheckImage,
              r.GroupY, r.GroupYP);
  PrintFont("FontY", r.FontY);
  std::printf("ColorY: 0x%06X\nGroupM: %u\nGroupMP: %u\n", r.ColorY, r.GroupM, r.GroupMP);
  PrintFont("FontM", r.FontM);
  std::printf("ColorM: 0x%06X\nGroupW: %u\n", r.ColorM, r.GroupW);
  PrintFont("FontW", r.FontW);
  std::printf("GroupWclr: %u\nClrWmon: 0x%06X\nClrWsat: 0x%06X\nClrWsun: 0x%06X\nGroupD: %u\n",
              r.GroupWclr, r.ClrWmon, r.ClrWsat, r.ClrWsun, r.GroupD);
  PrintFont("FontD", r.FontD);
  std::printf("GroupDclr: %u\nClrDmon: 0x%06X\nClrDsat: 0x%06X\nClrDsun: 0x%06X\n", r.GroupDclr,
              r.ClrDmon, r.ClrDsat, r.ClrDsun);
  std::printf("GroupF: %u\nColorF: 0x%06X\nFontTarget: %u\nSixRows: %u\nSchedulePos: %u\n",
              r.GroupF, r.ColorF, r.FontTarget, r.SixRows, r.SchedulePos);
  PrintFont("ScheduleFont", r.ScheduleFont);
  std::printf("ScheduleColor: 0x%06X\n", r.ScheduleColor);
  if (r.has_photo()) {
    auto photo = ReadCalendarPhoto(path);
    if (!photo) return Fail(photo.message());
    std::printf("photograph: %dx%d, %u bits\n", fq::ImageWidth(*photo),
                std::abs(fq::ImageHeight(*photo)), fq::ImageBitCount(*photo));
  } else {
    std::printf("photograph: none\n");
  }
  for (int d = 1; d <= kScheduleDays; ++d)
    if (std::string t = DayText(r, d); !t.empty()) std::printf("day %d: %s\n", d, t.c_str());
  return 0;
}

// The drawing items of a page, one a line: kind, rectangle, colour as
// RRGGBB, pen or font height, text. For other programs to draw the same page.
void PrintItems(const std::vector<DrawItem>& items) {
  static const char* kNames[] = {"fill", "photo", "line", "text"};
  for (const DrawItem& i : items) {
    const uint32_t rgb = ((i.color & 0xFF) << 16) | (i.color & 0xFF00) | ((i.color >> 16) & 0xFF);
    std::printf("%s %d %d %d %d %06X %d %s\n", kNames[static_cast<int>(i.kind)], i.rect.left,
                i.rect.top, i.rect.right, i.rect.bottom, rgb,
                i.kind == DrawItem::Kind::kText ? i.font.height : i.pen, i.text.c_str());
  }
}

int Render(const std::vector<std::string>& args, bool list_only) {
  std::vector<std::string> files;
  int width = 0;
  bool texts = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--width" && i + 1 < args.size()) {
      width = std::atoi(args[++i].c_str());
      if (width <= 0 || width > 20000) return Usage();
    } else if (args[i] == "--no-texts") {
      texts = false;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != (list_only ? 1u : 2u)) return Usage();
  auto read = ReadCalendarRecord(files[0]);
  if (!read) return Fail(read.message());
  CalendarRecord r = *read;
  std::optional<fq::ImageRecord> photo;
  std::optional<PhotoSize> size;
  if (r.has_photo()) {
    auto p = ReadCalendarPhoto(files[0]);
    if (!p) return Fail(p.message());
    size = PhotoSize{fq::ImageWidth(*p), std::abs(fq::ImageHeight(*p))};
    photo = std::move(*p);
  }
  FontEngine fonts;
  if (!fonts.ok()) return Fail(fq::err::kUnexpected);
  PageTarget target;
  target.width = width ? width : PageWidth(r);
  target.day_texts = texts;
  auto items = LayoutCalendarPage(r, target, fonts, size);
  if (!items) return Fail(fq::err::kUnexpected);
  if (list_only) {
    PrintItems(*items);
    return 0;
  }
  const int height = static_cast<int>(int64_t{target.width} * PageHeight(r) / PageWidth(r));
  auto page = RenderItems(*items, target.width, height, photo ? &*photo : nullptr, fonts);
  if (!page) return Fail(page.message());
  fq::Status s = fq::WriteBitmapFile(files[1], *page);
  if (!s) return Fail(s.message());
  return 0;
}

int Photo(const std::string& path, const std::string& out) {
  auto photo = ReadCalendarPhoto(path);
  if (!photo) return Fail(photo.message());
  fq::Status s = fq::WriteBitmapFile(out, *photo);
  return s ? 0 : Fail(s.message());
}

bool ParseColor(std::string_view hex, uint32_t& out) {
  if (hex.size() != 6) return false;
  uint32_t rgb = 0;
  for (char c : hex) {
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                         : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (v < 0) return false;
    rgb = rgb * 16 + static_cast<uint32_t>(v);
  }
  out = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);  // to 0x00BBGGRR
  return true;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A calendar as the wizard would make it with its defaults and the given
// choices; for test pages and fuzz seeds.
int Make(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  CalendarRecord r;
  std::string face = "Courier";
  bool italic = false;
  std::vector<std::pair<int, std::string>> texts;
  uint32_t colors[4] = {kBlack, kBlue, kRed, kBlack};
  uint32_t position = kCellTopLeft, text_position = 0, title = kTitle1, align = kTitleCentre;
  uint32_t frame = kFrameOn;
  std::string photo, year, month;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool more = i + 1 < args.size();
    if (a == "--kind" && more) {
      const std::string k = args[++i];
      if (k != "monthly" && k != "yearly") return Usage();
      r.Kind = k == "monthly" ? kMonthly : kYearly;
    } else if (a == "--year" && more) {
      year = args[++i];
    } else if (a == "--month" && more) {
      month = args[++i];
    } else if (a == "--landscape") {
      r.GroupI = kLandscape;
    } else if (a == "--photo" && more) {
      photo = args[++i];
    } else if (a == "--text" && more) {
      const std::string t = args[++i];
      const size_t eq = t.find('=');
      if (eq == std::string::npos) return Usage();
      const int day = std::atoi(t.substr(0, eq).c_str());
      if (day < 1 || day > kScheduleDays) return Usage();
      texts.emplace_back(day, t.substr(eq + 1, kScheduleMaxChars));
    } else if (a == "--face" && more) {
      face = args[++i];
    } else if (a == "--italic") {
      italic = true;
    } else if (a == "--colors" && more) {
      const std::string c = args[++i];
      if (c.size() != 27 || !ParseColor(std::string_view(c).substr(0, 6), colors[0]) ||
          !ParseColor(std::string_view(c).substr(7, 6), colors[1]) ||
          !ParseColor(std::string_view(c).substr(14, 6), colors[2]) ||
          !ParseColor(std::string_view(c).substr(21, 6), colors[3]))
        return Usage();
    } else if (a == "--title" && more) {
      title = static_cast<uint32_t>(std::atoi(args[++i].c_str()));
    } else if (a == "--align" && more) {
      const std::string v = args[++i];
      align = v == "left" ? kTitleLeft : v == "right" ? kTitleRight : kTitleCentre;
    } else if (a == "--position" && more) {
      position = static_cast<uint32_t>(std::atoi(args[++i].c_str()));
    } else if (a == "--text-position" && more) {
      text_position = static_cast<uint32_t>(std::atoi(args[++i].c_str()));
    } else if (a == "--frame" && more) {
      frame = args[++i] == "off" ? kFrameOff : kFrameOn;
    } else {
      return Usage();
    }
  }
  if (r.Kind == 0 || year.empty() || (r.Kind == kMonthly && month.empty())) return Usage();
  if (r.GroupI == 0) r.GroupI = kPortrait;
  SetFieldText(r.Year, year);
  if (r.monthly()) SetFieldText(r.Month, month);
  // The wizard's defaults, in the face asked for (any face: fontconfig
  // finds one for it when the page is drawn).
  ApplyFontDefaults(r, {});
  const bool terminal = face == kTerminalFace;
  auto font = [&](FontElement e) {
    LogFont f;
    f.SetFace(face);
    f.weight = 400;
    f.italic = italic ? 1 : 0;
    f.height = DefaultFontHeight(e, r.Kind, terminal);
    return f;
  };
  r.FontY = font(FontElement::kTitle);
  if (!r.monthly()) r.FontM = font(FontElement::kMonthNames);
  r.FontW = font(FontElement::kWeekDays);
  r.FontD = font(FontElement::kDayNumbers);
  r.ClrWmon = r.ClrDmon = colors[0];
  r.ClrWsat = r.ClrDsat = colors[1];
  r.ClrWsun = r.ClrDsun = colors[2];
  r.ColorF = colors[3];
  r.GroupY = title;
  r.GroupYP = align;
  r.GroupW = r.monthly() ? kStyle1 : kYearLetters;
  r.GroupM = kStyle1;
  r.GroupMP = kMonthCentre;
  r.GroupD = position;
  r.GroupF = frame;
  r.GroupWclr = r.GroupDclr = kColorWeekday;
  r.ScheduleFont = font(FontElement::kSchedule);
  r.SchedulePos = text_position;
  for (auto& [day, text] : texts) SetDayText(r, day, text);
  r.CheckImage = photo.empty() ? 1 : 0;
  if (!photo.empty()) {
    SetFieldText(r.FullPath, photo);
    SetFieldText(r.FileName, BaseName(photo));
  }
  // What a page of the record would show decides SixRows, as the program
  // renders before it saves.
  if (r.monthly()) r.SixRows = NeedsSixRows(YearOf(r), MonthOf(r)) ? 1 : 0;
  // Only a record the program would read back is written.
  auto bytes = ToBytes(r);
  if (auto check = ParseCalendarRecord(bytes); !check) return Fail(check.message());
  fq::Status s = SaveCalendarFile(CalendarFileName(args[0]), r, "");
  return s ? 0 : Fail(s.message());
}

}  // namespace

int RunCalendarCommand(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "info") return Info(args[1]);
  if (args.size() >= 3 && args[0] == "render")
    return Render(std::vector<std::string>(args.begin() + 1, args.end()), false);
  if (args.size() >= 2 && args[0] == "items")
    return Render(std::vector<std::string>(args.begin() + 1, args.end()), true);
  if (args.size() == 3 && args[0] == "photo") return Photo(args[1], args[2]);
  if (args.size() >= 2 && args[0] == "make")
    return Make(std::vector<std::string>(args.begin() + 1, args.end()));
  return Usage();
}

}  // namespace fqtool
