#include "calendar/win/schedule_undo.h"

namespace fq::win {

void RecordScheduleUndo(HWND, ImageRecord, cal::Schedule) {}

}  // namespace fq::win
