#include "camera/win/camera_commands.h"

#include "base/win/not_available.h"

namespace fq::win {

void DataInCommand(HWND) { ShowNotAvailable(); }

// The memory lists come with the download; until then the upload ends the
// connection itself after "Camera memory is full.".
bool OpenMemoryListAfterUpload(cam::CameraLink&) { return false; }

}  // namespace fq::win
