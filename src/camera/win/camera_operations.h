// The camera operations the memory lists start besides the transfer:
// showing pictures on the camera's viewfinder (type 1) and deleting pictures
// (all types). They are not built into the program yet: each shows the
// not-available notice and changes nothing. Their callers already act on
// what they report (a failure closes the list; deleted numbers leave the
// list, the cache and the selection).
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "camera/camera_link.h"
#include "camera/download.h"

namespace fq::win {

// Type 1: the selected pictures one after another on the viewfinder. The
// link's result code.
int PreviewOnViewfinder(cam::CameraLink& link, std::span<const int> numbers);
// Type 1: a question per picture, from the last selected to the first; and
// all selected pictures after "Delete all images?". `deleted` receives the
// numbers the camera no longer has.
int DeleteWithQuestions(cam::CameraLink& link, HWND list, std::span<const int> numbers,
                        std::vector<int>& deleted);
int DeleteAll(cam::CameraLink& link, HWND list, std::span<const int> numbers, std::vector<int>& deleted);
// Types 2 and 4, with the "DSCSTATUSDLGDEL" question per picture.
int DeleteSelected(cam::CameraLink& link, std::span<const cam::TransferItem> items,
                   std::vector<int>& deleted);

}  // namespace fq::win
