// Building the program's Exif segment and updating kept ones.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "image/exif.h"

namespace fq {
namespace {

// Length of a date text with its zero byte: the smallest date field.
constexpr size_t kDateField = 20;

void PutBe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

void PutOrdered(uint8_t* p, uint32_t v, size_t n, bool big) {
  for (size_t i = 0; i < n; ++i) {
    const size_t shift = 8 * (big ? n - 1 - i : i);
    p[i] = static_cast<uint8_t>(v >> shift);
  }
}

// The fixed part of the segment, laid out in TIFF offsets (segment offset
// − 10), little-endian, with the Model field first written as the maker's
// product code and every variable value still zero.
class Layout {
 public:
  explicit Layout(std::vector<uint8_t>& seg) : s_(seg) {}
  void Entry(size_t seg_at, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    PutU16(&s_[seg_at], tag);
    PutU16(&s_[seg_at + 2], type);
    PutU32(&s_[seg_at + 4], count);
    PutU32(&s_[seg_at + 8], value);
  }
  void Bytes(size_t seg_at, const void* p, size_t n) { std::memcpy(&s_[seg_at], p, n); }
  void Text(size_t seg_at, const char* text) { Bytes(seg_at, text, std::strlen(text) + 1); }
  void Rational(size_t seg_at, uint32_t num, uint32_t den) {
    PutU32(&s_[seg_at], num);
    PutU32(&s_[seg_at + 4], den);
  }
  // An IFD header: entry count at `seg_at`, next-IFD offset after `n` entries.
  size_t Ifd(size_t seg_at, uint16_t n, uint32_t next) {
    PutU16(&s_[seg_at], n);
    PutU32(&s_[seg_at + 2 + n * 12u], next);
    return seg_at + 2;
  }

 private:
  std::vector<uint8_t>& s_;
};

void LayOutSegment(std::vector<uint8_t>& s) {
  using namespace exif_tag;
  using namespace exif_type;
  Layout l(s);
  s[0] = 0xFF;
  s[1] = kMarkerApp1;
  l.Bytes(4, "Exif\0\0", 6);
  l.Bytes(10, "II", 2);
  PutU16(&s[12], 42);
  PutU32(&s[14], 8);

  size_t e = l.Ifd(18, 9, 370);
  l.Entry(e, kMake, kAscii, 10, 122), e += 12;
  l.Entry(e, kModel, kAscii, 10, 132), e += 12;
  l.Entry(e, kXResolution, kRational, 1, 142), e += 12;
  l.Entry(e, kYResolution, kRational, 1, 150), e += 12;
  l.Entry(e, kResolutionUnit, kShort, 1, 2), e += 12;
  l.Entry(e, kSoftware, kAscii, 8, 158), e += 12;
  l.Entry(e, kDateTime, kAscii, 20, 166), e += 12;
  l.Entry(e, kYCbCrPositioning, kShort, 1, 2), e += 12;
  l.Entry(e, kExifIfdPointer, kLong, 1, 186);
  l.Text(132, kExifMake);
  l.Text(142, "ZR-TK4410");
  l.Rational(152, 72, 1);
  l.Rational(160, 72, 1);
  l.Text(168, kExifSoftware);

  e = l.Ifd(196, 9, 0);
  l.Entry(e, kExifVersion, kUndefined, 4, 0), l.Bytes(e + 8, "0210", 4), e += 12;
  l.Entry(e, kDateTimeOriginal, kAscii, 20, 300), e += 12;
  l.Entry(e, kDateTimeDigitized, kAscii, 20, 320), e += 12;
  l.Entry(e, kComponentsConfiguration, kUndefined, 4, 0), l.Bytes(e + 8, "\1\2\3\0", 4), e += 12;
  l.Entry(e, kFlashpixVersion, kUndefined, 4, 0), l.Bytes(e + 8, "0100", 4), e += 12;
  l.Entry(e, kColorSpace, kShort, 1, 1), e += 12;
  l.Entry(e, kPixelXDimension, kLong, 1, 0), e += 12;
  l.Entry(e, kPixelYDimension, kLong, 1, 0), e += 12;
  l.Entry(e, kInteroperabilityPointer, kLong, 1, 340);

  e = l.Ifd(350, 2, 0);
  l.Entry(e, kInteroperabilityIndex, kAscii, 4, 0), l.Bytes(e + 8, "R98", 4), e += 12;
  l.Entry(e, kInteroperabilityVersion, kUndefined, 4, 0), l.Bytes(e + 8, "0100", 4);

  e = l.Ifd(380, 6, 0);
  l.Entry(e, kCompression, kShort, 1, 6), e += 12;
  l.Entry(e, kXResolution, kRational, 1, 448), e += 12;
  l.Entry(e, kYResolution, kRational, 1, 456), e += 12;
  l.Entry(e, kResolutionUnit, kShort, 1, 2), e += 12;
  l.Entry(e, kJpegInterchangeFormat, kLong, 1, 464), e += 12;
  l.Entry(e, kJpegInterchangeFormatLength, kLong, 1, 0);
  l.Rational(458, 72, 1);
  l.Rational(466, 72, 1);
}

// A text copied with its zero byte to where its tag keeps it (never past
// its count or the segment).
bool PatchText(std::vector<uint8_t>& seg, uint16_t tag, const std::string& text) {
  auto f = FindExifField(seg, tag);
  if (!f || f->type != exif_type::kAscii || !f->inside) return false;
  const size_t n = std::min<size_t>(text.size() + 1, f->count);
  std::memcpy(&seg[static_cast<size_t>(f->value)], text.c_str(), n);
  return true;
}

bool PatchNumber(std::vector<uint8_t>& seg, uint16_t tag, uint32_t v) {
  auto f = FindExifField(seg, tag);
  if (!f || f->count != 1) return false;
  const size_t n = f->type == exif_type::kLong ? 4 : f->type == exif_type::kShort ? 2 : 0;
  if (n == 0) return false;
  PutOrdered(&seg[f->entry + 8], v, n, f->big_endian);
  return true;
}

}  // namespace

ExifDateTime LocalNow() {
  const std::time_t t = std::time(nullptr);
  const std::tm* tm = std::localtime(&t);
  if (!tm) return {1970, 1, 1, 0, 0, 0};
  return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec};
}

std::string FormatExifDate(const ExifDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%d:%02d:%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string s = text;
  if (s.size() > kDateField - 1) s.resize(kDateField - 1);
  return s;
}

std::string_view ExifMessageText(ExifMessage m) {
  switch (m) {
    case ExifMessage::kCannotChangeFormat: return "Can not change the exif format.";
    case ExifMessage::kCannotMakeThumbnail: return "Can not change to thumbnail.";
    case ExifMessage::kTagNotFound: return "Can not find the Tag.";
    case ExifMessage::kNone: break;
  }
  return {};
}

ThumbnailSize FitThumbnail(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  const int64_t w = width, h = height;
  int64_t tw, th;
  if (w <= kThumbnailWidth && h <= kThumbnailHeight) {
    tw = w, th = h;
  } else if (w > h) {
    th = h * kThumbnailWidth / w;
    if (th <= kThumbnailHeight) tw = kThumbnailWidth;
    else tw = w * kThumbnailHeight / h, th = kThumbnailHeight;
  } else {
    tw = w * kThumbnailHeight / h;
    if (tw <= kThumbnailWidth) th = kThumbnailHeight;
    else tw = kThumbnailWidth, th = h * kThumbnailWidth / w;
  }
  // A very narrow picture still gets a thumbnail one pixel wide.
  return {static_cast<int>(std::max<int64_t>(tw, 1)), static_cast<int>(std::max<int64_t>(th, 1))};
}

Result<ImageRecord> PlaceOnThumbnailCanvas(const ImageRecord& small) {
  const int tw = ImageWidth(small), th = std::abs(ImageHeight(small));
  if (tw > kThumbnailWidth || th > kThumbnailHeight || ImageBitCount(small) != 24 ||
      !ImageHasAllRows(small))
    return Failure{err::kCreateBitmap};
  auto canvas = ImageRecord::Create(kThumbnailWidth, kThumbnailHeight, 24);
  if (!canvas) return canvas;
  const size_t left = static_cast<size_t>(kThumbnailWidth - tw) / 2;
  const size_t below = static_cast<size_t>(kThumbnailHeight - th) / 2;
  const uint64_t from_stride = ImageRowStride(tw, 24);
  const uint64_t to_stride = ImageRowStride(kThumbnailWidth, 24);
  const uint8_t* from = ImageBits(small);
  uint8_t* to = ImageBits(*canvas);
  for (size_t y = 0; y < static_cast<size_t>(th); ++y)
    std::memcpy(to + (y + below) * to_stride + left * 3, from + y * from_stride,
                static_cast<size_t>(tw) * 3);
  return canvas;
}

Result<ImageRecord> MakeThumbnailPicture(const ImageRecord& picture) {
  const ThumbnailSize size = FitThumbnail(ImageWidth(picture), std::abs(ImageHeight(picture)));
  if (size.width == 0) return Failure{err::kCreateBitmap};
  auto small = ResampleBilinear(picture, size.width, size.height);
  if (!small) return small;
  return PlaceOnThumbnailCanvas(*small);
}

Result<std::vector<uint8_t>> BuildExifSegment(uint32_t width, uint32_t height,
                                              std::span<const uint8_t> thumbnail,
                                              const ExifDateTime& now) {
  const size_t length = kExifSegmentSize - 2 + thumbnail.size();
  if (length > 0xFFFF) return Failure{err::kCreatingJpeg};
  std::vector<uint8_t> seg(kExifSegmentSize, 0);
  LayOutSegment(seg);
  PutBe16(&seg[2], static_cast<uint16_t>(length));
  const std::string date = FormatExifDate(now);
  using namespace exif_tag;
  const bool patched =
      PatchText(seg, kModel, kExifModel) && PatchNumber(seg, kPixelXDimension, width) &&
      PatchNumber(seg, kPixelYDimension, height) &&
      PatchNumber(seg, kJpegInterchangeFormatLength, static_cast<uint32_t>(thumbnail.size())) &&
      PatchText(seg, kDateTimeOriginal, date) && PatchText(seg, kDateTimeDigitized, date) &&
      PatchText(seg, kDateTime, date);
  if (!patched) return Failure{err::kCreatingJpeg};
  seg.insert(seg.end(), thumbnail.begin(), thumbnail.end());
  return seg;
}

void UpdateKeptExif(KeptSegments& segments, uint32_t width, uint32_t height,
                    const ExifDateTime& now) {
  const std::string date = FormatExifDate(now);
  for (auto& seg : segments) {
    ExifInformation ignored;
    if (!ParseExif(seg, ignored)) continue;
    // The date goes only into a field stored by offset that can hold it
    // whole: the offset comes from the file and must not reach past the
    // segment or into a neighbouring value.
    auto dt = FindExifField(seg, exif_tag::kDateTime);
    if (dt && dt->type == exif_type::kAscii && !dt->in_entry && dt->inside &&
        dt->count >= kDateField) {
      uint8_t* p = &seg[static_cast<size_t>(dt->value)];
      std::memset(p, 0, kDateField);
      std::memcpy(p, date.data(), date.size());
    }
    for (auto [tag, v] : {std::pair{exif_tag::kPixelXDimension, width},
                          std::pair{exif_tag::kPixelYDimension, height}}) {
      auto f = FindExifField(seg, tag);
      if (f && f->type == exif_type::kLong && f->count == 1)
        PutOrdered(&seg[f->entry + 8], v, 4, f->big_endian);
    }
  }
}

}  // namespace fq
