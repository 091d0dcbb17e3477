#include "camera/win/camera_operations.h"

#include "base/win/not_available.h"
#include "camera/link_codes.h"

namespace fq::win {

int PreviewOnViewfinder(cam::CameraLink&, std::span<const int>) {
  ShowNotAvailable();
  return cam::rc::kOk;
}

int DeleteWithQuestions(cam::CameraLink&, HWND, std::span<const int>, std::vector<int>& deleted) {
  deleted.clear();
  ShowNotAvailable();
  return cam::rc::kOk;
}

int DeleteAll(cam::CameraLink&, HWND, std::span<const int>, std::vector<int>& deleted) {
  deleted.clear();
  ShowNotAvailable();
  return cam::rc::kOk;
}

int DeleteSelected(cam::CameraLink&, std::span<const cam::TransferItem>, std::vector<int>& deleted) {
  deleted.clear();
  ShowNotAvailable();
  return cam::rc::kOk;
}

}  // namespace fq::win
