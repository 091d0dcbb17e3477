// The calendar wizard: four pages (layout; picture and date; styles;
// preview) that fill a new calendar record from the remembered choices and
// remember the new ones on Finish.
#pragma once

#include <windows.h>

#include <optional>

#include "calendar/calendar_record.h"
#include "image/image_record.h"

namespace fq::win {

struct WizardResult {
  ImageRecord page;
  cal::CalendarRecord record;
};

// Runs the wizard for kind 131 (monthly) or 132 (yearly); the page and the
// record when Finish was pressed, nothing when cancelled.
std::optional<WizardResult> RunCalendarWizard(HWND frame, uint32_t kind);

}  // namespace fq::win
