#include "calendar/win/calendar_wizard.h"

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/win/message_box.h"
#include "calendar/calendar_layout.h"
#include "calendar/calendar_settings.h"
#include "calendar/wizard_rules.h"
#include "calendar/win/calendar_fonts.h"
#include "calendar/win/calendar_page.h"
#include "calendar_res.h"

namespace fq::win {
namespace {

constexpr char kPhotoFilter[] = "JPEG Files(*.JPG)\0*.jpg\0Bitmap Files(*.BMP)\0*.bmp\0";
constexpr int kYearMin = 1999, kYearMax = 2099;

// What the four pages share while the wizard runs.
struct Wizard {
  cal::CalendarRecord record;
  std::vector<cal::FontFamily> installed;
  cal::WizardStart start;
  bool japanese = false;
  std::optional<ImageRecord> preview;
  bool preview_failed = false;
  bool finished = false;
  std::vector<HBITMAP> bitmaps;  // the pictures page 1 loaded

  bool monthly() const { return record.Kind == cal::kMonthly; }
  ~Wizard() {
    for (HBITMAP b : bitmaps) DeleteObject(b);
  }
};

Wizard* WizardOf(HWND page) { return reinterpret_cast<Wizard*>(GetWindowLongPtrA(page, DWLP_USER)); }

Wizard* Attach(HWND page, LPARAM lParam) {
  auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
  SetWindowLongPtrA(page, DWLP_USER, psp->lParam);
  return reinterpret_cast<Wizard*>(psp->lParam);
}

void SetButtons(HWND page, DWORD buttons) {
  PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

// Keeps the wizard on this page, or lets it go on (the answer must be set
// both ways: a page refused once keeps its last answer otherwise).
BOOL Stay(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
  return TRUE;
}
BOOL Go(HWND page) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
  return TRUE;
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// The id of the checked button among [first, last], or `fallback`.
uint32_t CheckedOf(HWND page, int first, int last, uint32_t fallback) {
  for (int id = first; id <= last; ++id)
    if (GetDlgItem(page, id) && Checked(page, id)) return static_cast<uint32_t>(id);
  return fallback;
}

std::string ItemText(HWND page, int id) {
  char buf[MAX_PATH] = "";
  GetDlgItemTextA(page, id, buf, sizeof buf);
  return buf;
}

// The Japanese interface needs a Shift-JIS font for texts with Japanese
// characters: any other font becomes the preferred face.
void NeedShiftJis(const Wizard& w, cal::LogFont& font, cal::FontElement element) {
  if (!w.japanese || font.char_set == cal::kShiftJisCharset) return;
  if (auto f = cal::PreferredFont(element, w.record.Kind, w.installed)) font = *f;
}

// --- Page 1: layout ---------------------------------------------------------------

HBITMAP LoadPicture(Wizard& w, const char* name) {
  HBITMAP b = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
  if (b) w.bitmaps.push_back(b);
  return b;
}

INT_PTR CALLBACK LayoutPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wizard* w = msg == WM_INITDIALOG ? Attach(page, lParam) : WizardOf(page);
  if (!w) return FALSE;
  switch (msg) {
    case WM_INITDIALOG: {
      const bool monthly = w->monthly();
      SendDlgItemMessageA(page, IDC_CAL_PICTURE1, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(LoadPicture(*w, monthly ? "IDB_CAL_IMGM1" : "IDB_CAL_IMGY1")));
      SendDlgItemMessageA(page, IDC_CAL_PICTURE2, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(LoadPicture(*w, monthly ? "IDB_CAL_IMGM2" : "IDB_CAL_IMGY2")));
      SendDlgItemMessageA(page, IDC_CAL_HELPSTRIP, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(LoadPicture(*w, w->japanese ? "IDB_CAL_HELP_JA" : "IDB_CAL_HELP")));
      CheckRadioButton(page, IDC_CAL_PART1, IDC_CAL_PART2,
                       w->record.GroupI == cal::kLandscape ? IDC_CAL_PART2 : IDC_CAL_PART1);
      return TRUE;
    }
    case WM_COMMAND:
      // A click on a layout's picture chooses that layout.
      if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == IDC_CAL_PICTURE1)
        CheckRadioButton(page, IDC_CAL_PART1, IDC_CAL_PART2, IDC_CAL_PART1);
      else if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == IDC_CAL_PICTURE2)
        CheckRadioButton(page, IDC_CAL_PART1, IDC_CAL_PART2, IDC_CAL_PART2);
      return TRUE;
    case WM_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
          SetButtons(page, PSWIZB_NEXT);
          return TRUE;
        case PSN_WIZNEXT:
          w->record.GroupI = Checked(page, IDC_CAL_PART2) ? cal::kLandscape : cal::kPortrait;
          return Go(page);
      }
      break;
  }
  return FALSE;
}

// --- Page 2: picture and date -------------------------------------------------------

// The title radio buttons show the title each format gives for the typed date.
void ShowTitleChoices(HWND page, Wizard& w) {
  cal::CalendarRecord sample = w.record;
  cal::SetFieldText(sample.Year, ItemText(page, IDC_CAL_YEAR));
  if (w.monthly()) cal::SetFieldText(sample.Month, ItemText(page, IDC_CAL_MONTH));
  const cal::Language lang = w.japanese ? cal::Language::kJapanese : cal::Language::kEnglish;
  for (int id = IDC_CAL_TITLE1; id <= IDC_CAL_TITLE4; ++id) {
    if (!GetDlgItem(page, id)) continue;
    sample.GroupY = static_cast<uint32_t>(id);
    SetDlgItemTextA(page, id, cal::TitleText(sample, lang).c_str());
  }
}

void EnablePicture(HWND page, bool on) {
  EnableWindow(GetDlgItem(page, IDC_CAL_PATH), on);
  EnableWindow(GetDlgItem(page, IDC_CAL_SELECT), on);
}

// Typing keeps the leading digits only, 4 for the year and 2 for the month.
void FilterDigits(HWND page, int id, size_t max_digits) {
  const std::string typed = ItemText(page, id);
  const std::string kept = cal::KeepLeadingDigits(typed, max_digits);
  if (kept == typed) return;
  HWND edit = GetDlgItem(page, id);
  SetWindowTextA(edit, kept.c_str());
  SendMessageA(edit, EM_SETSEL, kept.size(), kept.size());
}

void SetupSpin(HWND page, int spin, int edit, int low, int high, int value) {
  HWND s = GetDlgItem(page, spin);
  if (!s) return;
  SendMessageA(s, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, edit)), 0);
  SendMessageA(s, UDM_SETRANGE32, low, high);
  SendMessageA(s, UDM_SETPOS32, 0, value);
  SetDlgItemInt(page, edit, static_cast<UINT>(value), FALSE);
}

void SelectPhoto(HWND page, Wizard& w) {
  char file[MAX_PATH] = "";
  const std::string folder = settings::ReadLastFolder(settings::Store(), "");
  const std::string template_name = w.japanese ? "FILEOPEN_JAPAN" : "FILEOPEN";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetParent(page);
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kPhotoFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
              OFN_HIDEREADONLY | OFN_LONGNAMES;
  ofn.lpTemplateName = template_name.c_str();
  if (!GetOpenFileNameA(&ofn) || !io::Fs().Exists(file)) return;
  cal::SetFieldText(w.record.FullPath, file);
  cal::SetFieldText(w.record.FileName, file + ofn.nFileOffset);
  SetDlgItemTextA(page, IDC_CAL_PATH, file);
  settings::WriteLastFolder(settings::Store(), file);
}

BOOL LeavePicturePage(HWND page, Wizard& w) {
  cal::CalendarRecord& r = w.record;
  r.CheckImage = Checked(page, IDC_CAL_NO_IMAGE) ? 1 : 0;
  const std::string path = ItemText(page, IDC_CAL_PATH);
  bool picture = r.CheckImage == 1;
  if (!picture && !path.empty() && io::Fs().Exists(path)) {
    picture = true;
    cal::SetFieldText(r.FullPath, path);
    const size_t cut = path.find_last_of("\\/:");
    cal::SetFieldText(r.FileName, cut == std::string::npos ? path : path.substr(cut + 1));
  } else if (!picture) {
    cal::SetFieldText(r.FullPath, "");
    cal::SetFieldText(r.FileName, "");
  }
  const std::string year = ItemText(page, IDC_CAL_YEAR), month = ItemText(page, IDC_CAL_MONTH);
  bool date = cal::FieldNumber(year, kYearMin, kYearMax) > 0;
  if (w.monthly()) date = date && cal::FieldNumber(month, 1, 12) > 0;
  const std::string_view message = cal::PictureDateMessage(picture, date, w.monthly());
  if (!message.empty()) {
    MessageBoxA(GetParent(page), std::string(message).c_str(), kAppCaption.data(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return Stay(page);
  }
  cal::SetFieldText(r.Year, year);
  if (w.monthly()) cal::SetFieldText(r.Month, month);
  r.GroupY = CheckedOf(page, IDC_CAL_TITLE1, IDC_CAL_TITLE4, cal::kTitle1);
  r.GroupYP = CheckedOf(page, IDC_CAL_TITLE_LEFT, IDC_CAL_TITLE_RIGHT, cal::kTitleCentre);
  if (r.GroupY == cal::kTitle1 || r.GroupY == cal::kTitle3)
    NeedShiftJis(w, r.FontY, cal::FontElement::kTitle);
  return Go(page);
}

INT_PTR CALLBACK PicturePage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wizard* w = msg == WM_INITDIALOG ? Attach(page, lParam) : WizardOf(page);
  if (!w) return FALSE;
  cal::CalendarRecord& r = w->record;
  switch (msg) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(page, IDC_CAL_YEAR, EM_LIMITTEXT, 8, 0);
      SendDlgItemMessageA(page, IDC_CAL_MONTH, EM_LIMITTEXT, 8, 0);
      SetDlgItemTextA(page, IDC_CAL_PATH, cal::FieldText(r.FullPath).c_str());
      SetupSpin(page, IDC_CAL_YEAR_SPIN, IDC_CAL_YEAR, kYearMin, kYearMax, w->start.year);
      SetupSpin(page, IDC_CAL_MONTH_SPIN, IDC_CAL_MONTH, 1, 12, w->start.month);
      CheckDlgButton(page, IDC_CAL_NO_IMAGE, r.CheckImage ? BST_CHECKED : BST_UNCHECKED);
      EnablePicture(page, !r.CheckImage);
      CheckRadioButton(page, IDC_CAL_TITLE1, w->japanese ? IDC_CAL_TITLE4 : IDC_CAL_TITLE2,
                       static_cast<int>(r.GroupY));
      CheckRadioButton(page, IDC_CAL_TITLE_LEFT, IDC_CAL_TITLE_RIGHT, static_cast<int>(r.GroupYP));
      ShowTitleChoices(page, *w);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CAL_YEAR:
        case IDC_CAL_MONTH:
          if (HIWORD(wParam) == EN_CHANGE) {
            FilterDigits(page, LOWORD(wParam), LOWORD(wParam) == IDC_CAL_YEAR ? 4 : 2);
            ShowTitleChoices(page, *w);
          }
          return TRUE;
        case IDC_CAL_SELECT: SelectPhoto(page, *w); return TRUE;
        case IDC_CAL_NO_IMAGE:
          r.CheckImage = Checked(page, IDC_CAL_NO_IMAGE) ? 1 : 0;
          EnablePicture(page, !r.CheckImage);
          return TRUE;
        case IDC_CAL_TITLE_FONT: ChooseCalendarFont(page, IDC_CAL_TITLE_FONT, r); return TRUE;
      }
      break;
    case WM_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE: SetButtons(page, PSWIZB_BACK | PSWIZB_NEXT); return TRUE;
        case PSN_WIZNEXT: return LeavePicturePage(page, *w);
      }
      break;
  }
  return FALSE;
}

// --- Page 3: styles ----------------------------------------------------------------

void CheckCell(HWND page, uint32_t position) {
  for (int id = IDC_CAL_CELL_FIRST; id <= IDC_CAL_CELL_LAST; ++id)
    CheckDlgButton(page, id, static_cast<uint32_t>(id) == position ? BST_CHECKED : BST_UNCHECKED);
}

void LeaveStylePage(HWND page, Wizard& w) {
  cal::CalendarRecord& r = w.record;
  if (w.monthly()) {
    r.GroupW = CheckedOf(page, IDC_CAL_STYLE1, IDC_CAL_STYLE3, cal::kStyle1);
    r.GroupD = CheckedOf(page, IDC_CAL_CELL_FIRST, IDC_CAL_CELL_LAST, cal::kCellTopLeft);
    r.GroupF = Checked(page, IDC_CAL_FRAME_OFF) ? cal::kFrameOff : cal::kFrameOn;
    if (r.GroupW == cal::kStyle3) NeedShiftJis(w, r.FontW, cal::FontElement::kWeekDays);
  } else {
    r.GroupM = CheckedOf(page, IDC_CAL_STYLE1, IDC_CAL_STYLE3, cal::kStyle1);
    r.GroupMP = CheckedOf(page, IDC_CAL_MONTH_LEFT, IDC_CAL_MONTH_RIGHT, cal::kMonthCentre);
    if (w.japanese) r.GroupW = CheckedOf(page, IDC_CAL_WEEK_LETTERS, IDC_CAL_WEEK_SHORT, cal::kYearLetters);
    if (r.GroupM == cal::kStyle1) NeedShiftJis(w, r.FontM, cal::FontElement::kMonthNames);
  }
}

INT_PTR CALLBACK StylePage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wizard* w = msg == WM_INITDIALOG ? Attach(page, lParam) : WizardOf(page);
  if (!w) return FALSE;
  cal::CalendarRecord& r = w->record;
  switch (msg) {
    case WM_INITDIALOG:
      if (w->monthly()) {
        CheckRadioButton(page, IDC_CAL_STYLE1, IDC_CAL_STYLE3, static_cast<int>(r.GroupW));
        CheckCell(page, r.GroupD);
        CheckRadioButton(page, IDC_CAL_FRAME_ON, IDC_CAL_FRAME_OFF, static_cast<int>(r.GroupF));
        EnableWindow(GetDlgItem(page, IDC_CAL_FRAME_COLOR), r.GroupF == cal::kFrameOn);
      } else {
        CheckRadioButton(page, IDC_CAL_STYLE1, IDC_CAL_STYLE3, static_cast<int>(r.GroupM));
        CheckRadioButton(page, IDC_CAL_MONTH_LEFT, IDC_CAL_MONTH_RIGHT, static_cast<int>(r.GroupMP));
        CheckRadioButton(page, IDC_CAL_WEEK_LETTERS, IDC_CAL_WEEK_SHORT, static_cast<int>(r.GroupW));
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (w->monthly() && id >= IDC_CAL_CELL_FIRST && id <= IDC_CAL_CELL_LAST) {
        CheckCell(page, static_cast<uint32_t>(id));  // the nine boxes act as one group
        return TRUE;
      }
      if (w->monthly() && (id == IDC_CAL_FRAME_ON || id == IDC_CAL_FRAME_OFF)) {
        EnableWindow(GetDlgItem(page, IDC_CAL_FRAME_COLOR), Checked(page, IDC_CAL_FRAME_ON));
        return TRUE;
      }
      if (id == IDC_CAL_FRAME_COLOR && w->monthly()) {
        ChooseCalendarColor(page, r.ColorF);
        return TRUE;
      }
      if (id == IDC_CAL_MONTH_FONT || id == IDC_CAL_WEEK_FONT || id == IDC_CAL_DAY_FONT) {
        if (id == IDC_CAL_MONTH_FONT && w->monthly()) return TRUE;
        ChooseCalendarFont(page, id, r);
        return TRUE;
      }
      break;
    }
    case WM_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE: SetButtons(page, PSWIZB_BACK | PSWIZB_NEXT); return TRUE;
        case PSN_WIZNEXT: LeaveStylePage(page, *w); return Go(page);
      }
      break;
  }
  return FALSE;
}

// --- Page 4: preview ----------------------------------------------------------------

void Render(HWND page, Wizard& w) {
  w.preview.reset();
  PageRequest request;
  request.day_texts = false;
  auto made = MakeCalendarImage(w.record, request);
  if (!made) {
    ShowError(made.message());
    w.preview_failed = true;  // only Cancel is left
    SetButtons(page, PSWIZB_DISABLEDFINISH);
  } else {
    w.preview = std::move(*made);
    w.preview_failed = false;
    SetButtons(page, PSWIZB_BACK | PSWIZB_FINISH);
  }
  InvalidateRect(GetDlgItem(page, IDC_CAL_PREVIEW), nullptr, TRUE);
}

// Portrait pages take the area's height, landscape pages its width.
void DrawPreview(const DRAWITEMSTRUCT& d, const Wizard& w) {
  const RECT& a = d.rcItem;
  FillRect(d.hDC, &a, GetSysColorBrush(COLOR_BTNFACE));
  if (!w.preview) return;
  const int aw = a.right - a.left, ah = a.bottom - a.top;
  RECT r = a;
  if (!w.record.landscape()) {
    const int pw = ah * 210 / 297;
    r.left = a.left + (aw - pw) / 2;
    r.right = r.left + pw;
  } else {
    const int ph = aw * 210 / 297;
    r.top = a.top + (ah - ph) / 2;
    r.bottom = r.top + ph;
  }
  const ImageRecord& p = *w.preview;
  SetStretchBltMode(d.hDC, HALFTONE);
  StretchDIBits(d.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, ImageWidth(p),
                ImageHeight(p), ImageBits(p), reinterpret_cast<const BITMAPINFO*>(p.data()),
                DIB_RGB_COLORS, SRCCOPY);
}

void Finish(Wizard& w) {
  cal::CalendarRecord& r = w.record;
  if (auto f = cal::PreferredFont(cal::FontElement::kSchedule, r.Kind, w.installed)) r.ScheduleFont = *f;
  r.ScheduleColor = cal::kBlack;
  cal::SaveCalendarSettings(settings::Store(), r);
  w.finished = true;
}

INT_PTR CALLBACK PreviewPage(HWND page, UINT msg, WPARAM, LPARAM lParam) {
  Wizard* w = msg == WM_INITDIALOG ? Attach(page, lParam) : WizardOf(page);
  if (!w) return FALSE;
  switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (d->CtlID != IDC_CAL_PREVIEW) return FALSE;
      DrawPreview(*d, *w);
      return TRUE;
    }
    case WM_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE: Render(page, *w); return TRUE;
        case PSN_WIZFINISH:
          if (w->preview_failed || !w->preview) return Stay(page);
          Finish(*w);
          return Go(page);
      }
      break;
  }
  return FALSE;
}

PROPSHEETPAGEA Page(int template_id, DLGPROC proc, Wizard& w) {
  PROPSHEETPAGEA p = {};
  p.dwSize = sizeof p;
  p.dwFlags = PSP_DEFAULT;
  p.hInstance = GetModuleHandleA(nullptr);
  p.pszTemplate = MAKEINTRESOURCEA(template_id);
  p.pfnDlgProc = proc;
  p.lParam = reinterpret_cast<LPARAM>(&w);
  return p;
}

cal::Today LocalToday() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth};
}

}  // namespace

std::optional<WizardResult> RunCalendarWizard(HWND frame, uint32_t kind) {
  auto w = std::make_unique<Wizard>();
  w->record.Kind = kind;
  w->japanese = region::Code() == region::kJapanese;
  w->installed = InstalledFamilies();
  w->start = cal::LoadCalendarSettings(settings::Store(), w->record, w->installed, LocalToday());
  const bool monthly = kind == cal::kMonthly, ja = w->japanese;
  PROPSHEETPAGEA pages[] = {
      Page(ja ? IDD_CAL_LAYOUT_JA : IDD_CAL_LAYOUT, LayoutPage, *w),
      Page(monthly ? (ja ? IDD_CAL_DATE_MONTH_JA : IDD_CAL_DATE_MONTH)
                   : (ja ? IDD_CAL_DATE_YEAR_JA : IDD_CAL_DATE_YEAR),
           PicturePage, *w),
      Page(monthly ? (ja ? IDD_CAL_STYLE_MONTH_JA : IDD_CAL_STYLE_MONTH)
                   : (ja ? IDD_CAL_STYLE_YEAR_JA : IDD_CAL_STYLE_YEAR),
           StylePage, *w),
      Page(ja ? IDD_CAL_PREVIEW_JA : IDD_CAL_PREVIEW, PreviewPage, *w)};
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  sheet.hwndParent = frame;
  sheet.hInstance = GetModuleHandleA(nullptr);
  sheet.pszCaption = "Calendar";
  sheet.nPages = sizeof pages / sizeof pages[0];
  sheet.ppsp = pages;
  PropertySheetA(&sheet);
  if (!w->finished || !w->preview) return std::nullopt;
  return WizardResult{std::move(*w->preview), w->record};
}

}  // namespace fq::win
