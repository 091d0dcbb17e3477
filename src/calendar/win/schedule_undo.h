// The schedule's share of the program's one undo step: the picture goes to
// the undo slot as any edit's does (kind 3), and the day texts, position,
// font and colour it replaced are kept beside it, to be exchanged with the
// page's record when that step is undone or redone.
#pragma once

#include <windows.h>

#include "calendar/schedule.h"
#include "image/image_record.h"

namespace fq::win {

void RecordScheduleUndo(HWND window, ImageRecord old_picture, cal::Schedule old_schedule);

}  // namespace fq::win
