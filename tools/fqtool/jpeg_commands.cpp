#include "jpeg_commands.h"

#include <cstdio>
#include <cstdlib>

#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"

namespace fqtool {

bool ParseJpegQuality(const std::string& text, int& quality) {
  if (text == "standard") return quality = fq::kJpegQualityStandard, true;
  if (text == "low") return quality = fq::kJpegQualityLow, true;
  if (text == "high") return quality = fq::kJpegQualityHigh, true;
  char* end = nullptr;
  long q = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || q < 1 || q > 100) return false;
  quality = static_cast<int>(q);
  return true;
}

fq::Result<fq::ImageRecord> LoadJpegPicture(const std::string& path) {
  auto read = fq::LoadJpeg(path);
  if (!read) return read.failure();
  return std::move(read->record);
}

fq::Status SaveJpegPicture(const std::string& path, const fq::ImageRecord& record, int quality,
                           const std::string& sampling) {
  return fq::SaveJpeg(record, path, quality, sampling);
}

int PrintJpegInfo(const std::string& path) {
  auto h = fq::ReadJpegHeader(path);
  if (!h) {
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(h.message())).c_str());
    return 1;
  }
  std::printf("width: %u\nheight: %u\ncomponents: %d\nprecision: %d\nprogressive: %s\n",
              h->width, h->height, h->components, h->precision, h->progressive ? "yes" : "no");
  std::printf("sampling: ");
  for (int i = 0; i < std::min(h->components, 4); ++i)
    std::printf("%s%dx%d", i ? "," : "", h->sampling[i].h, h->sampling[i].v);
  std::printf("\n");
  return 0;
}

}  // namespace fqtool
