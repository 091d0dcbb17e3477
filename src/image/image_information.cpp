#include "image/image_information.h"

#include <array>
#include <cstdlib>
#include <cstring>

#include "image/bmp_file.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_segments.h"
#include "base/file_io.h"
#include "base/region.h"

namespace fq {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

void FillName(ImageInformation& info, const std::string& path) {
  info.location = io::FolderOf(path);
  info.file_name = path.substr(info.location.size());
}

void FillTimes(ImageInformation& info, const FileTimes& times) {
  if (times.created) info.exif.date_taken = FormatExifDate(*times.created);
  if (times.modified) info.exif.date_changed = FormatExifDate(*times.modified);
}

bool IsDigits(const std::string& s, size_t at, size_t n) {
  if (at + n > s.size()) return false;
  for (size_t i = at; i < at + n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// The camera segments the dialog looks for, at their fixed places.
bool IsMakerSegment(std::span<const uint8_t> s) {
  return s.size() >= 18 && s[1] == kMarkerApp0 && std::memcmp(&s[10], "HEAPJPGM", 8) == 0;
}
bool IsExifSegment(std::span<const uint8_t> s) {
  return s.size() >= 8 && s[1] == kMarkerApp1 && std::memcmp(&s[4], "Exif", 4) == 0;
}

Status FillFromJpegHeader(const std::string& path, ExifInformation& exif) {
  auto h = ReadJpegHeader(path);
  if (!h) return Failure{err::kNotJpeg};
  exif.width = h->width;
  exif.height = h->height;
  return {};
}

}  // namespace

std::string ExifDialogName(int region) {
  return region::DialogName(kExifDialogBase, region::Variants::kUsEuJapan, region);
}

Result<ImageInformation> ReadImageInformation(const std::string& path, const FileTimes& times) {
  io::FileSystem& fs = io::Fs();
  if (!fs.Exists(path)) return Failure{err::kFileDoesNotExist};
  ImageInformation info;
  FillName(info, path);

  uint8_t magic[2] = {0, 0};
  {
    auto f = fs.OpenRead(path);
    if (!f) return Failure{err::kFileCannotBeOpened};
    f->Read(magic, 2);
  }
  if (magic[0] == 'B' && magic[1] == 'M') {
    auto bmp = ReadBitmapFile(path);
    if (!bmp) return bmp.failure();
    info.source = InformationSource::kBitmap;
    info.exif.width = static_cast<uint32_t>(ImageWidth(bmp->record));
    info.exif.height = static_cast<uint32_t>(std::abs(ImageHeight(bmp->record)));
    FillTimes(info, times);
    return info;
  }

  auto header = ReadHeaderSegments(path);
  if (!header) return header.failure();
  const std::span<const uint8_t> bytes = *header;
  const SegmentWalk walk = WalkHeader(bytes);
  info.source = InformationSource::kPlainJpeg;
  for (const JpegSegment& s : walk.segments) {
    auto seg = bytes.subspan(s.offset, s.size);
    if (IsMakerSegment(seg)) {
      info.source = InformationSource::kMaker;
      break;
    }
    if (IsExifSegment(seg)) {
      info.source = InformationSource::kExif;
      ParseExif(seg, info.exif);
      break;
    }
  }

  if (info.source == InformationSource::kExif) {
    if (info.exif.width == 0 && info.exif.height == 0) {
      Status s = FillFromJpegHeader(path, info.exif);
      if (!s) return Failure{s.message()};
    }
    return info;
  }
  if (info.source == InformationSource::kMaker) {
    for (const JpegSegment& s : walk.segments) {
      if (s.marker == kMarkerApp0 &&
          ParseMakerApp0(bytes.subspan(s.offset, s.size), info.exif.width, info.exif.height))
        break;
    }
  } else {
    Status s = FillFromJpegHeader(path, info.exif);
    if (!s) return Failure{s.message()};
  }
  FillTimes(info, times);
  return info;
}

std::string ReadDateTaken(const std::string& path) {
  auto header = ReadHeaderSegments(path);
  if (!header) return {};
  const std::span<const uint8_t> bytes = *header;
  for (const JpegSegment& s : WalkHeader(bytes).segments) {
    auto seg = bytes.subspan(s.offset, s.size);
    if (IsMakerSegment(seg)) return {};
    if (IsExifSegment(seg)) {
      ExifInformation exif;
      ParseExif(seg, exif);
      return exif.date_taken;
    }
  }
  return {};
}

ImageInformation CalendarPageInformation(const std::string& path, const FileTimes& times) {
  ImageInformation info;
  info.source = InformationSource::kCalendarPage;
  FillName(info, path);
  FillTimes(info, times);
  return info;
}

std::string FormatDateForRegion(const std::string& stored, int region) {
  if (stored.empty() || region == region::kJapanese) return stored;
  const size_t colon = stored.find(':');
  if (colon == std::string::npos || colon == 0 || !IsDigits(stored, 0, colon) ||
      !IsDigits(stored, colon + 1, 2) || colon + 3 >= stored.size() || stored[colon + 3] != ':' ||
      !IsDigits(stored, colon + 4, 2))
    return stored;
  const int month = std::atoi(stored.substr(colon + 1, 2).c_str());
  if (month < 1 || month > 12) return stored;
  const std::string year = stored.substr(0, colon);
  const std::string day = stored.substr(colon + 4, 2);
  const std::string rest = stored.substr(colon + 6);  // " hh:mm:ss"
  const std::string name = kMonths[static_cast<size_t>(month - 1)];
  if (region == region::kEnglish) return name + "." + day + "." + year + rest;
  return day + " " + name + ".," + year + rest;
}

std::string FormatDimension(uint32_t v) { return v == 0 ? std::string() : std::to_string(v); }

ImageInformationTexts FormatImageInformation(const ImageInformation& info, int region) {
  ImageInformationTexts t;
  t.file_name = info.file_name;
  t.location = info.location;
  t.manufacture = info.exif.make;
  t.model = info.exif.model;
  t.created = FormatDateForRegion(info.exif.date_taken, region);
  t.modified = FormatDateForRegion(info.exif.date_changed, region);
  t.width = FormatDimension(info.exif.width);
  t.height = FormatDimension(info.exif.height);
  return t;
}

}  // namespace fq
