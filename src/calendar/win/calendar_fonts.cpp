#include "calendar/win/calendar_fonts.h"

#include <commdlg.h>
#include <dlgs.h>

#include <string>

#include "base/region.h"
#include "calendar/win/calendar_page.h"
#include "calendar_res.h"

namespace fq::win {
namespace {

// What the font dialog's hook edits besides the font.
struct FontDialogState {
  uint32_t* colors[3] = {};  // weekday, Saturday, Sunday; only [0] without a selector
  uint32_t* selector = nullptr;  // GroupWclr or GroupDclr; null for one colour
};

int CALLBACK CollectFamily(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM lp) {
  if (type & (RASTER_FONTTYPE | TRUETYPE_FONTTYPE)) {
    auto* out = reinterpret_cast<std::vector<cal::FontFamily>*>(lp);
    out->push_back({lf->lfFaceName, FromLogFont(*lf)});
  }
  return 1;
}

FontDialogState* StateOf(HWND dialog) {
  auto* cf = reinterpret_cast<CHOOSEFONTA*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  return cf ? reinterpret_cast<FontDialogState*>(cf->lCustData) : nullptr;
}

UINT_PTR CALLBACK FontHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    // The colour list, script list, Apply and Help of the system dialog
    // are not used: colours come from the calendar's own button.
    for (int id : {stc4, cmb4, stc6, cmb5, psh3, pshHelp}) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    FontDialogState* s = StateOf(dialog);
    if (s && s->selector && *s->selector >= cal::kColorWeekday && *s->selector <= cal::kColorSunday)
      CheckRadioButton(dialog, IDC_CAL_WEEKDAY, IDC_CAL_SUNDAY, static_cast<int>(*s->selector));
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  FontDialogState* s = StateOf(dialog);
  if (!s) return FALSE;
  const int id = LOWORD(wParam);
  if (id >= IDC_CAL_WEEKDAY && id <= IDC_CAL_SUNDAY && s->selector) {
    *s->selector = static_cast<uint32_t>(id);
    return TRUE;
  }
  if (id == IDC_CAL_COLOR && HIWORD(wParam) == BN_CLICKED) {
    uint32_t* target = s->colors[0];
    if (s->selector) {
      // Only while the selector holds one of its three values.
      if (*s->selector < cal::kColorWeekday || *s->selector > cal::kColorSunday) return TRUE;
      target = s->colors[*s->selector - cal::kColorWeekday];
    }
    if (target) ChooseCalendarColor(dialog, *target);
    return TRUE;
  }
  return FALSE;
}

bool RunFontDialog(HWND owner, const std::string& template_name, int largest, cal::LogFont& font,
                   FontDialogState& state) {
  LOGFONTA lf = ToLogFont(font);
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_NOVERTFONTS | CF_EFFECTS | CF_LIMITSIZE | CF_ENABLETEMPLATE |
             CF_ENABLEHOOK | (font.Face().empty() ? 0 : CF_INITTOLOGFONTSTRUCT);
  cf.nSizeMin = 0;
  cf.nSizeMax = largest;
  cf.hInstance = GetModuleHandleA(nullptr);
  cf.lpTemplateName = template_name.c_str();
  cf.lpfnHook = FontHook;
  cf.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!ChooseFontA(&cf)) return false;
  font = FromLogFont(lf);
  return true;
}

std::string SelectorTemplate() {
  return region::Code() == region::kEnglish ? "CALFONTSETDLG2_US" : "CALFONTSETDLG2";
}

}  // namespace

std::vector<cal::FontFamily> InstalledFamilies() {
  std::vector<cal::FontFamily> out;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesA(dc, nullptr, CollectFamily, reinterpret_cast<LPARAM>(&out));
  ReleaseDC(nullptr, dc);
  return out;
}

bool ChooseCalendarFont(HWND owner, int button, cal::CalendarRecord& r) {
  r.FontTarget = static_cast<uint32_t>(button);
  const bool yearly = r.Kind == cal::kYearly;
  FontDialogState state;
  switch (button) {
    case IDC_CAL_TITLE_FONT:
      state.colors[0] = &r.ColorY;
      return RunFontDialog(owner, "CALFONTSETDLG1", 48, r.FontY, state);
    case IDC_CAL_MONTH_FONT:
      state.colors[0] = &r.ColorM;
      return RunFontDialog(owner, "CALFONTSETDLG1", 24, r.FontM, state);
    case IDC_CAL_WEEK_FONT:
      state.colors[0] = &r.ClrWmon, state.colors[1] = &r.ClrWsat, state.colors[2] = &r.ClrWsun;
      state.selector = &r.GroupWclr;
      return RunFontDialog(owner, SelectorTemplate(), yearly ? 12 : 36, r.FontW, state);
    case IDC_CAL_DAY_FONT:
      state.colors[0] = &r.ClrDmon, state.colors[1] = &r.ClrDsat, state.colors[2] = &r.ClrDsun;
      state.selector = &r.GroupDclr;
      return RunFontDialog(owner, SelectorTemplate(), yearly ? 12 : 48, r.FontD, state);
  }
  return false;
}

bool ChooseScheduleFont(HWND owner, cal::CalendarRecord& r, cal::LogFont& font, uint32_t& color) {
  r.FontTarget = IDC_SCHEDULE_FONT;
  FontDialogState state;
  state.colors[0] = &color;
  return RunFontDialog(owner, "CALFONTSETDLG1", 36, font, state);
}

bool ChooseCalendarColor(HWND owner, uint32_t& color) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = color;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!ChooseColorA(&cc)) return false;
  color = cc.rgbResult & 0x00FFFFFF;
  return true;
}

}  // namespace fq::win
