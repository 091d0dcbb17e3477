// Calendar file bytes of any shape: the record is checked as the program
// reads it; a record it accepts survives a write and read unchanged and is
// laid out whole (page and a printer width, a fixed text measurer), with the
// photograph read from the bytes after the record when the page shows one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "calendar/calendar_layout.h"
#include "calendar/calendar_record.h"
#include "image/bmp_file.h"

namespace {

class FixedMeasurer final : public fq::cal::TextMeasurer {
 public:
  fq::cal::TextSize Measure(const fq::cal::LogFont& font, std::string_view text) override {
    const int h = font.height < 0 ? -font.height : font.height;
    return {static_cast<int>(text.size()) * (h / 2 + 1), h};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  auto record = fq::cal::ParseCalendarRecord(bytes);
  if (!record) return 0;
  const auto written = fq::cal::ToBytes(*record);
  auto again = fq::cal::ParseCalendarRecord(written);
  if (!again || !(*again == *record)) std::abort();  // what is accepted stores and reads back

  std::optional<fq::cal::PhotoSize> photo;
  if (record->has_photo()) {
    auto bmp = fq::ReadBitmapBytes(bytes.subspan(fq::cal::kRecordSize));
    if (!bmp) return 0;  // the page cannot be shown: its file is refused
    photo = fq::cal::PhotoSize{fq::ImageWidth(bmp->record), std::abs(fq::ImageHeight(bmp->record))};
  }
  FixedMeasurer m;
  for (int width : {fq::cal::PageWidth(*record), 2329}) {
    fq::cal::PageTarget target;
    target.width = width;
    auto items = fq::cal::LayoutCalendarPage(*record, target, m, photo);
    if (!items) std::abort();
    const int height = static_cast<int>(int64_t{width} * fq::cal::PageHeight(*record) /
                                        fq::cal::PageWidth(*record));
    for (const auto& item : *items) {
      // Lines, fills and the photograph stay on the page.
      if (item.kind != fq::cal::DrawItem::Kind::kText &&
          (item.rect.left < -8 || item.rect.top < -8 || item.rect.right > width + 8 ||
           item.rect.bottom > height + 8))
        std::abort();
    }
  }
  return 0;
}
