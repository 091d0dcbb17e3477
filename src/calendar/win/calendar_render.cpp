#include "calendar/win/calendar_render.h"

#include <cstdlib>

#include "base/region.h"
#include "calendar/calendar_layout.h"
#include "calendar/win/calendar_page.h"

namespace fq::win {

Status RenderCalendar(cal::CalendarRecord& record, HDC dc, int x0, int y0, int width,
                      const std::string& own_file) {
  auto photo = LoadPhotoForPage(record, own_file);
  if (!photo) return Failure{photo.failure()};
  const ImageRecord* picture = *photo ? &**photo : nullptr;
  GdiTextMeasurer measurer(dc);
  cal::PageTarget target;
  target.x0 = x0;
  target.y0 = y0;
  target.width = width;
  target.fill_page = false;
  target.language = cal::LanguageForRegion(region::Code());
  std::optional<cal::PhotoSize> size;
  if (picture) size = cal::PhotoSize{ImageWidth(*picture), std::abs(ImageHeight(*picture))};
  auto items = cal::LayoutCalendarPage(record, target, measurer, size);
  if (!items) return Failure{err::kUnexpected};
  PlayCalendarItems(dc, *items, picture);
  return {};
}

}  // namespace fq::win
