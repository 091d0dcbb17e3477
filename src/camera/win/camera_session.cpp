#include "camera/win/camera_session.h"

namespace fq::win {

CameraSession::CameraSession() : link(port, LinkClock(), pump, reporter) {}

CameraSession& Camera(HWND owner) {
  static CameraSession session;
  if (!session.status.showing) session.status.status_window = owner;
  return session;
}

}  // namespace fq::win
