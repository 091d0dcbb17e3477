#include "camera/win/camera_session.h"

#include "camera/connection.h"

namespace fq::win {

CameraSession& Camera() {
  static CameraSession session;
  return session;
}

void EndAndClose(CameraSession& s) {
  cam::EndConnection(s.link);
  cam::ClosePort(s.link);
}

HWND MdiClientOf(HWND frame) { return frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr; }

}  // namespace fq::win
