// The tool window ("TOOLDLG") with its five owner-drawn buttons, the text
// input dialog ("TEXTINPUTDLG") and the options dialog (the system font
// dialog on "FONTSETTINGDLG" with the pen width).
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/settings.h"
#include "base/win/frame_link.h"
#include "base/win/gdi.h"
#include "edit/drawing.h"
#include "edit/win/tool_state.h"

namespace fq::win::tools {
namespace {

constexpr int kButtonSide = 26;
constexpr int kGap = 2;
constexpr int kTopOffset = 40;  // below the frame's toolbar
constexpr int kRightOffset = 8;

const char* BitmapName(int id) {
  switch (id) {
    case kSelect: return "IDB_TOOL1";
    case kText: return "IDB_TOOL2";
    case kPen: return "IDB_TOOL3";
    case kEraser: return "IDB_TOOL4";
    default: return "IDB_TOOL5";
  }
}

int ButtonWidth(int id) { return id == kOptions ? 2 * kButtonSide : kButtonSide; }

Bitmap g_bitmaps[5];

void ShowBox(HWND owner, std::string_view text, UINT icon) {
  const std::string body(text), caption(kAppCaption);
  MessageBoxA(owner, body.c_str(), caption.c_str(), MB_OK | icon | MB_TASKMODAL);
}

// --- Fonts ----------------------------------------------------------------

struct FaceSearch {
  bool found = false;
  LOGFONTA font{};
};

int CALLBACK OnFamily(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM lp) {
  if (!(type & (RASTER_FONTTYPE | TRUETYPE_FONTTYPE))) return 1;
  auto* search = reinterpret_cast<FaceSearch*>(lp);
  search->found = true;
  search->font = *lf;
  return 0;
}

// The installed raster or TrueType family of that face, if any.
std::optional<LOGFONTA> InstalledFamily(std::string_view face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return std::nullopt;
  LOGFONTA want = {};
  want.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(want.lfFaceName, face.data(), face.size());
  WindowDC screen(nullptr);
  FaceSearch search;
  EnumFontFamiliesExA(screen.get(), &want, OnFamily, reinterpret_cast<LPARAM>(&search), 0);
  if (!search.found) return std::nullopt;
  return search.font;
}

void TakeSettings() {
  State& s = S();
  const edit::ToolSettings t = edit::ReadToolSettings(
      settings::Store(), [](std::string_view face) { return InstalledFamily(face).has_value(); });
  s.color = t.color;
  s.pen_width = t.pen_width;
  s.font.reset();
  if (!t.font) return;
  auto family = InstalledFamily(t.font->face);
  if (!family) return;
  LOGFONTA lf = {};
  lf.lfCharSet = family->lfCharSet;
  lf.lfPitchAndFamily = family->lfPitchAndFamily;
  lstrcpynA(lf.lfFaceName, family->lfFaceName, LF_FACESIZE);
  lf.lfHeight = t.font->height;
  lf.lfWidth = t.font->width;
  lf.lfWeight = t.font->weight;
  lf.lfItalic = t.font->italic ? TRUE : FALSE;
  s.font = lf;
}

// --- Tool window --------------------------------------------------------

void LayOut(HWND window) {
  const POINT places[] = {{kGap, kGap}, {kGap + kButtonSide + kGap, kGap},
                          {kGap, 2 * kGap + kButtonSide}, {kGap + kButtonSide + kGap, 2 * kGap + kButtonSide},
                          {kGap, 3 * kGap + 2 * kButtonSide}};
  for (int i = 0; i < 5; ++i)
    MoveWindow(GetDlgItem(window, kSelect + i), places[i].x, places[i].y, ButtonWidth(kSelect + i),
               kButtonSide, FALSE);
  RECT r{0, 0, 3 * kGap + 2 * kButtonSide, 4 * kGap + 3 * kButtonSide};
  AdjustWindowRectEx(&r, GetWindowLongA(window, GWL_STYLE), FALSE, GetWindowLongA(window, GWL_EXSTYLE));
  // At the right edge of the frame's client area, near its top, on the screen.
  HWND frame = GetWindow(window, GW_OWNER);
  RECT client{};
  if (frame) {
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
  }
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = std::clamp<int>(client.right - w - kRightOffset, work.left, std::max<int>(work.left, work.right - w));
  const int y = std::clamp<int>(client.top + kTopOffset, work.top, std::max<int>(work.top, work.bottom - h));
  SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawButton(const DRAWITEMSTRUCT* di) {
  const int id = static_cast<int>(di->CtlID);
  const int index = id - kSelect;
  if (index < 0 || index > 4) return;
  if (!g_bitmaps[index])
    g_bitmaps[index].reset(LoadBitmapA(GetModuleHandleA(nullptr), BitmapName(id)));
  const bool down = S().tool == id || (di->itemState & ODS_SELECTED);
  MemoryDC memory(di->hDC);
  SelectedObject bitmap(memory.get(), g_bitmaps[index].get());
  const int w = ButtonWidth(id);
  BitBlt(di->hDC, di->rcItem.left, di->rcItem.top, w, kButtonSide, memory.get(), down ? w : 0, 0,
         SRCCOPY);
}

void ChooseTool(HWND window, int id) {
  State& s = S();
  switch (id) {
    case kSelect:
    case kPen:
    case kEraser:
      if (s.placed) {
        switch (AskFix()) {
          case IDCANCEL: DropText(); return;
          case IDNO:
            if (s.text_window) SetFocus(s.text_window);
            return;
        }
        FixText();
      }
      FixStrokes();
      s.tool = id;
      break;
    case kText:
      if (!s.placed) FixStrokes();
      s.tool = kText;
      RefreshToolWindow();
      RunTextInput(window);
      break;
    case kOptions:
      if (!s.placed) FixStrokes();
      if (s.tool == kPen || s.tool == kEraser) s.tool = kSelect;
      RefreshToolWindow();
      RunOptions(window);
      break;
  }
  RefreshToolWindow();
}

INT_PTR CALLBACK ToolProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: LayOut(window); return FALSE;
    case WM_DRAWITEM: DrawButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) ChooseTool(window, LOWORD(wp));
      return TRUE;
    case WM_CLOSE: return TRUE;  // hidden and shown with the image windows only
  }
  return FALSE;
}

// --- Text input ---------------------------------------------------------

void PlaceText(const std::string& text) {
  State& s = S();
  HWND image = ActiveImageWindow();
  if (!image) return;
  if (!s.placed || s.text_window != image) {
    if (s.placed) DropText();
    s.pos = POINT{10, 10};
    s.text_window = image;
  }
  s.text = text;
  s.placed = true;
  s.tool = kText;
  MeasureText();
  InvalidateRect(image, nullptr, FALSE);
}

bool OnTextOk(HWND dialog) {
  State& s = S();
  if (!s.font) {
    ShowBox(dialog, edit::kNoFontText, MB_ICONHAND);
    return false;
  }
  char buffer[edit::kTextReadLetters + 1] = "";
  GetDlgItemTextA(dialog, IDC_TEXT_INPUT, buffer, sizeof buffer);
  const std::string text = buffer;
  switch (edit::JudgeText(text)) {
    case edit::TextVerdict::kEmpty:
      DropText();
      return true;
    case edit::TextVerdict::kTooLong:
      ShowBox(dialog, edit::kTooLongText, MB_ICONEXCLAMATION);
      SetFocus(GetDlgItem(dialog, IDC_TEXT_INPUT));
      return false;  // the dialog stays
    case edit::TextVerdict::kAccepted:
      PlaceText(text);
      return true;
  }
  return true;
}

INT_PTR CALLBACK TextProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      if (S().placed) SetDlgItemTextA(dialog, IDC_TEXT_INPUT, S().text.c_str());
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK:
        case IDC_TEXT_OK:
          if (OnTextOk(dialog)) EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

// --- Options ------------------------------------------------------------

struct OptionsState {
  int pen_width = edit::kPenWidthDefault;
};

COLORREF ChosenColor(HWND dialog) {
  HWND list = GetDlgItem(dialog, cmb4);
  const LRESULT sel = list ? SendMessageA(list, CB_GETCURSEL, 0, 0) : CB_ERR;
  if (sel == CB_ERR) return S().color;
  return static_cast<COLORREF>(SendMessageA(list, CB_GETITEMDATA, sel, 0));
}

// A bar as thick as the pen in the chosen colour.
void DrawPenPreview(HWND dialog, const DRAWITEMSTRUCT* di) {
  FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
  char text[16] = "";
  GetDlgItemTextA(dialog, IDC_PEN_WIDTH, text, sizeof text);
  const int width = edit::PenWidthFromText(text);
  const int mid = (di->rcItem.top + di->rcItem.bottom) / 2;
  RECT bar{di->rcItem.left + 4, mid - width / 2, di->rcItem.right - 4, mid - width / 2 + width};
  IntersectRect(&bar, &bar, &di->rcItem);
  GdiObject<HBRUSH> brush(CreateSolidBrush(ChosenColor(dialog)));
  FillRect(di->hDC, &bar, brush.get());
}

UINT_PTR CALLBACK OptionsHook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* cf = reinterpret_cast<CHOOSEFONTA*>(lp);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, cf->lCustData);
      auto* st = reinterpret_cast<OptionsState*>(cf->lCustData);
      SendDlgItemMessageA(dialog, IDC_PEN_WIDTH_SPIN, UDM_SETRANGE32, edit::kPenWidthMin, edit::kPenWidthMax);
      SetDlgItemInt(dialog, IDC_PEN_WIDTH, st->pen_width, FALSE);
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp), code = HIWORD(wp);
      if ((id == IDC_PEN_WIDTH && code == EN_CHANGE) || (id == cmb4 && code == CBN_SELCHANGE))
        InvalidateRect(GetDlgItem(dialog, IDC_PEN_PREVIEW), nullptr, FALSE);
      if (id == IDOK) {
        auto* st = reinterpret_cast<OptionsState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        char text[16] = "";
        GetDlgItemTextA(dialog, IDC_PEN_WIDTH, text, sizeof text);
        if (st) st->pen_width = edit::PenWidthFromText(text);
      }
      return FALSE;  // the dialog goes on with its own handling
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlID != IDC_PEN_PREVIEW) return FALSE;
      DrawPenPreview(dialog, di);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

void CreateToolWindow(HWND frame) {
  State& s = S();
  if (s.tool_window) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  TakeSettings();
  s.tool_window = CreateDialogParamA(GetModuleHandleA(nullptr), "TOOLDLG", frame, ToolProc, 0);
}

void RefreshToolWindow() {
  if (S().tool_window) InvalidateRect(S().tool_window, nullptr, FALSE);
}

void RunTextInput(HWND) {
  HWND frame = FrameWindow();
  DialogBoxParamA(GetModuleHandleA(nullptr), "TEXTINPUTDLG", frame, TextProc, 0);
  // Without a placed text (Cancel, an empty text) the tool is select again.
  State& s = S();
  if (!s.placed && s.tool == kText) s.tool = kSelect;
  RefreshToolWindow();
}

void RunOptions(HWND) {
  State& s = S();
  LOGFONTA lf = s.font.value_or(LOGFONTA{});
  OptionsState st{s.pen_width};
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = FrameWindow();
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_NOVERTFONTS | CF_ENABLETEMPLATE | CF_ENABLEHOOK |
             (s.font ? CF_INITTOLOGFONTSTRUCT : 0);
  cf.rgbColors = s.color;
  cf.lCustData = reinterpret_cast<LPARAM>(&st);
  cf.lpfnHook = OptionsHook;
  cf.lpTemplateName = "FONTSETTINGDLG";
  cf.hInstance = GetModuleHandleA(nullptr);
  if (!ChooseFontA(&cf)) return;
  s.font = lf;
  s.color = cf.rgbColors & 0xFFFFFF;
  s.pen_width = st.pen_width;
  MeasureText();
  edit::WriteToolFont(settings::Store(),
                      {lf.lfFaceName, static_cast<int>(lf.lfHeight), static_cast<int>(lf.lfWidth),
                       static_cast<int>(lf.lfWeight), lf.lfItalic != 0},
                      s.color);
  edit::WritePenWidth(settings::Store(), s.pen_width);
  if (s.text_window) InvalidateRect(s.text_window, nullptr, FALSE);
}

}  // namespace fq::win::tools
