#include "camera/win/camera_commands.h"

#include "base/settings.h"
#include "base/win/status_dialogs.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "camera/win/camera_session.h"
#include "camera/win/memory_list_dialog.h"

namespace fq::win {

void DataInCommand(HWND frame) {
  CameraSession& s = Camera();
  s.frame = frame;
  cam::LoadPortSettings(s.link, settings::Store());
  if (cam::OpenPort(s.link) != cam::rc::kOk) return;
  StatusOwner status;
  status.status_window = frame;
  if (!ShowConnectionStatus(status, true)) {
    cam::ClosePort(s.link);
    return;
  }
  const int result = cam::ConnectForDownload(s.link);
  ShowConnectionStatus(status, false);
  if (result != cam::rc::kOk) {
    EndAndClose(s);
    return;
  }
  settings::WriteSpeedCode(settings::Store(), s.link.speed_code);  // it worked: keep it
  const bool opened = OpenMemoryList(frame);
  // Type 1 hands the connection back; the grids end it themselves.
  if (s.link.camera_type == 1 || !opened) EndAndClose(s);
}

// After "Camera memory is full." during an upload the memory list of the
// type lets the user make room. Type 1's list is modal and hands the
// connection back; a grid ends it itself.
bool OpenMemoryListAfterUpload(cam::CameraLink& link) {
  CameraSession& s = Camera();
  const bool opened = OpenMemoryList(s.frame);
  return opened && link.camera_type != 1;
}

}  // namespace fq::win
