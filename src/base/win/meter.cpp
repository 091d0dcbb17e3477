#include "base/win/meter.h"

#include <string>

#include "base/meter_math.h"
#include "base_res.h"
#include "base/win/gdi.h"

namespace fq::win {
namespace {

// Window words, one pointer-sized slot each.
constexpr int kRangeSlot = 0;
constexpr int kPosSlot = sizeof(LONG_PTR);
constexpr int kFontSlot = 2 * sizeof(LONG_PTR);
constexpr int kExtraBytes = 3 * sizeof(LONG_PTR);

constexpr COLORREF kBarColour = RGB(0, 0, 255);
constexpr COLORREF kBarTextColour = RGB(255, 255, 255);
constexpr COLORREF kRestTextColour = RGB(0, 0, 0);

int Slot(HWND h, int slot) { return static_cast<int>(GetWindowLongPtrA(h, slot)); }

void Repaint(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
  UpdateWindow(h);
}

// One pass of the text, clipped to `part`, which it also fills.
void DrawPart(HDC dc, const RECT& part, int x, int y, const std::string& text, COLORREF back,
              COLORREF fore) {
  SetBkColor(dc, back);
  SetTextColor(dc, fore);
  ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &part, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
}

LRESULT OnPaint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT rc;
  GetClientRect(h, &rc);
  meter::MeterView v = meter::ComputeMeter(Slot(h, kRangeSlot), Slot(h, kPosSlot), rc.right);
  std::string text = meter::MeterText(v.percent);
  {
    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(GetWindowLongPtrA(h, kFontSlot)));
    SIZE x{};
    GetTextExtentPoint32A(dc, "X", 1, &x);
    int y = meter::TextTop(rc.bottom, x.cy);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    RECT left{0, 0, v.split_x, rc.bottom};
    RECT right{v.split_x, 0, rc.right, rc.bottom};
    DrawPart(dc, left, rc.right / 2, y, text, kBarColour, kBarTextColour);
    DrawPart(dc, right, rc.right / 2, y, text, GetSysColor(COLOR_MENU), kRestTextColour);
  }
  EndPaint(h, &ps);
  return 0;
}

LRESULT OnSetValue(HWND h, int slot, WPARAM value) {
  SetWindowLongPtrA(h, slot, static_cast<LONG_PTR>(static_cast<int>(value)));
  Repaint(h);
  return 0;
}

LRESULT OnSetFont(HWND h, WPARAM font, LPARAM redraw) {
  SetWindowLongPtrA(h, kFontSlot, static_cast<LONG_PTR>(font));
  if (LOWORD(redraw)) Repaint(h);
  return 0;
}

LRESULT CALLBACK MeterProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      SetWindowLongPtrA(h, kRangeSlot, meter::kInitialRange);
      return 0;
    case WM_PAINT:
      return OnPaint(h);
    case kMeterSetRange:
      return OnSetValue(h, kRangeSlot, wp);
    case kMeterGetRange:
      return Slot(h, kRangeSlot);
    case kMeterSetPos:
      return OnSetValue(h, kPosSlot, wp);
    case kMeterGetPos:
      return Slot(h, kPosSlot);
    case WM_SETFONT:
      return OnSetFont(h, wp, lp);
    case WM_GETFONT:
      return GetWindowLongPtrA(h, kFontSlot);
    case WM_ENABLE:
      Repaint(h);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    default:
      return DefWindowProcA(h, msg, wp, lp);
  }
}

}  // namespace

bool RegisterMeterClass(HINSTANCE instance) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, ORX_METER_CLASS, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  wc.lpfnWndProc = MeterProc;
  wc.cbWndExtra = kExtraBytes;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = ORX_METER_CLASS;
  return RegisterClassA(&wc) != 0;
}

void SetMeterRange(HWND meter, int range) {
  SendMessageA(meter, kMeterSetRange, static_cast<WPARAM>(range), 0);
}
void SetMeterPos(HWND meter, int position) {
  SendMessageA(meter, kMeterSetPos, static_cast<WPARAM>(position), 0);
}
int MeterRange(HWND meter) { return static_cast<int>(SendMessageA(meter, kMeterGetRange, 0, 0)); }
int MeterPos(HWND meter) { return static_cast<int>(SendMessageA(meter, kMeterGetPos, 0, 0)); }

}  // namespace fq::win
