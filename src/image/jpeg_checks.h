// Recognising JPEG files and judging them for sending to the camera.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/messages.h"

namespace fq {

// True when the file looks like a JPEG: FF D8 among its first 2048 bytes,
// its first bytes not those of a bitmap or album file, and FF D9 somewhere.
bool IsJpegFile(const std::string& path);

// What the header of a JPEG file says.
struct JpegHeader {
  uint32_t width = 0, height = 0;
  int components = 0;
  int precision = 0;
  bool progressive = false;
  struct Sampling {
    int h = 0, v = 0;
  };
  std::array<Sampling, 4> sampling{};  // of the first (up to) four components
};
// Reads the header with the JPEG library. Failures: kFileCannotBeOpened,
// kCreatingBitmap (no readable header).
Result<JpegHeader> ReadJpegHeader(const std::string& path);

// Size class of a file for upload (see SizeClassOfLength).
int JpegSizeClass(const std::string& path);

// Verdict on a JPEG the camera is to receive: 0 fits as it is, 1 is larger
// than the camera's own pictures but acceptable, kSizeClassUnusable (255)
// cannot be sent. `message` is the error to show for the verdict (only
// kNotJpeg), or -1.
struct UploadCheck {
  int verdict = 255;
  bool needs_conversion = false;
  int message = -1;
};
UploadCheck CheckJpegForUpload(const std::string& path);
// The same with the limits of the smaller camera type.
UploadCheck CheckJpegForUploadSmall(const std::string& path);

}  // namespace fq
