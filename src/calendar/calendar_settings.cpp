#include "calendar/calendar_settings.h"

#include <string>

#include "base/file_io.h"
#include "base/settings.h"

namespace fq::cal {
namespace {

using settings::IntKey;
using settings::SignedKey;
using settings::StringKey;

constexpr size_t kPathBuffer = 260;
constexpr size_t kFaceBuffer = 30;  // up to 29 characters of a face name

// One element's font keys: "<letter>Font", "<letter>Height", ...
struct FontKeys {
  std::string face, height, width, weight, italic;
  explicit FontKeys(char letter)
      : face(std::string(1, letter) + "Font"),
        height(std::string(1, letter) + "Height"),
        width(std::string(1, letter) + "Width"),
        weight(std::string(1, letter) + "Weight"),
        italic(std::string(1, letter) + "Italic") {}
};

struct Section {
  settings::SettingsStore& store;
  std::string_view name;

  int Int(std::string_view key, int def) { return settings::Read(store, IntKey{name, key, def}); }
  uint32_t Unsigned(std::string_view key, uint32_t def) {
    return static_cast<uint32_t>(Int(key, static_cast<int>(def)));
  }
  int Signed(std::string_view key, int def) {
    return settings::Read(store, SignedKey{name, key, def});
  }
  std::string Text(std::string_view key, size_t size) {
    return settings::Read(store, StringKey{name, key, "", size});
  }
  void PutInt(std::string_view key, int v) { settings::Write(store, IntKey{name, key, 0}, v); }
  void PutUnsigned(std::string_view key, uint32_t v) {
    store.WriteString(name, key, std::to_string(v));
  }
  void PutSigned(std::string_view key, int v) { settings::Write(store, SignedKey{name, key, 0}, v); }
  void PutText(std::string_view key, std::string_view v) {
    settings::Write(store, StringKey{name, key, "", 0}, v);
  }
};

struct StoredFont {
  std::string face;
  int height = 0, width = 0, weight = 0, italic = 0;
};

StoredFont ReadFont(Section& s, char letter) {
  FontKeys k(letter);
  return {s.Text(k.face, kFaceBuffer), s.Signed(k.height, 0), s.Signed(k.width, 0),
          s.Int(k.weight, 0), s.Int(k.italic, 0)};
}

void WriteFont(Section& s, char letter, const LogFont& f) {
  FontKeys k(letter);
  s.PutText(k.face, f.Face());
  s.PutSigned(k.height, f.height);
  s.PutSigned(k.width, f.width);
  s.PutInt(k.weight, f.weight);
  s.PutInt(k.italic, f.italic ? 1 : 0);
}

const FontFamily* Installed(const std::vector<FontFamily>& installed, std::string_view face) {
  for (const FontFamily& f : installed)
    if (f.name == face) return &f;
  return nullptr;
}

void SetDefaultColors(CalendarRecord& r) {
  r.ColorF = r.ColorM = r.ColorY = r.ClrWmon = r.ClrDmon = kBlack;
  r.ClrWsat = r.ClrDsat = kBlue;
  r.ClrWsun = r.ClrDsun = kRed;
}

}  // namespace

std::string_view SectionFor(uint32_t kind) {
  return kind == kYearly ? settings::kCalYearSection : settings::kCalMonthSection;
}

std::optional<FontFamily> PreferredFamily(const std::vector<FontFamily>& installed) {
  for (std::string_view face : kPreferredFaces)
    if (const FontFamily* f = Installed(installed, face)) return *f;
  return std::nullopt;
}

int DefaultFontHeight(FontElement element, uint32_t kind, bool terminal) {
  const bool yearly = kind == kYearly;
  switch (element) {
    case FontElement::kTitle: return terminal ? -23 : -64;
    case FontElement::kMonthNames: return terminal ? -23 : -32;
    case FontElement::kWeekDays:
      return yearly ? (terminal ? -13 : -16) : (terminal ? -19 : -48);
    case FontElement::kDayNumbers:
      return yearly ? (terminal ? -13 : -16) : (terminal ? -19 : -37);
    case FontElement::kSchedule: return terminal ? -19 : -24;
  }
  return 0;
}

std::optional<LogFont> PreferredFont(FontElement element, uint32_t kind,
                                     const std::vector<FontFamily>& installed) {
  auto family = PreferredFamily(installed);
  if (!family) return std::nullopt;
  LogFont f = family->font;
  f.height = DefaultFontHeight(element, kind, family->name == kTerminalFace);
  f.width = 0;
  return f;
}

void ApplyFontDefaults(CalendarRecord& r, const std::vector<FontFamily>& installed) {
  SetDefaultColors(r);
  auto set = [&](LogFont& target, FontElement e) {
    if (auto f = PreferredFont(e, r.Kind, installed)) target = *f;
  };
  set(r.FontY, FontElement::kTitle);
  if (r.Kind == kYearly) set(r.FontM, FontElement::kMonthNames);
  set(r.FontW, FontElement::kWeekDays);
  set(r.FontD, FontElement::kDayNumbers);
}

WizardStart LoadCalendarSettings(settings::SettingsStore& store, CalendarRecord& r,
                                 const std::vector<FontFamily>& installed, Today today) {
  Section s{store, SectionFor(r.Kind)};
  const bool yearly = r.Kind == kYearly;

  // Fonts: all of the kind's from the file, or all defaults.
  struct Element {
    char letter;
    LogFont* font;
  };
  std::vector<Element> elements = {{'Y', &r.FontY}, {'W', &r.FontW}, {'D', &r.FontD}};
  if (yearly) elements.insert(elements.begin() + 1, {'M', &r.FontM});
  std::vector<std::pair<StoredFont, const FontFamily*>> stored;
  bool usable = true;
  for (const Element& e : elements) {
    StoredFont f = ReadFont(s, e.letter);
    const FontFamily* family = Installed(installed, f.face);
    usable = usable && !f.face.empty() && family && f.height != 0 && f.width == 0;
    stored.emplace_back(f, family);
  }
  if (usable) {
    for (size_t i = 0; i < elements.size(); ++i) {
      LogFont f = stored[i].second->font;
      f.height = stored[i].first.height;
      f.width = stored[i].first.width;
      f.weight = stored[i].first.weight;
      f.italic = stored[i].first.italic ? 1 : 0;
      *elements[i].font = f;
    }
    r.ColorY = s.Unsigned("ColorY", 0);
    if (yearly) r.ColorM = s.Unsigned("ColorM", 0);
    r.ClrWmon = s.Unsigned("ClrWmon", 0);
    r.ClrWsat = s.Unsigned("ClrWsat", 0);
    r.ClrWsun = s.Unsigned("ClrWsun", 0);
    r.ClrDmon = s.Unsigned("ClrDmon", 0);
    r.ClrDsat = s.Unsigned("ClrDsat", 0);
    r.ClrDsun = s.Unsigned("ClrDsun", 0);
    if (!yearly) r.ColorF = s.Unsigned("ColorF", 0);
  } else {
    ApplyFontDefaults(r, installed);
  }

  // The kind's eight group keys, each with its default.
  r.GroupI = s.Unsigned("GroupI", kPortrait);
  r.GroupY = s.Unsigned("GroupY", kTitle1);
  r.GroupYP = s.Unsigned("GroupYP", kTitleCentre);
  r.GroupW = s.Unsigned("GroupW", yearly ? kYearLetters : kStyle1);
  if (yearly) {
    r.GroupM = s.Unsigned("GroupM", kStyle1);
    r.GroupMP = s.Unsigned("GroupMP", kMonthCentre);
  } else {
    r.GroupD = s.Unsigned("GroupD", kCellTopLeft);
    r.GroupF = s.Unsigned("GroupF", kFrameOn);
  }
  r.GroupWclr = s.Unsigned("GroupWclr", kColorWeekday);
  r.GroupDclr = s.Unsigned("GroupDclr", kColorWeekday);
  // A hand-edited value outside a list would draw nothing sensible.
  DefaultInvalidGroups(r);

  // The photograph and the date.
  const std::string full_path = s.Text("FullPath", kPathBuffer);
  if (!full_path.empty() && io::Fs().Exists(full_path)) {
    SetFieldText(r.FullPath, full_path);
    SetFieldText(r.FileName, s.Text("FileName", kPathBuffer));
  }
  r.CheckImage = s.Int("CheckImage", 0) ? 1 : 0;
  WizardStart start;
  start.year = s.Int("Year", today.year);
  start.month = yearly ? 0 : s.Int("Month", today.month);
  return start;
}

void SaveCalendarSettings(settings::SettingsStore& store, const CalendarRecord& r) {
  Section s{store, SectionFor(r.Kind)};
  const bool yearly = r.Kind == kYearly;
  s.PutText("FullPath", FieldText(r.FullPath));
  s.PutText("FileName", FieldText(r.FileName));
  s.PutInt("Year", YearOf(r));
  if (!yearly) s.PutInt("Month", MonthOf(r));
  s.PutInt("CheckImage", r.CheckImage ? 1 : 0);
  WriteFont(s, 'Y', r.FontY);
  s.PutUnsigned("ColorY", r.ColorY);
  if (yearly) {
    WriteFont(s, 'M', r.FontM);
    s.PutUnsigned("ColorM", r.ColorM);
  }
  WriteFont(s, 'W', r.FontW);
  s.PutUnsigned("ClrWmon", r.ClrWmon);
  s.PutUnsigned("ClrWsat", r.ClrWsat);
  s.PutUnsigned("ClrWsun", r.ClrWsun);
  WriteFont(s, 'D', r.FontD);
  s.PutUnsigned("ClrDmon", r.ClrDmon);
  s.PutUnsigned("ClrDsat", r.ClrDsat);
  s.PutUnsigned("ClrDsun", r.ClrDsun);
  if (!yearly) s.PutUnsigned("ColorF", r.ColorF);
  s.PutUnsigned("GroupI", r.GroupI);
  s.PutUnsigned("GroupY", r.GroupY);
  s.PutUnsigned("GroupYP", r.GroupYP);
  s.PutUnsigned("GroupW", r.GroupW);
  if (yearly) {
    s.PutUnsigned("GroupM", r.GroupM);
    s.PutUnsigned("GroupMP", r.GroupMP);
  } else {
    s.PutUnsigned("GroupD", r.GroupD);
    s.PutUnsigned("GroupF", r.GroupF);
  }
  s.PutUnsigned("GroupWclr", r.GroupWclr);
  s.PutUnsigned("GroupDclr", r.GroupDclr);
}

}  // namespace fq::cal
