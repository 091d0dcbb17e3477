#include "output/win/output_commands.h"

#include "base/win/not_available.h"

namespace fq::win {

void PrintCommand(HWND, HWND) { ShowNotAvailable(); }
void PrintSetupCommand(HWND) { ShowNotAvailable(); }
void CaptureCommand(HWND, int) { ShowNotAvailable(); }
// No capture can be pending yet, so nothing waits for a picture.
void CapturedPictureArrived(HWND) {}

}  // namespace fq::win
