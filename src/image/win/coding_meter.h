// The progress dialog shown over JPEG coding: "Now extracting image." while
// a picture is decoded, "Now Compressing image." while one is encoded. Its
// bar follows the rows and the messages keep flowing meanwhile.
#pragma once

#include <windows.h>

#include <string_view>

#include "base/win/status_dialogs.h"
#include "image/jpeg_file.h"

namespace fq::win {

inline constexpr std::string_view kExtractingText = "Now extracting image.";
inline constexpr std::string_view kCompressingText = "Now Compressing image.";

class CodingMeter {
 public:
  CodingMeter(HWND owner, std::string_view operation, std::string_view detail);
  CodingMeter(const CodingMeter&) = delete;
  CodingMeter& operator=(const CodingMeter&) = delete;
  // The callback for the coder; false (stop) when the program is quitting.
  JpegProgress Progress();

 private:
  ProgressDialog dialog_;
  HCURSOR old_cursor_;

 public:
  ~CodingMeter();
};

}  // namespace fq::win
