// Calendar pages drawn with GDI: the layout's drawing items played on a
// device context (the page bitmap, the wizard's preview, a printer), texts
// measured by the platform in the record's fonts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "calendar/calendar_layout.h"
#include "calendar/calendar_record.h"
#include "image/image_record.h"

namespace fq::win {

// The platform's logical font of a record font.
LOGFONTA ToLogFont(const cal::LogFont& f);
cal::LogFont FromLogFont(const LOGFONTA& lf);

// Measures texts on a device context in the record's fonts.
class GdiTextMeasurer final : public cal::TextMeasurer {
 public:
  explicit GdiTextMeasurer(HDC dc) : dc_(dc) {}
  cal::TextSize Measure(const cal::LogFont& font, std::string_view text) override;

 private:
  HDC dc_;
};

// Plays the items on `dc`; `photo` (24 bits, PhotoForDrawing) is stretched
// into the photograph's rectangle with the colour-on-colour mode.
void PlayCalendarItems(HDC dc, const std::vector<cal::DrawItem>& items, const ImageRecord* photo);

// Draws the page of `r` on `dc` from (x0, y0), `width` target pixels
// across (the page bitmap: 0, 0, W; a printer: its print rectangle), with
// the photograph already loaded (PhotoForDrawing) when the page shows one;
// `realize_palette` selects and realises the photograph's palette first
// (palette displays). Updates SixRows. False when nothing could be laid out.
bool RenderCalendar(cal::CalendarRecord& r, HDC dc, int x0, int y0, int width,
                    bool realize_palette, const ImageRecord* photo, bool day_texts = true,
                    bool fill_page = true);

// What rendering a page needs besides the record.
struct PageRequest {
  std::string own_file;  // the calendar file the page belongs to, "" for a new one
  bool day_texts = true;
};

// The photograph of the record, ready for drawing; nothing when the page
// shows none. Failures are the loader's.
Result<std::optional<ImageRecord>> LoadPhotoForPage(const cal::CalendarRecord& r,
                                                    const std::string& own_file);

// The native page (840 × 1188 or 1188 × 840) as a 24-bit image record;
// the record's SixRows is updated. Failures: the photograph loader's, or
// kUnexpected when the page bitmap cannot be made.
Result<ImageRecord> MakeCalendarImage(cal::CalendarRecord& r, const PageRequest& request);
// The same with the photograph already loaded.
Result<ImageRecord> MakeCalendarImage(cal::CalendarRecord& r, const ImageRecord* photo,
                                      bool day_texts);

}  // namespace fq::win
