#include "camera/win/link_hooks.h"

#include "base/win/message_box.h"
#include "base/win/pump.h"

namespace fq::win {

void LinkReporter::ShowMessage(int index) { ShowError(index); }

void LinkReporter::EnableCameraCommands() {
  if (enable_) enable_();
}

void LinkReporter::Hourglass(bool on) {
  SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

bool LinkPump::Pump() { return PumpMessages(); }

void LinkPump::Idle(cam::Clock&, uint64_t micros) {
  DWORD ms = static_cast<DWORD>((micros + 999) / 1000);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms ? ms : 1, QS_ALLINPUT);
}

cam::Clock& LinkClock() { return cam::SystemClock(); }

}  // namespace fq::win
