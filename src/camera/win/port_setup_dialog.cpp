// "COM Port Setup...": the "CommParaSet" dialog (or "CommParaSet_EU") with
// the port, the speed and the search of the ports for the camera.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/region.h"
#include "base/settings.h"
#include "camera/port_setup.h"
#include "camera/win/camera_commands.h"
#include "camera/win/camera_session.h"
#include "camera_res.h"

namespace fq::win {
namespace {

struct PortState {
  std::string port;  // the dialog's choice, "COM1".."COM4"
  int speed = 1;     // the chosen speed code
  int initial_speed = 1;
  HWND owner = nullptr;
};

PortState* StateOf(HWND d) { return reinterpret_cast<PortState*>(GetWindowLongPtrA(d, DWLP_USER)); }

int PortNumber(const std::string& name) { return name.size() == 4 ? name[3] - '0' : 1; }

void CheckPort(HWND d, int n) {
  CheckRadioButton(d, IDC_PORT_COM1, IDC_PORT_COM4, IDC_PORT_COM1 + n - 1);
}

void CheckSpeed(HWND d, int code) {
  for (size_t i = 0; i < cam::kSpeedButtonCodes.size(); ++i)
    if (cam::kSpeedButtonCodes[i] == code)
      CheckRadioButton(d, IDC_SPEED_9600, IDC_SPEED_115200, IDC_SPEED_9600 + static_cast<int>(i));
}

void EnableButtons(HWND d, bool on) {
  for (int id : {IDOK, IDCANCEL, IDC_AUTO_SETUP}) EnableWindow(GetDlgItem(d, id), on);
}

void OnInit(HWND d) {
  PortState* s = StateOf(d);
  settings::SettingsStore& store = settings::Store();
  s->port = settings::ReadPortName(store);
  CheckPort(d, PortNumber(s->port));
  const uint32_t mask = static_cast<uint32_t>(ProbePortSpeeds(s->port.c_str()));
  s->speed = cam::InitialSpeedCode(settings::Read(store, settings::kBaudrate), mask);
  s->initial_speed = s->speed;
  CheckSpeed(d, s->speed);
}

void OnAutoSetup(HWND d) {
  PortState* s = StateOf(d);
  settings::SettingsStore& store = settings::Store();
  EnableButtons(d, false);
  settings::WritePortName(store, s->port);
  settings::WriteSpeedCode(store, s->speed);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  CameraSession& session = Camera();
  cam::LoadPortSettings(session.link, store);
  const int found = cam::FindCameraPort(session.link, cam::DefaultSearchPorts());
  SetCursor(old);
  if (found) {
    CheckPort(d, found);
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", found);
    s->port = name;
  }
  EnableButtons(d, true);
  settings::WriteSpeedCode(store, s->speed);
}

INT_PTR CALLBACK PortProc(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(d, DWLP_USER, lp);
      OnInit(d);
      return TRUE;
    case WM_COMMAND: {
      PortState* s = StateOf(d);
      const int id = LOWORD(wp);
      if (id >= IDC_PORT_COM1 && id <= IDC_PORT_COM4) {
        s->port = "COM" + std::to_string(id - IDC_PORT_COM1 + 1);
        return TRUE;
      }
      if (id >= IDC_SPEED_9600 && id <= IDC_SPEED_115200) {
        s->speed = cam::kSpeedButtonCodes[static_cast<size_t>(id - IDC_SPEED_9600)];
        return TRUE;
      }
      switch (id) {
        case IDOK:
          settings::WritePortName(settings::Store(), s->port);
          settings::WriteSpeedCode(settings::Store(), s->speed);
          EndDialog(d, IDOK);
          return TRUE;
        case IDCANCEL:
          settings::WriteSpeedCode(settings::Store(), s->initial_speed);
          EndDialog(d, IDCANCEL);
          return TRUE;
        case IDC_AUTO_SETUP:
          OnAutoSetup(d);
          return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR PortSetupDialog(HWND owner) {
  PortState state;
  state.owner = owner;
  const std::string name = region::DialogName("CommParaSet", region::Variants::kEu);
  return DialogBoxParamA(GetModuleHandleA(nullptr), name.c_str(), owner, PortProc,
                         reinterpret_cast<LPARAM>(&state));
}

void ComPortSetupCommand(HWND frame) { PortSetupDialog(frame); }

}  // namespace fq::win
