#include "output/win/capture.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/command_ids.h"
#include "base/messages.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "image/win/captured_image.h"
#include "image/win/image_display.h"
#include "output/capture_rules.h"
#include "output/clipboard_checks.h"
#include "output/win/clipboard_keeper.h"
#include "output_res.h"

namespace fq::win {
namespace {

constexpr char kInvalidSeconds[] = "It is invalid input value.\nPlease input again.";
constexpr char kCaptureFailed[] = "It failed to capture.";
// Forces the road of palette displays on any display (tests).
constexpr char kPaletteRoadSwitch[] = "FQ_CAPTURE_PALETTE_ROAD";

capture::Countdown g_countdown;
// The palette road between the key press and the picture's arrival.
struct PaletteCapture {
  bool waiting = false;
  ClipboardKeeper kept;
};
PaletteCapture g_palette;

void ShowCaptureFailed() {
  const std::string caption(kAppCaption);
  MessageBoxA(nullptr, kCaptureFailed, caption.c_str(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

void SetCaptureItemsGreyed(HWND frame, bool greyed) {
  HMENU menu = GetMenu(frame);
  if (!menu) return;
  for (int id : {cmd::kDisplayCapture, cmd::kWindowCapture})
    EnableMenuItem(menu, id, MF_BYCOMMAND | (greyed ? MF_GRAYED : MF_ENABLED));
  DrawMenuBar(frame);
}

// The frame comes back in front with the capture commands.
void RestoreFrame(HWND frame) {
  if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
  SetForegroundWindow(frame);
  SetCaptureItemsGreyed(frame, false);
}

HWND MdiClientOf(HWND frame) { return FindWindowExA(frame, nullptr, "MDIClient", nullptr); }

void OpenPicture(HWND frame, ImageRecord picture) {
  if (!OpenCapturedImage(MdiClientOf(frame), std::move(picture))) ShowError(err::kMemory);
}

// --- Dialog --------------------------------------------------------------------

void OnSecondsChanged(HWND dlg) {
  char text[16] = "";
  GetDlgItemTextA(dlg, IDC_CAPTURE_SECONDS, text, sizeof text);
  // More than 30 is held at 30 as it is typed.
  if (auto s = capture::SecondsFromField(text); s && *s == settings::kCaptureSecondsMax &&
                                                std::string(text) != "30")
    SetDlgItemTextA(dlg, IDC_CAPTURE_SECONDS, "30");
}

bool OnOk(HWND dlg) {
  char text[16] = "";
  GetDlgItemTextA(dlg, IDC_CAPTURE_SECONDS, text, sizeof text);
  auto seconds = capture::SecondsFromField(text);
  if (!seconds) {
    const std::string caption(kAppCaption);
    MessageBoxA(dlg, kInvalidSeconds, caption.c_str(), MB_OK | MB_ICONHAND);
    SetFocus(GetDlgItem(dlg, IDC_CAPTURE_SECONDS));
    return false;
  }
  settings::WriteCapture(settings::Store(), IsDlgButtonChecked(dlg, IDC_CAPTURE_HIDE) == BST_CHECKED,
                         *seconds);
  return true;
}

INT_PTR CALLBACK CaptureDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dlg, IDC_CAPTURE_SECONDS, EM_LIMITTEXT, 2, 0);
      SendDlgItemMessageA(dlg, IDC_CAPTURE_SPIN, UDM_SETRANGE32, settings::kCaptureSecondsMin,
                          settings::kCaptureSecondsMax);
      SendDlgItemMessageA(dlg, IDC_CAPTURE_SPIN, UDM_SETPOS32, 0,
                          settings::ReadCaptureSeconds(settings::Store()));
      SetDlgItemInt(dlg, IDC_CAPTURE_SECONDS, settings::ReadCaptureSeconds(settings::Store()), FALSE);
      CheckDlgButton(dlg, IDC_CAPTURE_HIDE,
                     settings::ReadCaptureHidesApp(settings::Store()) ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CAPTURE_SECONDS:
          if (HIWORD(wParam) == EN_CHANGE) OnSecondsChanged(dlg);
          return TRUE;
        case IDOK:
          if (OnOk(dlg)) EndDialog(dlg, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dlg, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

// --- Taking the picture ---------------------------------------------------------

// The screen's pixels in `area` as a 24-bit picture; with the system
// palette of a palette display.
Result<ImageRecord> CopyScreenArea(const capture::Area& area) {
  WindowDC screen(nullptr);
  MemoryDC memory(screen.get());
  Bitmap bitmap(CreateCompatibleBitmap(screen.get(), area.width(), area.height()));
  if (!screen || !memory || !bitmap) return Failure{err::kMemory};
  {
    SelectedObject use(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, area.width(), area.height(), screen.get(), area.left, area.top,
                SRCCOPY))
      return Failure{err::kCreateBitmap};
  }
  Palette palette;
  if (GetDeviceCaps(screen.get(), RASTERCAPS) & RC_PALETTE) {
    const int n = GetDeviceCaps(screen.get(), SIZEPALETTE);
    std::vector<BYTE> bytes(sizeof(LOGPALETTE) + static_cast<size_t>(n) * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(bytes.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    GetSystemPaletteEntries(screen.get(), 0, n, lp->palPalEntry);
    palette.reset(CreatePalette(lp));
  }
  return ImageFromDeviceBitmap(bitmap.get(), palette.get(), kBiRgb, 24);
}

std::optional<capture::Area> AreaOf(int command) {
  HWND target = command == cmd::kDisplayCapture ? GetDesktopWindow() : GetForegroundWindow();
  RECT r;
  if (!target || !GetWindowRect(target, &r)) return std::nullopt;
  return capture::ClipToScreen({r.left, r.top, r.right, r.bottom}, GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN));
}

capture::Road DisplayRoad() {
  if (const char* forced = std::getenv(kPaletteRoadSwitch); forced && *forced == '1')
    return capture::Road::kPalette;
  WindowDC screen(nullptr);
  return capture::RoadForDepth(GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES));
}

void CaptureScreenArea(HWND frame, int command) {
  auto area = AreaOf(command);
  if (!area) {
    RestoreFrame(frame);
    ShowCaptureFailed();
    return;
  }
  auto picture = CopyScreenArea(*area);
  if (picture) OpenPicture(frame, std::move(*picture));
  RestoreFrame(frame);
  if (!picture) ShowFailure(picture);
}

// Palette displays: the system's own copy of the screen through the
// clipboard, whose contents are set aside first and come back afterwards.
bool CaptureThroughClipboard(HWND frame, int command) {
  if (!g_palette.kept.TakeAsideAndEmpty(frame)) {
    RestoreFrame(frame);
    ShowError(err::kOpenClipboard);
    return false;
  }
  g_palette.waiting = true;
  const BYTE form = command == cmd::kDisplayCapture ? 0 : 1;
  keybd_event(VK_SNAPSHOT, form, 0, 0);
  keybd_event(VK_SNAPSHOT, form, KEYEVENTF_KEYUP, 0);
  return true;
}

// The clipboard's bitmap block, copied out; nothing when there is none.
// Failure: kOpenClipboard.
Result<std::vector<uint8_t>> ClipboardBitmapBytes(HWND owner) {
  if (!OpenClipboardWithin(owner, 500)) return Failure{err::kOpenClipboard};
  std::vector<uint8_t> bytes;
  if (HGLOBAL h = static_cast<HGLOBAL>(GetClipboardData(CF_DIB))) {
    if (const void* p = GlobalLock(h)) {
      const auto* b = static_cast<const uint8_t*>(p);
      bytes.assign(b, b + GlobalSize(h));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return bytes;
}

// A window that may take the activation from the minimised frame: shown,
// usable, not a tool window (the taskbar is one) and not the program's own.
bool CanTakeActivation(HWND w, HWND frame) {
  if (!IsWindowVisible(w) || IsIconic(w) || !IsWindowEnabled(w)) return false;
  if (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return false;
  if (GetWindow(w, GW_OWNER) == frame) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid != GetCurrentProcessId();
}

// The frame is minimised and the window preceding it in the window order
// becomes the active one (when there is none, the next one after it), so
// that a window capture takes that window and never the minimised frame,
// which some systems leave active.
void HideForCapture(HWND frame) {
  ShowWindow(frame, SW_MINIMIZE);
  for (UINT direction : {GW_HWNDPREV, GW_HWNDNEXT}) {
    for (HWND w = GetWindow(frame, direction); w; w = GetWindow(w, direction)) {
      if (!CanTakeActivation(w, frame)) continue;
      SetForegroundWindow(w);
      return;
    }
  }
}

}  // namespace

bool CaptureCommand(HWND frame, int command_id) {
  if (g_countdown.pending() || g_palette.waiting) return false;
  const std::string name = region::DialogName("CAPTURE", region::Variants::kUsEuPlain);
  if (DialogBoxParamA(GetModuleHandleA(nullptr), name.c_str(), frame, CaptureDialogProc, 0) != IDOK)
    return false;
  g_countdown.Start(command_id, settings::ReadCaptureSeconds(settings::Store()));
  SetCaptureItemsGreyed(frame, true);
  if (settings::ReadCaptureHidesApp(settings::Store())) HideForCapture(frame);
  return true;
}

bool CaptureTick(HWND) { return g_countdown.Tick(); }

bool TakeCapture(HWND frame) {
  const int command = g_countdown.command();
  g_countdown.Stop();
  if (!command) return false;
  switch (DisplayRoad()) {
    case capture::Road::kDirect:
      CaptureScreenArea(frame, command);
      return false;
    case capture::Road::kPalette:
      return CaptureThroughClipboard(frame, command);
    case capture::Road::kNone:
    default:
      RestoreFrame(frame);
      ShowCaptureFailed();
      return false;
  }
}

void CapturedPictureArrived(HWND frame) {
  if (!g_palette.waiting) return;
  g_palette.waiting = false;
  auto bytes = ClipboardBitmapBytes(frame);
  Result<ImageRecord> picture = Failure{err::kUnexpected};
  if (bytes && !bytes->empty()) picture = clip::PictureFromBitmapBlock(*bytes);
  // What was on the clipboard goes back before anything else happens.
  const bool put_back = g_palette.kept.PutBack(frame);
  if (picture) OpenPicture(frame, std::move(*picture));
  RestoreFrame(frame);
  if (!bytes) {
    ShowError(bytes.message());
  } else if (!picture) {
    ShowCaptureFailed();
  }
  if (!put_back) ShowError(err::kOpenClipboard);
}

void CaptureFrameClosing(HWND frame) {
  g_countdown.Stop();
  g_palette.waiting = false;
  g_palette.kept.PutBack(frame);
}

}  // namespace fq::win
