#include "image/win/coding_meter.h"

#include <cstdio>
#include <string>

#include "base/win/meter.h"
#include "base/win/pump.h"
#include "image/jpeg_quality.h"

namespace fq::win {
namespace {

constexpr char kFileNameLine[] = "File Name: %s";

std::string FileNameLine(std::string_view file_name) {
  const std::string name(file_name);
  char line[MAX_PATH + 32];
  std::snprintf(line, sizeof line, kFileNameLine, name.c_str());
  return line;
}

}  // namespace

CodingMeter::CodingMeter(HWND owner, std::string_view operation, std::string_view file_name)
    : dialog_(owner), old_cursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
  if (dialog_) SetProgressText(dialog_.get(), operation, FileNameLine(file_name));
}

CodingMeter::~CodingMeter() { SetCursor(old_cursor_ ? old_cursor_ : LoadCursorA(nullptr, IDC_ARROW)); }

JpegProgress CodingMeter::Progress() {
  HWND meter = dialog_ ? ProgressMeter(dialog_.get()) : nullptr;
  if (meter) {
    SetMeterRange(meter, kJpegMeterSteps);
    SetMeterPos(meter, 0);
  }
  // The meter moves in 25 steps; repainting it for every group of rows
  // would cost more than the decoding itself, so it is set only when its
  // position changes. Messages are still dispatched for every group.
  return [meter, shown = 0](int rows, int height) mutable {
    if (meter) {
      int pos = DecodeMeterPosition(rows, height);
      if (pos != shown) {
        SetMeterPos(meter, pos);
        shown = pos;
      }
    }
    // A quit request ends this pass of the pump and stays queued for the
    // main loop; the coding itself runs to its end, so a picture being
    // saved is still written whole.
    PumpMessages();
    return true;
  };
}

}  // namespace fq::win
