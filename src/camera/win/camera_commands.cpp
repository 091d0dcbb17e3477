#include "camera/win/camera_commands.h"

#include "base/win/not_available.h"

namespace fq::win {

void DataInCommand(HWND) { ShowNotAvailable(); }
void DataOutCommand(HWND) { ShowNotAvailable(); }
void ComPortSetupCommand(HWND) { ShowNotAvailable(); }
void CameraSetupCommand(HWND) { ShowNotAvailable(); }

}  // namespace fq::win
