#include "exif_commands.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "image/exif.h"
#include "image/image_information.h"
#include "base/region.h"

namespace fqtool {
namespace {

std::optional<fq::ExifDateTime> LastWriteTime(const std::string& path) {
  std::error_code ec;
  const auto t = std::filesystem::last_write_time(path, ec);
  if (ec) return std::nullopt;
  // The file clock's epoch is not the system clock's everywhere: go through now.
  const auto sys = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      t - std::filesystem::file_time_type::clock::now() + std::chrono::system_clock::now());
  const std::time_t tt = std::chrono::system_clock::to_time_t(sys);
  const std::tm* tm = std::localtime(&tt);
  if (!tm) return std::nullopt;
  return fq::ExifDateTime{tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday,
                          tm->tm_hour, tm->tm_min, tm->tm_sec};
}

}  // namespace

int PrintImageInformation(const std::string& path) {
  fq::FileTimes times;
  times.modified = LastWriteTime(path);
  auto info = fq::ReadImageInformation(path, times);
  if (!info) {
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(info.message())).c_str());
    return 1;
  }
  const fq::ImageInformationTexts t = fq::FormatImageInformation(*info, fq::region::kJapanese);
  std::printf("file name: %s\nlocation: %s\nmake: %s\nmodel: %s\ndate taken: %s\n"
              "date changed: %s\npicture width: %s\npicture height: %s\n",
              t.file_name.c_str(), t.location.c_str(), t.manufacture.c_str(), t.model.c_str(),
              t.created.c_str(), t.modified.c_str(), t.width.c_str(), t.height.c_str());
  return 0;
}

fq::Status SaveJpegAs(const std::string& path, const fq::ImageRecord& record, int quality,
                      const std::string& sampling) {
  auto failure = fq::SaveJpegWithExif(record, path, quality, fq::LocalNow(), sampling);
  if (!failure) return {};
  if (failure->box != fq::ExifMessage::kNone)
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ExifMessageText(failure->box)).c_str());
  return fq::Failure{failure->error};
}

}  // namespace fqtool
