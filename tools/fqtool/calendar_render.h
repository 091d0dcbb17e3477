// Calendar pages drawn without a window system: the same drawing items the
// program plays with GDI, played here into a 24-bit picture, with texts
// measured and drawn through FreeType in faces fontconfig finds for the
// record's face names. Glyphs differ from the Windows ones; fills, lines
// and the photograph land on the same pixels.
#pragma once

#include <memory>
#include <vector>

#include "base/messages.h"
#include "calendar/calendar_layout.h"
#include "image/image_record.h"

namespace fqtool {

class FontEngine final : public fq::cal::TextMeasurer {
 public:
  FontEngine();
  ~FontEngine() override;
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  bool ok() const;
  fq::cal::TextSize Measure(const fq::cal::LogFont& font, std::string_view text) override;
  // Draws a text item into a bottom-up 24-bit record.
  void Draw(fq::ImageRecord& page, const fq::cal::DrawItem& item);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Plays the items into a new white page of `width` × `height` pixels.
// `photo` (any form the program reads) is drawn into the photograph item's
// rectangle by nearest-pixel stretching. Failures: kMemory, kCreateBitmap.
fq::Result<fq::ImageRecord> RenderItems(const std::vector<fq::cal::DrawItem>& items, int width,
                                        int height, const fq::ImageRecord* photo,
                                        FontEngine& fonts);

}  // namespace fqtool
