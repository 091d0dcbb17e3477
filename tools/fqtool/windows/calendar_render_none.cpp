// The Windows build of fqtool has no FreeType: `calendar render` says so and
// fails; every other calendar command works as on Linux.
#include <cstdio>

#include "../calendar_render.h"

namespace fqtool {

struct FontEngine::Impl {};

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
  std::fprintf(stderr, "fqtool: calendar pages are drawn only by the Linux build (FreeType)\n");
}
FontEngine::~FontEngine() = default;
bool FontEngine::ok() const { return false; }
fq::cal::TextSize FontEngine::Measure(const fq::cal::LogFont&, std::string_view) { return {}; }
void FontEngine::Draw(fq::ImageRecord&, const fq::cal::DrawItem&) {}

fq::Result<fq::ImageRecord> RenderItems(const std::vector<fq::cal::DrawItem>&, int, int,
                                        const fq::ImageRecord*, FontEngine&) {
  return fq::Failure{fq::err::kUnexpected};
}

}  // namespace fqtool
