// "Camera Setup...": the setup connection and the camera clock dialog
// ("TIMESETUP_US", "TIMESETUP_EU", "TIMESETUP_JAPAN").
#include <windows.h>

#include <string>

#include "base/messages.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/win/message_box.h"
#include "base/win/status_dialogs.h"
#include "camera/camera_clock.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "camera/win/camera_commands.h"
#include "camera/win/camera_session.h"
#include "camera_res.h"

namespace fq::win {
namespace {

constexpr uint32_t kClosingWaitMs = 1500;

struct FieldRule {
  int id;
  std::string cam::ClockEntry::*text;
  size_t limit;
};
constexpr FieldRule kFields[] = {
    {IDC_CLOCK_YEAR, &cam::ClockEntry::year, 4},   {IDC_CLOCK_MONTH, &cam::ClockEntry::month, 2},
    {IDC_CLOCK_DAY, &cam::ClockEntry::day, 2},     {IDC_CLOCK_HOUR, &cam::ClockEntry::hour, 2},
    {IDC_CLOCK_MINUTE, &cam::ClockEntry::minute, 2},
};

struct ClockState {
  cam::CameraLink* link = nullptr;
  cam::ClockEntry read;  // the texts as read, put back over too long an entry
  bool filling = false;
};

ClockState* StateOf(HWND d) { return reinterpret_cast<ClockState*>(GetWindowLongPtrA(d, DWLP_USER)); }

std::string Text(HWND d, int id) {
  char buf[64] = "";
  GetDlgItemTextA(d, id, buf, sizeof buf);
  return buf;
}

void Fill(HWND d, const cam::ClockEntry& e) {
  ClockState* s = StateOf(d);
  s->filling = true;
  for (const FieldRule& f : kFields) SetDlgItemTextA(d, f.id, (e.*f.text).c_str());
  CheckRadioButton(d, IDC_CLOCK_AM, IDC_CLOCK_PM, e.pm ? IDC_CLOCK_PM : IDC_CLOCK_AM);
  s->filling = false;
}

cam::ClockEntry Entry(HWND d) {
  cam::ClockEntry e;
  for (const FieldRule& f : kFields) e.*f.text = Text(d, f.id);
  e.pm = IsDlgButtonChecked(d, IDC_CLOCK_PM) == BST_CHECKED;
  return e;
}

int FieldId(cam::ClockField f) {
  switch (f) {
    case cam::ClockField::kYear: return IDC_CLOCK_YEAR;
    case cam::ClockField::kMonth: return IDC_CLOCK_MONTH;
    case cam::ClockField::kDay: return IDC_CLOCK_DAY;
    case cam::ClockField::kHour: return IDC_CLOCK_HOUR;
    default: return IDC_CLOCK_MINUTE;
  }
}

void OnEdited(HWND d, int id) {
  ClockState* s = StateOf(d);
  if (s->filling) return;
  for (const FieldRule& f : kFields) {
    if (f.id != id) continue;
    if (cam::FieldFits(Text(d, id), f.limit)) return;
    s->filling = true;
    SetDlgItemTextA(d, id, (s->read.*f.text).c_str());
    s->filling = false;
  }
}

void CloseAfterWait(HWND d, INT_PTR answer) {
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  cam::BusyWait(*StateOf(d)->link, kClosingWaitMs);
  SetCursor(old);
  EndDialog(d, answer);
}

void OnOk(HWND d) {
  cam::ClockField bad = cam::ClockField::kNone;
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const int result = cam::SetCameraClock(*StateOf(d)->link, Entry(d), bad);
  SetCursor(old);
  if (bad != cam::ClockField::kNone) {
    HWND field = GetDlgItem(d, FieldId(bad));
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    return;
  }
  if (result != cam::rc::kOk) return;  // the link has shown what went wrong
  CloseAfterWait(d, IDOK);
}

void OnClockPc(HWND d) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  Fill(d, cam::EntryOf(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute));
}

INT_PTR CALLBACK ClockProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(d, DWLP_USER, lp);
      PlaceAtThird(d);
      ClockState* s = StateOf(d);
      if (cam::ReadCameraClock(*s->link, s->read) != cam::rc::kOk) {
        EndDialog(d, IDABORT);
        return TRUE;
      }
      Fill(d, s->read);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: OnOk(d); return TRUE;
        case IDCANCEL: CloseAfterWait(d, IDCANCEL); return TRUE;
        case IDC_CLOCK_PC: OnClockPc(d); return TRUE;
        default:
          if (HIWORD(wp) == EN_CHANGE) OnEdited(d, LOWORD(wp));
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR CameraClockDialog(HWND owner, cam::CameraLink& link) {
  ClockState state;
  state.link = &link;
  const std::string name = region::DialogName("TIMESETUP", region::Variants::kUsEuJapan);
  return DialogBoxParamA(GetModuleHandleA(nullptr), name.c_str(), owner, ClockProc,
                         reinterpret_cast<LPARAM>(&state));
}

void CameraSetupCommand(HWND frame) {
  CameraSession& session = Camera();
  session.frame = frame;
  cam::CameraLink& link = session.link;
  StatusOwner status;
  status.status_window = frame;
  cam::LoadPortSettings(link, settings::Store());
  if (cam::OpenPort(link) != cam::rc::kOk) return;
  const int before = link.camera_type;
  link.camera_type = cam::kNoCamera;
  cam::BeginConnectStatus(link);
  ShowConnectionStatus(status, true);
  const int result = cam::ConnectForSetup(link);
  ShowConnectionStatus(status, false);
  cam::EndConnectStatus(link);
  if (result == cam::rc::kOk) {
    settings::WriteSpeedCode(settings::Store(), link.speed_code);
    CameraClockDialog(frame, link);
    cam::EndConnectionSequenced(link);
  } else if (link.camera_type == 1) {
    ShowError(err::kNotAvailableOnCamera);
    cam::EndConnectionMarker(link);
  } else if (link.camera_type == cam::kNoCamera) {
    link.camera_type = before;  // nothing identified: the last camera's type stands
  }
  if (link.camera_type == 3) link.camera_type = 2;
  cam::ClosePort(link);
}

}  // namespace fq::win
