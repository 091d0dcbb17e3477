#include "image/win/coding_meter.h"

#include "camera/win/meter.h"
#include "camera/win/pump.h"

namespace fq::win {

CodingMeter::CodingMeter(HWND owner, std::string_view operation, std::string_view detail)
    : dialog_(owner), old_cursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
  if (dialog_) SetProgressText(dialog_.get(), operation, detail);
}

CodingMeter::~CodingMeter() { SetCursor(old_cursor_ ? old_cursor_ : LoadCursorA(nullptr, IDC_ARROW)); }

JpegProgress CodingMeter::Progress() {
  HWND meter = dialog_ ? ProgressMeter(dialog_.get()) : nullptr;
  return [meter](int rows, int height) {
    if (meter) {
      if (MeterRange(meter) != height) SetMeterRange(meter, height);
      SetMeterPos(meter, rows);
    }
    return PumpMessages();
  };
}

}  // namespace fq::win
