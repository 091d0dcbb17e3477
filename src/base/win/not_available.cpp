#include "base/win/not_available.h"

#include <windows.h>

#include "base/messages.h"
#include "base_res.h"

namespace fq::win {

void ShowNotAvailable() {
  char text[256] = "";
  LoadStringA(GetModuleHandleA(nullptr), IDS_NOT_AVAILABLE, text, sizeof text);
  const std::string caption(kAppCaption);
  MessageBoxA(GetFocus(), text, caption.c_str(), MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace fq::win
