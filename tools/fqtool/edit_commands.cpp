#include "edit_commands.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "edit/adjust.h"
#include "edit/geometry.h"
#include "edit/size_rules.h"
#include "picture_io.h"

namespace fqtool {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr char kNotFullColor[] = "This image is not full color.";
constexpr char kCannotTurn[] = "This image is correspond to bits per pixel.";
constexpr char kCannotResize[] = "The size of this image cannot be changed.";

int Fail(std::string_view text) {
  std::fprintf(stderr, "fqtool: %.*s\n", static_cast<int>(text.size()), text.data());
  return kExitFailure;
}
int Fail(int message) { return Fail(fq::ErrorText(message)); }

int Usage() {
  std::fputs(
      "usage: fqtool edit IN OUT [--rotate right|left]... [--resize WxH]\n"
      "                  [--adjust B,C,S,P] [--auto]\n"
      "                  [--cutout X0,Y0,X1,Y1 [--zoom 25|50|100|200|400]]\n"
      "  steps run in the order given; --auto prints L, H and the four values\n",
      stderr);
  return kExitUsage;
}

// Comma-separated integers, exactly `count` of them.
std::optional<std::vector<int>> Numbers(const std::string& text, size_t count) {
  std::vector<int> out;
  const char* p = text.c_str();
  while (*p) {
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p || v < -100000 || v > 100000) return std::nullopt;
    out.push_back(static_cast<int>(v));
    p = end;
    if (*p == ',') ++p;
    else if (*p) return std::nullopt;
  }
  if (out.size() != count) return std::nullopt;
  return out;
}

struct Step {
  std::string name, value;
};

}  // namespace

int EditCommand(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::vector<Step> steps;
  int zoom = 4;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--auto") {
      steps.push_back({a, ""});
    } else if ((a == "--rotate" || a == "--resize" || a == "--adjust" || a == "--cutout") &&
               i + 1 < args.size()) {
      steps.push_back({a, args[++i]});
    } else if (a == "--zoom" && i + 1 < args.size()) {
      const std::string z = args[++i];
      zoom = z == "25" ? 1 : z == "50" ? 2 : z == "100" ? 4 : z == "200" ? 8 : z == "400" ? 16 : 0;
      if (!zoom) return Usage();
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2 || steps.empty()) return Usage();

  auto pic = LoadPicture(files[0]);
  if (!pic) return Fail(pic.message());
  fq::ImageRecord record = std::move(pic->record);
  for (const Step& step : steps) {
    const int bits = fq::ImageBitCount(record);
    fq::Result<fq::ImageRecord> next = fq::Failure{fq::err::kUnexpected};
    if (step.name == "--rotate") {
      if (step.value != "right" && step.value != "left") return Usage();
      if (!fq::edit::CanTurnOrResize(bits)) return Fail(kCannotTurn);
      next = fq::edit::RotateQuarter(record, step.value == "right" ? fq::edit::Turn::kRight
                                                                 : fq::edit::Turn::kLeft);
    } else if (step.name == "--resize") {
      const size_t x = step.value.find_first_of("xX");
      if (x == std::string::npos) return Usage();
      auto size = fq::edit::AcceptedSize(step.value.substr(0, x), step.value.substr(x + 1));
      if (!size) return Fail(fq::edit::kInvalidSizeMessage);
      if (!fq::edit::CanTurnOrResize(bits)) return Fail(kCannotResize);
      next = fq::edit::ResizePicture(record, size->width, size->height);
    } else if (step.name == "--adjust" || step.name == "--auto") {
      if (bits < 16) return Fail(kNotFullColor);
      fq::edit::AdjustValues v;
      if (step.name == "--adjust") {
        auto n = Numbers(step.value, 4);
        if (!n) return Usage();
        v = {(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
        if (v.brightness < -100 || v.brightness > 100 || v.contrast < -100 || v.contrast > 100 ||
            v.saturation < -100 || v.saturation > 100 || v.sharpness < 0 || v.sharpness > 100)
          return Usage();
      }
      auto analysis = fq::edit::AnalysePicture(record);
      if (!analysis) return Fail(analysis.message());
      fq::edit::Transform t;
      if (step.name == "--auto") {
        const fq::edit::Automatic a = fq::edit::ComputeAutomatic(analysis->planes, analysis->cut, v);
        std::printf("low: %d\nhigh: %d\nbrightness: %d\ncontrast: %d\nsaturation: %d\nsharpness: %d\n",
                    analysis->cut.low, analysis->cut.high, a.values.brightness, a.values.contrast,
                    a.values.saturation, a.values.sharpness);
        t = a.transform;
      } else {
        if (!v.effective()) continue;  // as OK with all four at 0: no change
        t = fq::edit::ComputeManual(analysis->cut, v);
      }
      next = fq::edit::AdjustWhole(record, t);
    } else if (step.name == "--cutout") {
      auto n = Numbers(step.value, 4);
      if (!n) return Usage();
      const int h = std::abs(fq::ImageHeight(record));
      const fq::edit::CutRect c =
          fq::edit::SnapCutout((*n)[0], (*n)[1], (*n)[2], (*n)[3], zoom, fq::ImageWidth(record), h);
      if (c.width <= 0 || c.height <= 0) return Fail("The cut-out rectangle is empty.");
      next = fq::edit::CopyRectangle(record, c.left, c.top, c.width, c.height);
    }
    if (!next) return Fail(next.message());
    record = std::move(*next);
  }
  const int out_bits = fq::ImageBitCount(record) <= 8 ? 8 : 24;
  auto out = NormalizedForSave(std::move(record), out_bits);
  if (!out) return Fail(out.message());
  SaveOptions options;
  options.bits = out_bits;
  fq::Status s = SavePicture(files[1], *out, options);
  if (!s) return Fail(s.message());
  return 0;
}

}  // namespace fqtool
