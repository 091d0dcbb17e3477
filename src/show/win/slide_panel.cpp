#include "show/win/slide_panel.h"

#include "base/win/gdi.h"
#include "base/win/pump.h"
#include "show/win/slide_show_window.h"
#include "show_res.h"

namespace fq::win {
namespace {

constexpr char kPanelTemplate[] = "VIEWMENUDLG";
constexpr int kButtonSize = 48;  // one half of a button picture
constexpr int kButtonGap = 4;
constexpr int kPanelMargin = 4;
constexpr POINT kPointerAt{10, 10};
constexpr POINT kPanelAt{24, 24};

constexpr int kButtons[] = {IDC_SLIDE_EXIT, IDC_SLIDE_POINTER, IDC_SLIDE_SIZE,
                            IDC_SLIDE_PREV, IDC_SLIDE_PLAY,    IDC_SLIDE_NEXT};

bool IsPanelButton(int id) {
  for (int b : kButtons)
    if (b == id) return true;
  return false;
}

HWND ShowOfPanel(HWND panel) { return GetWindow(panel, GW_OWNER); }

// The picture of a button for the show's state.
const char* PictureFor(int id, const SlideShowState& s) {
  switch (id) {
    case IDC_SLIDE_EXIT: return "IDB_SLD_EXIT";
    case IDC_SLIDE_POINTER: return s.pointer_wanted ? "IDB_SLD_CURSOR_OFF" : "IDB_SLD_CURSOR_ON";
    case IDC_SLIDE_SIZE: return s.full_size ? "IDB_SLD_SCRN_STD" : "IDB_SLD_SCRN_BIG";
    case IDC_SLIDE_PREV: return "IDB_SLD_PREV";
    case IDC_SLIDE_PLAY: return s.playing ? "IDB_SLD_PAUSE" : "IDB_SLD_PLAY";
    case IDC_SLIDE_NEXT: return "IDB_SLD_NEXT";
  }
  return nullptr;
}

// Buttons in one row, each exactly one half-picture in size; the panel is
// sized around them.
void LayOut(HWND panel) {
  int x = kPanelMargin;
  for (int id : kButtons) {
    if (HWND b = GetDlgItem(panel, id))
      MoveWindow(b, x, kPanelMargin, kButtonSize, kButtonSize, FALSE);
    x += kButtonSize + kButtonGap;
  }
  RECT r{0, 0, x - kButtonGap + kPanelMargin, kButtonSize + 2 * kPanelMargin};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(panel, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(panel, GWL_EXSTYLE)));
  SetWindowPos(panel, HWND_TOP, kPanelAt.x, kPanelAt.y, r.right - r.left, r.bottom - r.top, 0);
}

void OnInit(HWND panel) {
  LayOut(panel);
  if (HMENU menu = GetSystemMenu(panel, FALSE)) {
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  }
  AddModelessDialog(panel);
  ShowPointer();
  SetCursorPos(kPointerAt.x, kPointerAt.y);
}

// The normal half of the picture, or the right half while pressed,
// stretched over the whole button.
void OnDrawItem(HWND panel, const DRAWITEMSTRUCT& item) {
  auto state = SlideShowStateOf(ShowOfPanel(panel));
  const char* name = state ? PictureFor(static_cast<int>(item.CtlID), *state) : nullptr;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(panel, GWLP_HINSTANCE));
  Bitmap picture(name ? LoadBitmapA(instance, name) : nullptr);
  const RECT& r = item.rcItem;
  if (!picture) {
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  MemoryDC source(item.hDC);
  SelectedObject selected(source.get(), picture.get());
  const int left = (item.itemState & ODS_SELECTED) ? kButtonSize : 0;
  const int old_mode = SetStretchBltMode(item.hDC, COLORONCOLOR);
  StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), left, 0,
             kButtonSize, kButtonSize, SRCCOPY);
  SetStretchBltMode(item.hDC, old_mode);
  if (item.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(item.hDC, &f);
  }
}

// A button acts once the current picture has finished drawing. The wait
// lets messages through, and a picture that fails to draw ends the show
// meanwhile (destroying this panel with it): then nothing is sent and
// nothing of the ended show is touched.
void OnButton(HWND panel, int id) {
  const HWND show = ShowOfPanel(panel);
  while (SlideShowDrawing(show)) {
    if (!PumpMessages()) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (!SlideShowStateOf(show) || !IsWindow(panel)) return;
  RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageA(show, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  // The pictures follow the new state (pointer, size, play).
  if (IsWindow(panel)) InvalidateRect(panel, nullptr, FALSE);
  for (int b : kButtons)
    if (HWND h = IsWindow(panel) ? GetDlgItem(panel, b) : nullptr) InvalidateRect(h, nullptr, FALSE);
}

INT_PTR CALLBACK PanelProc(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInit(panel);
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(panel, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL) {
        // Escape: as a click in the show, which ends it.
        SendMessageA(ShowOfPanel(panel), WM_LBUTTONDOWN, 0, 0);
        return TRUE;
      }
      if (IsPanelButton(id) && HIWORD(wParam) == BN_CLICKED) OnButton(panel, id);
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(panel);
      return TRUE;
    case WM_DESTROY:
      RemoveModelessDialog(panel);
      SetSlidePanel(ShowOfPanel(panel), nullptr);
      return TRUE;
  }
  // Anything else that reaches the panel shows the pointer.
  ShowPointer();
  return FALSE;
}

}  // namespace

HWND OpenSlidePanel(HWND show) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(show, GWLP_HINSTANCE));
  return CreateDialogParamA(instance, kPanelTemplate, show, PanelProc, 0);
}

}  // namespace fq::win
