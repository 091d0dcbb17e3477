// The progress dialog shown over JPEG coding: "Now extracting image." while
// a picture is decoded, "Now Compressing image." while one is encoded, and
// "File Name: " with the file's name below. Its bar follows the rows and the
// messages keep flowing meanwhile.
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
  CodingMeter(HWND owner, std::string_view operation, std::string_view file_name);
  CodingMeter(const CodingMeter&) = delete;
  CodingMeter& operator=(const CodingMeter&) = delete;
  // The callback for the coder. It never stops the coding: a quit request
  // that arrives meanwhile is left in the queue for the main loop.
  JpegProgress Progress();

 private:
  ProgressDialog dialog_;
  HCURSOR old_cursor_;

 public:
  ~CodingMeter();
};

}  // namespace fq::win
