#include "edit/win/adjust_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "base/region.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "edit/adjust.h"
#include "edit/undo_slot.h"
#include "edit/win/undo.h"
#include "edit_res.h"
#include "image/win/image_display.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

constexpr char kNotFullColor[] = "This image is not full color.";
constexpr int kLine = 1;
constexpr int kPage = 20;
constexpr int kPreviewMargin = 10;

struct Slider {
  int slider, value_label, label, range_low, range_high;
  int edit::AdjustValues::*field;
  int min;
};
constexpr Slider kSliders[] = {
    {IDC_ADJ_BRIGHTNESS, IDC_ADJ_BRIGHTNESS_VALUE, IDC_ADJ_BRIGHTNESS_LABEL, 1229, 1230,
     &edit::AdjustValues::brightness, edit::kAdjustMin},
    {IDC_ADJ_CONTRAST, IDC_ADJ_CONTRAST_VALUE, IDC_ADJ_CONTRAST_LABEL, 1231, 1232,
     &edit::AdjustValues::contrast, edit::kAdjustMin},
    {IDC_ADJ_SATURATION, IDC_ADJ_SATURATION_VALUE, IDC_ADJ_SATURATION_LABEL, 1233, 1234,
     &edit::AdjustValues::saturation, edit::kAdjustMin},
    {IDC_ADJ_SHARPNESS, IDC_ADJ_SHARPNESS_VALUE, IDC_ADJ_SHARPNESS_LABEL, 1235, 1236,
     &edit::AdjustValues::sharpness, edit::kSharpnessMin},
};

// What the dialog works with from its opening to its end.
struct AdjustState {
  HWND image = nullptr;
  ImageRecord before, after;  // the previews; empty when they could not be made
  edit::YccPlanes planes;     // of "Before"
  edit::Cutoffs cut;
  edit::AdjustValues manual;  // the sliders
  edit::Transform transform;
  bool automatic = false;
  bool effective = false;
};

AdjustState* StateOf(HWND dialog) {
  return reinterpret_cast<AdjustState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

const Slider* SliderFor(HWND dialog, HWND control) {
  for (const Slider& s : kSliders)
    if (GetDlgItem(dialog, s.slider) == control) return &s;
  return nullptr;
}

void ShowValues(HWND dialog, const edit::AdjustValues& v) {
  for (const Slider& s : kSliders) SetDlgItemInt(dialog, s.value_label, v.*s.field, TRUE);
}

void SetSliders(HWND dialog, const edit::AdjustValues& v) {
  for (const Slider& s : kSliders)
    SendDlgItemMessageA(dialog, s.slider, TBM_SETPOS, TRUE, v.*s.field);
}

void EnableSliders(HWND dialog, bool on) {
  for (const Slider& s : kSliders)
    for (int id : {s.slider, s.range_low, s.range_high, s.label})
      EnableWindow(GetDlgItem(dialog, id), on);
}

void RepaintAfter(HWND dialog) {
  AdjustState* st = StateOf(dialog);
  if (!st->after.empty()) edit::ApplyTransformInto(st->after, st->planes, st->transform);
  InvalidateRect(GetDlgItem(dialog, IDC_ADJ_AFTER), nullptr, FALSE);
}

void RunManual(HWND dialog) {
  AdjustState* st = StateOf(dialog);
  st->transform = edit::ComputeManual(st->cut, st->manual);
  st->effective = st->manual.effective();
  RepaintAfter(dialog);
}

// The two previews, taken from the picture's plain full-colour form.
bool MakePreviews(AdjustState& st, const ImageRecord& picture) {
  auto analysis = edit::AnalysePicture(picture);
  if (!analysis) return false;
  auto after = analysis->preview.Clone();
  if (!after) return false;
  st.before = std::move(analysis->preview);
  st.after = std::move(*after);
  st.planes = std::move(analysis->planes);
  st.cut = analysis->cut;
  return true;
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM lp) {
  auto* st = reinterpret_cast<AdjustState*>(lp);
  SetWindowLongPtrA(dialog, DWLP_USER, lp);
  CheckRadioButton(dialog, IDC_ADJ_MANUAL, IDC_ADJ_AUTOMATIC, IDC_ADJ_MANUAL);
  for (const Slider& s : kSliders) {
    SendDlgItemMessageA(dialog, s.slider, TBM_SETRANGE, TRUE, MAKELPARAM(s.min, edit::kAdjustMax));
    SendDlgItemMessageA(dialog, s.slider, TBM_SETLINESIZE, 0, kLine);
    SendDlgItemMessageA(dialog, s.slider, TBM_SETPAGESIZE, 0, kPage);
  }
  SetSliders(dialog, st->manual);
  ShowValues(dialog, st->manual);
  if (ImageDocument* doc = DocumentOf(st->image)) {
    WaitCursor wait;
    if (!MakePreviews(*st, doc->picture)) {
      st->before = ImageRecord();
      st->after = ImageRecord();
    }
  }
  st->transform = edit::ComputeManual(st->cut, st->manual);
  return TRUE;
}

// A slider moved: line ±1, page ±20, the thumb dragged; its value, label and
// the "After" preview follow.
void OnScroll(HWND dialog, HWND control, UINT code, int pos) {
  AdjustState* st = StateOf(dialog);
  const Slider* s = SliderFor(dialog, control);
  if (!s || st->automatic) return;
  int& value = st->manual.*s->field;
  switch (code) {
    case TB_LINEUP: value -= kLine; break;
    case TB_LINEDOWN: value += kLine; break;
    case TB_PAGEUP: value -= kPage; break;
    case TB_PAGEDOWN: value += kPage; break;
    case TB_THUMBTRACK: value = pos; break;
    case TB_TOP: value = s->min; break;
    case TB_BOTTOM: value = edit::kAdjustMax; break;
    default: return;  // the thumb-position and end messages leave the value
  }
  value = std::clamp(value, s->min, edit::kAdjustMax);
  SendMessageA(control, TBM_SETPOS, TRUE, value);
  SetDlgItemInt(dialog, s->value_label, value, TRUE);
  RunManual(dialog);
}

void OnAutomatic(HWND dialog) {
  AdjustState* st = StateOf(dialog);
  EnableSliders(dialog, false);
  if (!st->automatic) {
    st->automatic = true;
    const edit::Automatic a = edit::ComputeAutomatic(st->planes, st->cut, st->manual);
    st->transform = a.transform;
    ShowValues(dialog, a.values);
    RepaintAfter(dialog);
  }
  st->effective = true;
}

void OnManual(HWND dialog) {
  AdjustState* st = StateOf(dialog);
  st->automatic = false;
  EnableSliders(dialog, true);
  SetSliders(dialog, st->manual);
  ShowValues(dialog, st->manual);
  RunManual(dialog);
}

// OK when effective: the same transformation over the whole picture.
void OnOk(HWND dialog) {
  AdjustState* st = StateOf(dialog);
  if (!st->effective || st->before.empty()) {
    EndDialog(dialog, IDCANCEL);
    return;
  }
  ImageDocument* doc = DocumentOf(st->image);
  if (!doc) {
    EndDialog(dialog, IDCANCEL);
    return;
  }
  WaitCursor wait;
  RestoreImageWindow(st->image);
  auto adjusted = edit::AdjustWhole(doc->picture, st->transform);
  EndDialog(dialog, IDOK);
  if (!adjusted) {
    ShowFailure(adjusted);
    return;
  }
  const int mode = st->automatic ? 0 : 1;
  if (CommitEdit(st->image, std::move(*adjusted), edit::kEditContent)) doc->adjustment_mode = mode;
}

// The preview drawn centred in its frame, shrunk to the frame less a margin.
void DrawPreview(const DRAWITEMSTRUCT* di, const ImageRecord& picture) {
  const RECT& f = di->rcItem;
  FillRect(di->hDC, &f, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(di->hDC, const_cast<RECT*>(&f), EDGE_SUNKEN, BF_RECT);
  if (picture.empty()) return;
  const int w = ImageWidth(picture), h = ImageHeight(picture);
  const int fw = f.right - f.left - kPreviewMargin, fh = f.bottom - f.top - kPreviewMargin;
  int dw = w, dh = h;
  if (w > h) {
    if (w >= fw) dw = fw, dh = fh * h / w;
  } else if (h >= fh) {
    dh = fh, dw = fw * w / h;
  }
  const int x = f.left + (f.right - f.left - dw) / 2, y = f.top + (f.bottom - f.top - dh) / 2;
  StretchDrawImage(di->hDC, picture, RECT{x, y, x + dw, y + dh}, RECT{0, 0, w, h});
}

// The owner-drawn slider labels: their text, greyed with the sliders.
void DrawLabel(const DRAWITEMSTRUCT* di) {
  char text[64] = "";
  GetWindowTextA(di->hwndItem, text, sizeof text);
  RECT r = di->rcItem;
  FillRect(di->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(di->hDC, TRANSPARENT);
  const bool disabled = (di->itemState & ODS_DISABLED) != 0;
  SetTextColor(di->hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextA(di->hDC, text, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

BOOL OnDrawItem(HWND dialog, const DRAWITEMSTRUCT* di) {
  AdjustState* st = StateOf(dialog);
  if (di->CtlID == IDC_ADJ_BEFORE) DrawPreview(di, st->before);
  else if (di->CtlID == IDC_ADJ_AFTER) DrawPreview(di, st->after);
  else DrawLabel(di);
  return TRUE;
}

void OnCommand(HWND dialog, int id, HWND, UINT code) {
  switch (id) {
    case IDOK: OnOk(dialog); return;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return;
    case IDC_ADJ_AUTOMATIC: if (code == BN_CLICKED) OnAutomatic(dialog); return;
    case IDC_ADJ_MANUAL: if (code == BN_CLICKED) OnManual(dialog); return;
  }
  for (const Slider& s : kSliders)
    if (id == s.label && code == BN_CLICKED) SetFocus(GetDlgItem(dialog, s.slider));
}

INT_PTR CALLBACK AdjustProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<HWND>(wp), lp);
    case WM_HSCROLL:
      OnScroll(dialog, reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<short>(HIWORD(wp)));
      return TRUE;
    case WM_DRAWITEM: return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp));
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void AdjustImageCommand(HWND image_window) {
  ImageDocument* doc = DocumentOf(image_window);
  if (!doc) return;
  if (doc->bit_count < 16) {
    const std::string caption(kAppCaption);
    MessageBoxA(image_window, kNotFullColor, caption.c_str(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
    return;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  AdjustState state;
  state.image = image_window;
  const std::string name = region::DialogName("PHTDLG", region::Variants::kUsEuJapan);
  HWND frame = GetParent(GetParent(image_window));
  DialogBoxParamA(GetModuleHandleA(nullptr), name.c_str(), frame, AdjustProc,
                  reinterpret_cast<LPARAM>(&state));
  InvalidateRect(image_window, nullptr, FALSE);
}

}  // namespace fq::win
