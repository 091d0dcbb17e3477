#include "base/win/meter_demo.h"

#include <cstring>

#include "base/cancel_flag.h"
#include "base/win/meter.h"
#include "base/win/pump.h"
#include "base/win/status_dialogs.h"
#include "base_res.h"

namespace fq::win {
namespace {

constexpr char kSwitch[] = "/demo-meter";
constexpr DWORD kStepMs = 60;
constexpr DWORD kCancelWaitMs = 30000;
constexpr DWORD kNoticeMs = 1500;
constexpr int kHeldPosition = 13;

// Pumps until a cancel request arrives or the time is up.
bool WaitForCancel(DWORD ms) {
  DWORD start = GetTickCount();
  while (!CancelRequested()) {
    if (GetTickCount() - start > ms) return false;
    if (!PumpWait(kStepMs)) return false;
  }
  return true;
}

int ProgressStep(StatusOwner& link) {
  if (!ShowProgressDialog(link, true)) return 2;
  HWND dialog = link.status_window;
  SetProgressText(dialog, "Now transferring image(Digital Camera -> PC).", "File Name: DSC0001.jpg");
  OfferCancel(dialog, true);
  HWND meter = ProgressMeter(dialog);
  for (int pos = 1; pos <= kHeldPosition; ++pos) {
    PumpWait(kStepMs);
    SetMeterPos(meter, pos);
  }
  bool cancelled = WaitForCancel(kCancelWaitMs);
  PumpWait(kNoticeMs);  // the cancel notice stays readable for a moment
  ShowProgressDialog(link, false);
  return cancelled ? 0 : 1;
}

int DeleteStep(StatusOwner& link) {
  SetCancelRequested(false);
  if (!ShowDeleteStatus(link, true)) return 2;
  SetDlgItemTextA(link.status_window, IDC_STATUS_LINE2, "Image No.1 deleting.");
  ShowWindow(GetDlgItem(link.status_window, IDCANCEL), SW_SHOW);
  bool cancelled = WaitForCancel(kCancelWaitMs);
  ShowDeleteStatus(link, false);
  return cancelled ? 0 : 1;
}

int MessageStep(StatusOwner& link, bool (*show)(StatusOwner&, bool), DWORD ms) {
  if (!show(link, true)) return 2;
  PumpWait(ms);
  show(link, false);
  return 0;
}

}  // namespace

bool IsMeterDemo(const char* command_line) {
  return command_line && std::strncmp(command_line, kSwitch, sizeof kSwitch - 1) == 0;
}

int RunMeterDemo(HINSTANCE instance) {
  if (!RegisterMeterClass(instance)) return 2;
  StatusOwner link;
  int result = ProgressStep(link);
  int r = DeleteStep(link);
  if (r > result) result = r;
  using ShowFn = bool (*)(StatusOwner&, bool);
  struct Step {
    ShowFn show;
    DWORD ms;
  };
  // Long enough for a test to see the blinking lines change.
  const Step steps[] = {{ShowPreviewMessage, 4500},
                        {ShowCardMessage, 4500},
                        {ShowMovieMessage, 3000},
                        {ShowConnectionStatus, 3000}};
  for (const Step& s : steps) {
    r = MessageStep(link, s.show, s.ms);
    if (r > result) result = r;
  }
  return result;
}

}  // namespace fq::win
