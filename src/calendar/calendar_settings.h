// What the calendar wizard remembers between calendars (sections CAL_MONTH
// and CAL_YEAR of the settings file), the default fonts chosen from the
// installed families, and the heights each element gets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings_store.h"
#include "calendar/calendar_record.h"

namespace fq::cal {

// An installed raster or TrueType family, as the system enumerates it: its
// name and its logical font.
struct FontFamily {
  std::string name;
  LogFont font;
};

// The faces a calendar may use by default, best first; no other is chosen.
inline constexpr std::string_view kPreferredFaces[] = {"Times New Roman", "Courier",
                                                       "MS Sans Serif", "Arial", "Terminal"};
inline constexpr std::string_view kTerminalFace = "Terminal";

// The first enumerated family of the best preferred face; nothing when none
// of them is installed.
std::optional<FontFamily> PreferredFamily(const std::vector<FontFamily>& installed);

// The elements of a page that have a font.
enum class FontElement { kTitle, kMonthNames, kWeekDays, kDayNumbers, kSchedule };
// The default height of an element for a kind (131/132) and face.
int DefaultFontHeight(FontElement element, uint32_t kind, bool terminal);

// The font defaults: the preferred face with the table's heights and width
// 0 in FontY, FontM (yearly), FontW and FontD, and the default colours.
// Without a preferred face only the colours are set.
void ApplyFontDefaults(CalendarRecord& r, const std::vector<FontFamily>& installed);
// The preferred face at an element's default height, for the wizard's
// Japanese replacements and the schedule font; nothing without one.
std::optional<LogFont> PreferredFont(FontElement element, uint32_t kind,
                                     const std::vector<FontFamily>& installed);

struct Today {
  int year = 2000, month = 1;
};

// The start values of the wizard's picture and date page.
struct WizardStart {
  int year = 0, month = 0;  // remembered, else today's
};

// Fills a zero-filled record of r.Kind from its section: fonts (only when
// every font of the kind is an installed face with a non-zero height and a
// zero width; otherwise the font defaults), colours, the group keys, the
// photograph (FullPath only if that file still exists) and CheckImage.
WizardStart LoadCalendarSettings(settings::SettingsStore& store, CalendarRecord& r,
                                 const std::vector<FontFamily>& installed, Today today);

// Writes every key of the kind's section, in the order the wizard's Finish
// writes them.
void SaveCalendarSettings(settings::SettingsStore& store, const CalendarRecord& r);

// The section of a kind.
std::string_view SectionFor(uint32_t kind);

}  // namespace fq::cal
