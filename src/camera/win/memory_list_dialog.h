// The camera memory lists: "MemReq" (type 1, a list of rows, modal) and the
// thumbnail grids of types 2 and 4 ("Image Preview", modeless, in their
// regional forms). They start the transfers, previews and deletions of the
// pictures the user chooses.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

// Private messages of the grid.
inline constexpr UINT kMsgGridFetchPage = WM_APP + 0x61;  // fetch the thumbnails now visible
inline constexpr UINT kMsgGridOpen = WM_APP + 0x62;       // read the media and folders (type 4)

// The grid template of a camera type for a region ("MemReq2", "MEMReq2_EU",
// "MEMReq2_JAPAN"; "MemReq2_K48T", "MEMReq2_EU_K48T", "MemReq2_JAPAN_K48T").
std::string GridTemplateName(int camera_type, int region);

// Opens the memory list of the connected camera's type over the frame and
// returns when it has been closed. Type 1: the caller ends the connection
// afterwards. Types 2 and 4: the list ends the connection and closes the
// port itself (CloseMemoryList). False when the list could not be opened
// (the connection is then still open).
bool OpenMemoryList(HWND frame);

// Types 2 and 4: the pause the camera needs, the frame enabled again, the
// dialog gone, the end command and the port closed.
void CloseMemoryList(HWND grid);

}  // namespace fq::win
