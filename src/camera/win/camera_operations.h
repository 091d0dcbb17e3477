// The camera operations the memory lists start besides the transfer:
// showing pictures on the camera's viewfinder (type 1) and deleting pictures
// (all types), each with the "DscStatusDlg" status dialog over the list.
// Their callers act on what they report (a failure closes the list; deleted
// numbers leave the grid's cache and selection; the type-1 rows are made
// again from the link's list, which the deletions keep up to date).
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "camera/camera_link.h"
#include "camera/download.h"

namespace fq::win {

// Type 1: the selected pictures (camera numbers of rows of `list`) one
// after another on the viewfinder, 5 s each. The link's result code.
int PreviewOnViewfinder(cam::CameraLink& link, HWND list, std::span<const int> numbers);
// Type 1: a question per picture, from the last selected to the first; and
// all selected pictures after "Delete all images?". The rows of `list` are
// made again after each deletion; `deleted` receives the numbers deleted
// (as they were before the first deletion).
int DeleteWithQuestions(cam::CameraLink& link, HWND list, std::span<const int> numbers,
                        std::vector<int>& deleted);
int DeleteAll(cam::CameraLink& link, HWND list, std::span<const int> numbers, std::vector<int>& deleted);
// Types 2 and 4, with the "DSCSTATUSDLGDEL" question per picture, highest
// number first; `deleted` receives the numbers deleted.
int DeleteSelected(cam::CameraLink& link, HWND grid, std::span<const cam::TransferItem> items,
                   std::vector<int>& deleted);

}  // namespace fq::win
