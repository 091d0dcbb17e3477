#include "image/win/coding_meter.h"

#include "base/win/meter.h"
#include "base/win/pump.h"
#include "image/jpeg_quality.h"

namespace fq::win {

CodingMeter::CodingMeter(HWND owner, std::string_view operation, std::string_view detail)
    : dialog_(owner), old_cursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
  if (dialog_) SetProgressText(dialog_.get(), operation, detail);
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
    return PumpMessages();
  };
}

}  // namespace fq::win
