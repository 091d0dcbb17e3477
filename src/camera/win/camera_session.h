// The one camera connection record of the program and what the window layer
// puts around it: the Win32 port, the message boxes and pump of its waits,
// and the owner of the status windows shown over the frame while a camera
// flow runs.
#pragma once

#include <windows.h>

#include "base/win/status_dialogs.h"
#include "camera/camera_link.h"
#include "camera/win/link_hooks.h"
#include "camera/win/win32_port.h"

namespace fq::win {

struct CameraSession {
  CameraSession();
  Win32Port port;
  LinkReporter reporter;
  LinkPump pump;
  cam::CameraLink link;
  StatusOwner status;
};

// The program's session (made on first use). `owner` becomes the window the
// status windows are shown over.
CameraSession& Camera(HWND owner);

}  // namespace fq::win
