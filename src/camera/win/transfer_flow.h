// The Transfer button of the memory lists: the folder is chosen ("Folder
// Select", then "Transfer Path"), checked, and the chosen pictures are
// downloaded into it with the progress dialog over the memory list, filed
// into album windows on the way.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "camera/download.h"
#include "camera/transfer_folder.h"

namespace fq::win {

// The folder selection dialog: a save dialog captioned "Folder Select" with
// its name and type fields hidden; the folder of the path it returns,
// remembered in the settings. Nothing when cancelled.
std::optional<std::string> SelectFolder(HWND owner, const std::string& start);

// How the system sees the drive of a folder.
cam::DriveKind DriveKindOf(const std::string& folder);

// Chooses the folder, checks it and runs the download of `items`. The
// loop's result code; nothing when the user gave up choosing a folder.
std::optional<int> TransferPictures(HWND owner, std::vector<cam::TransferItem> items);

}  // namespace fq::win
