#include "base/win/status_dialogs.h"

#include <commctrl.h>

#include <string>

#include "base/cancel_flag.h"
#include "base/meter_math.h"
#include "base/messages.h"
#include "base/status_timing.h"
#include "base/win/message_box.h"
#include "base/win/meter.h"
#include "base/win/pump.h"
#include "base_res.h"
#include "base/region.h"

namespace fq::win {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 50;
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkMs = 1000;
constexpr UINT_PTR kCancelSubclass = 1;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void SetText(HWND dialog, int id, std::string_view text) {
  SetDlgItemTextA(dialog, id, std::string(text).c_str());
}

bool EnterHeldInForeground(HWND dialog, HWND cancel) {
  return GetForegroundWindow() == dialog && IsWindowVisible(cancel) &&
         (GetAsyncKeyState(VK_RETURN) & 0x8000) != 0;
}

// --- progress dialog ---------------------------------------------------------

void RequestCancel(HWND dialog) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (!IsWindowEnabled(dialog) || !IsWindowEnabled(cancel)) return;  // asked already
  SetCancelRequested(true);
  SetText(dialog, IDC_METER_LINE2, kCancelNotice);
  EnableWindow(cancel, FALSE);
  SetFocus(dialog);  // keeps the keyboard with the dialog
}

bool IsCancelKey(WPARAM ch) { return ch == 'c' || ch == 'C'; }

// Typing "c" must reach the dialog also while its Cancel button has the focus.
LRESULT CALLBACK CancelButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_CHAR && IsCancelKey(wp)) {
    RequestCancel(GetParent(h));
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(h, CancelButtonProc, kCancelSubclass);
  return DefSubclassProc(h, msg, wp, lp);
}

INT_PTR ProgressInit(HWND dialog) {
  SetFocus(dialog);
  SetCancelRequested(false);
  PlaceAtThird(dialog);
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  ShowWindow(cancel, SW_HIDE);
  SetWindowSubclass(cancel, CancelButtonProc, kCancelSubclass, 0);
  SetText(dialog, IDC_METER_LINE1, "");
  SetText(dialog, IDC_METER_LINE2, "");
  HWND meter = GetDlgItem(dialog, IDC_METER);
  SetMeterPos(meter, 0);
  SetMeterRange(meter, meter::kDialogRange);
  SetTimer(dialog, kPollTimer, kPollMs, nullptr);
  return FALSE;  // the focus is set
}

INT_PTR ProgressCommand(HWND dialog, WPARAM wp) {
  if (LOWORD(wp) != IDCANCEL) return FALSE;
  if (IsWindowVisible(GetDlgItem(dialog, IDCANCEL))) RequestCancel(dialog);
  return TRUE;
}

INT_PTR ProgressTimer(HWND dialog) {
  if (EnterHeldInForeground(dialog, GetDlgItem(dialog, IDCANCEL))) RequestCancel(dialog);
  return TRUE;
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return ProgressInit(dialog);
    case WM_COMMAND:
      return ProgressCommand(dialog, wp);
    case WM_CHAR:
      if (IsCancelKey(wp)) RequestCancel(dialog);
      return TRUE;
    case WM_TIMER:
      return ProgressTimer(dialog);
    case WM_DESTROY:
      KillTimer(dialog, kPollTimer);
      return FALSE;
    default:
      return FALSE;
  }
}

// --- delete status dialog ----------------------------------------------------

void RequestStop(HWND dialog) {
  SetCancelRequested(true);
  EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

INT_PTR CALLBACK DeleteStatusProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      PlaceAtThird(dialog);
      ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
      SetTimer(dialog, kPollTimer, kPollMs, nullptr);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) RequestStop(dialog);
      return TRUE;
    case WM_TIMER:
      if (EnterHeldInForeground(dialog, GetDlgItem(dialog, IDCANCEL))) RequestStop(dialog);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kPollTimer);
      return FALSE;
    default:
      return FALSE;
  }
}

// --- plain and blinking message windows --------------------------------------

INT_PTR CALLBACK PlainProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    PlaceAtThird(dialog);
    return TRUE;
  }
  return FALSE;
}

struct BlinkLine {
  int control;
  std::string_view text;
};
const BlinkLine kPreviewBlink{IDC_PREVIEW_MSG, kPreviewBlinkText};
const BlinkLine kCardBlink{IDC_CARD_MSG, kCardBlinkText};

INT_PTR BlinkTick(HWND dialog) {
  auto* line = reinterpret_cast<const BlinkLine*>(GetWindowLongPtrA(dialog, DWLP_USER));
  LONG_PTR tick = GetWindowLongPtrA(dialog, GWLP_USERDATA) + 1;
  SetWindowLongPtrA(dialog, GWLP_USERDATA, tick);
  if (line)
    SetText(dialog, line->control, camera::BlinkShowsText(static_cast<int>(tick)) ? line->text : "");
  return TRUE;
}

INT_PTR CALLBACK BlinkProc(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
      PlaceAtThird(dialog);
      SetTimer(dialog, kBlinkTimer, kBlinkMs, nullptr);
      return TRUE;
    case WM_TIMER:
      return BlinkTick(dialog);
    case WM_DESTROY:
      KillTimer(dialog, kBlinkTimer);
      return FALSE;
    default:
      return FALSE;
  }
}

// --- showing and removing over an owner --------------------------------------

void Remove(StatusOwner& link) {
  if (!link.showing) return;
  HWND dialog = link.status_window;
  HWND owner = link.saved_owner;
  if (owner) {
    EnableWindow(owner, TRUE);
    SetFocus(owner);
  }
  RemoveModelessDialog(dialog);
  ShowWindow(dialog, SW_HIDE);
  DestroyWindow(dialog);
  link.status_window = owner;
  link.saved_owner = nullptr;
  link.showing = false;
}

bool Show(StatusOwner& link, const std::string& name, DLGPROC proc, LPARAM param = 0) {
  Remove(link);
  HWND owner = link.status_window;
  HWND dialog = CreateDialogParamA(Instance(), name.c_str(), owner, proc, param);
  if (!dialog) {
    ShowError(err::kUnexpected);
    if (owner) EnableWindow(owner, TRUE);
    return false;
  }
  link.saved_owner = owner;
  link.status_window = dialog;
  link.showing = true;
  AddModelessDialog(dialog);
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  SetFocus(dialog);
  if (owner) EnableWindow(owner, FALSE);
  return true;
}

std::string ProgressTemplate() { return region::DialogName("MeterDlg", region::Variants::kEu); }

// The camera needs a pause between two connections.
struct ConnectionTimes {
  bool shown_before = false;
  DWORD removed_at = 0;
};
ConnectionTimes g_connection;

}  // namespace

void PlaceAtThird(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  int w = r.right - r.left;
  int h = r.bottom - r.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 3;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ShowProgressDialog(StatusOwner& link, bool on) {
  if (!on) {
    Remove(link);
    return true;
  }
  return Show(link, ProgressTemplate(), ProgressProc);
}

bool ShowConnectionStatus(StatusOwner& link, bool on) {
  if (!on) {
    if (link.showing) g_connection.removed_at = GetTickCount();
    Remove(link);
    return true;
  }
  // A plain sleep: nothing may reach the camera during its pause.
  DWORD wait = camera::QuietPeriodLeft(g_connection.shown_before, g_connection.removed_at,
                                       GetTickCount());
  if (wait) Sleep(wait);
  if (!Show(link, "DscStartStatusDlg", PlainProc)) return false;
  g_connection.shown_before = true;
  SetText(link.status_window, IDC_STATUS_LINE1, kConnectingText);
  return true;
}

bool ShowDeleteStatus(StatusOwner& link, bool on) {
  if (!on) {
    Remove(link);
    return true;
  }
  if (!Show(link, "DscStatusDlg", DeleteStatusProc)) return false;
  SetText(link.status_window, IDC_STATUS_LINE1, "");
  SetText(link.status_window, IDC_STATUS_LINE2, "");
  return true;
}

bool ShowPreviewMessage(StatusOwner& link, bool on) {
  if (!on) {
    Remove(link);
    return true;
  }
  return Show(link, "PREVIEWMSG", BlinkProc, reinterpret_cast<LPARAM>(&kPreviewBlink));
}

bool ShowCardMessage(StatusOwner& link, bool on) {
  if (!on) {
    Remove(link);
    return true;
  }
  return Show(link, "CFCARDMSG", BlinkProc, reinterpret_cast<LPARAM>(&kCardBlink));
}

bool ShowMovieMessage(StatusOwner& link, bool on) {
  if (!on) {
    Remove(link);
    return true;
  }
  return Show(link, "AVIMSG", PlainProc);
}

HWND CreateProgressDialog(HWND owner) {
  HWND dialog = CreateDialogParamA(Instance(), ProgressTemplate().c_str(), owner, ProgressProc, 0);
  if (!dialog) return nullptr;
  AddModelessDialog(dialog);
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  return dialog;
}

void SetProgressText(HWND dialog, std::string_view operation, std::string_view detail) {
  SetText(dialog, IDC_METER_LINE1, operation);
  SetText(dialog, IDC_METER_LINE2, detail);
}

HWND ProgressMeter(HWND dialog) { return GetDlgItem(dialog, IDC_METER); }

void OfferCancel(HWND dialog, bool more_items_follow) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (more_items_follow) {
    ShowWindow(cancel, SW_SHOW);
    EnableWindow(cancel, TRUE);
    SetFocus(cancel);
  } else {
    ShowWindow(cancel, SW_HIDE);
    SetCancelRequested(false);
  }
}

ProgressDialog::ProgressDialog(HWND owner) : owner_(owner), dialog_(nullptr) {
  if (owner_) EnableWindow(owner_, FALSE);
  dialog_ = CreateProgressDialog(owner_);
  if (!dialog_ && owner_) EnableWindow(owner_, TRUE);
}

ProgressDialog::~ProgressDialog() {
  if (!dialog_) return;
  if (owner_) {
    EnableWindow(owner_, TRUE);
    SetFocus(owner_);
  }
  RemoveModelessDialog(dialog_);
  DestroyWindow(dialog_);
}

}  // namespace fq::win
