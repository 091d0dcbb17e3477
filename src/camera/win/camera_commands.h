// The camera commands of the frame's menu and toolbar: download, upload,
// port setup and camera setup. Download connects, opens the camera's memory
// list and returns when the list has closed; the others are not built into
// the program yet: each shows the not-available notice and returns.
#pragma once

#include <windows.h>

namespace fq::win {

// "Data in from Camera": runs while CommBusy is set by the frame.
void DataInCommand(HWND frame);
void DataOutCommand(HWND frame);
void ComPortSetupCommand(HWND frame);
void CameraSetupCommand(HWND frame);

}  // namespace fq::win
