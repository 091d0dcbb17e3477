// The camera commands of the frame's menu and toolbar: download, upload,
// port setup and camera setup. Download connects, opens the camera's memory
// list and returns when the list has closed; upload, camera setup and port
// setup run their dialogs.
#pragma once

#include <windows.h>

#include "camera/camera_link.h"

namespace fq::win {

// "Data in from Camera": runs while CommBusy is set by the frame.
void DataInCommand(HWND frame);
// "Data out to Camera...": the file dialog and the upload.
void DataOutCommand(HWND frame);
// "COM Port Setup...": the port setup dialog.
void ComPortSetupCommand(HWND frame);
// "Camera Setup...": connects and opens the camera clock dialog.
void CameraSetupCommand(HWND frame);

// The modal camera clock dialog over a setup connection (the Camera Setup
// command opens it after ConnectForSetup).
INT_PTR CameraClockDialog(HWND owner, cam::CameraLink& link);
// The modal port setup dialog; Auto Setup searches with the program's link.
INT_PTR PortSetupDialog(HWND owner);

// After "Camera memory is full." during an upload: opens the memory list of
// the link's camera type. True when a list now owns the connection.
bool OpenMemoryListAfterUpload(cam::CameraLink& link);

}  // namespace fq::win
