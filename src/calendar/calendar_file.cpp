#include "calendar/calendar_file.h"

#include <algorithm>

#include "base/bytes.h"
#include "base/file_io.h"
#include "image/bmp_file.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"

namespace fq::cal {
namespace {

// Pixel data goes out in pieces of this size at most.
constexpr size_t kWritePiece = 32767;

bool ReadHead(const std::string& path, std::array<uint8_t, kRecordSize>& head, int& failure) {
  auto f = io::Fs().OpenRead(path);
  if (!f) {
    failure = err::kFileCannotBeOpened;
    return false;
  }
  if (!f->Seek(0) || f->Read(head.data(), head.size()) != head.size()) {
    failure = err::kFailedToReadFile;
    return false;
  }
  return true;
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool IsCalendarFile(const std::string& path) {
  std::array<uint8_t, kRecordSize> head;
  int failure = 0;
  if (!ReadHead(path, head, failure)) return false;
  const uint32_t kind = GetU32(head.data());
  return kind == kMonthly || kind == kYearly;
}

Result<CalendarRecord> ReadCalendarRecord(const std::string& path) {
  std::array<uint8_t, kRecordSize> head;
  int failure = 0;
  if (!ReadHead(path, head, failure)) return Failure{failure};
  return ParseCalendarRecord(head);
}

Result<ImageRecord> ReadCalendarPhoto(const std::string& calendar_path) {
  auto read = ReadBitmapFile(calendar_path, kCalendarBmpOffset);
  if (!read) return read.failure();
  return std::move(read->record);
}

Result<ImageRecord> LoadCalendarPhoto(const CalendarRecord& r, const std::string& own_file) {
  if (!own_file.empty()) return ReadCalendarPhoto(own_file);
  const std::string path = FieldText(r.FullPath);
  if (path.empty()) return Failure{err::kFileCannotBeOpened};
  auto read = IsJpegFile(path) ? LoadJpeg(path) : ReadBitmapFile(path);
  if (!read) return read.failure();
  return std::move(read->record);
}

Result<ImageRecord> PhotoForDrawing(const ImageRecord& photo) {
  ImageRecord info;
  if (ImageIsCoreForm(photo)) {
    auto converted = CoreToInfo(photo);
    if (!converted) return converted.failure();
    info = std::move(*converted);
  } else {
    auto copy = photo.Clone();
    if (!copy) return copy.failure();
    info = std::move(*copy);
  }
  auto normal = NormalizeImage(info);
  if (!normal) return normal.failure();
  normal->ApplyTo(info);
  if (ImageBitCount(info) == 24) return info;
  return Expand8To24(info);
}

Status WriteCalendarFile(const std::string& path, const CalendarRecord& r,
                         const ImageRecord* photo) {
  const bool with_photo = r.has_photo();
  if (with_photo && (!photo || photo->empty() || ImageHeaderSize(*photo) < kCoreHeaderSize))
    return Failure{err::kUnexpected};
  io::ReplacingWriter out(path);
  if (Status s = out.Open(); !s) return s;
  const auto record = ToBytes(r);
  if (Status s = out.Write(record); !s) return s;
  if (with_photo) {
    const uint64_t file_size = uint64_t{kBmpFileHeaderSize} + photo->size();
    if (file_size > UINT32_MAX) return Failure{err::kUnexpected};
    uint8_t header[kBmpFileHeaderSize] = {'B', 'M'};
    PutU32(header + 2, static_cast<uint32_t>(file_size));
    PutU32(header + 10, static_cast<uint32_t>(kBmpFileHeaderSize + ImagePixelOffset(*photo)));
    if (Status s = out.Write(header, sizeof header); !s) return s;
    std::span<const uint8_t> dib = photo->bytes();
    while (!dib.empty()) {
      const size_t n = std::min(dib.size(), kWritePiece);
      if (Status s = out.Write(dib.first(n)); !s) return s;
      dib = dib.subspan(n);
    }
  }
  return out.Commit();
}

Status SaveCalendarFile(const std::string& path, const CalendarRecord& r,
                        const std::string& own_file) {
  if (!r.has_photo()) return WriteCalendarFile(path, r, nullptr);
  auto photo = LoadCalendarPhoto(r, own_file);
  if (!photo) return photo.failure();
  return WriteCalendarFile(path, r, &*photo);
}

std::string CalendarFileName(const std::string& name) {
  if (EndsWith(name, ".cal") || EndsWith(name, ".CAL")) return name;
  return name + ".cal";
}

}  // namespace fq::cal
