// The camera commands of the frame's menu and toolbar: download, upload,
// port setup and camera setup, and the camera operations the memory lists
// start (viewfinder preview and deletion).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "camera/camera_link.h"
#include "camera/delete_flows.h"

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

// What the type-1 list does while its rows are previewed or deleted.
struct ListHooks {
  std::function<void(int row)> caret;   // the list caret to a row
  std::function<void()> rows_changed;   // fill the rows again (cam::TypeOneRows)
};
// The operations of the memory lists, with the "DscStatusDlg" status dialog
// shown over `owner` (the list). Each returns the link's result code.
int PreviewRows(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                const ListHooks& hooks);
int DeleteRowsAsking(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                     const ListHooks& hooks);
int DeleteAllRows(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                  const ListHooks& hooks);
// Types 2 and 4, asking with the "DSCSTATUSDLGDEL" dialog; `deleted`
// receives the numbers deleted, for the grid's cache and total.
int DeleteGridPictures(HWND owner, cam::CameraLink& link,
                       const std::vector<cam::GridPicture>& selection, std::vector<int>& deleted);

}  // namespace fq::win
