// The one connection record of the program and what lives as long as it:
// the serial port, the link's hooks into the windows, the status windows
// shown over the frame or the memory list, and the album that receives the
// pictures of the memory list now open.
#pragma once

#include <windows.h>

#include "base/win/status_dialogs.h"
#include "camera/camera_link.h"
#include "camera/download.h"
#include "camera/win/link_hooks.h"
#include "camera/win/win32_port.h"

namespace fq::win {

struct CameraSession {
  CameraSession() : link(port, LinkClock(), pump, reporter) {}
  Win32Port port;
  LinkReporter reporter;
  LinkPump pump;
  cam::CameraLink link;
  HWND frame = nullptr;
  cam::AlbumFiling filing;
  HWND receiving_album = nullptr;  // while it stays open
};

CameraSession& Camera();

// Ends the connection in the camera's frame format and closes the port.
void EndAndClose(CameraSession& s);

// The MDI client of the frame, where album windows are made.
HWND MdiClientOf(HWND frame);

}  // namespace fq::win
