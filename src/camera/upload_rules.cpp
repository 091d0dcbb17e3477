#include "camera/upload_rules.h"

#include "base/file_io.h"
#include "base/messages.h"
#include "image/exif.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_segments.h"

namespace fq::cam {
namespace {

struct TypeLimits {
  uint32_t max_width, max_height;    // largest picture
  uint32_t fine_width, fine_height;  // larger than this on either side: mode 1
  bool allows_2x2;                   // luminance 2 × 2 needs no re-encoding
};

// Types 2 to 4; type 1 has its own rules (file sizes, 4 × 1 sampling).
const TypeLimits* LimitsOf(int type) {
  static constexpr TypeLimits kTwo{640, 480, 320, 240, false};
  static constexpr TypeLimits kThree{2560, 1920, 512, 384, true};
  static constexpr TypeLimits kFour{1280, 960, 512, 384, true};
  switch (type) {
    case 2: return &kTwo;
    case 3: return &kThree;
    case 4: return &kFour;
    default: return nullptr;
  }
}

Acceptance Refuse(Refusal why) { return {kRefused, why}; }

// A picture the camera decodes as it is: three 8-bit components in one
// baseline scan. Anything else (greyscale, CMYK, progressive, 12-bit) is
// re-encoded like a file with the wrong sampling.
bool PlainBaseline(const JpegFacts& f) {
  return f.components == 3 && f.precision == 8 && !f.progressive;
}

bool CameraExif(const std::vector<uint8_t>& header) {
  const HeaderClass kind = ClassifyHeader(header);
  if (kind != HeaderClass::kExifOnly && kind != HeaderClass::kBoth) return false;
  for (const auto& segment : CopyAppSegments(header)) {
    ExifInformation info;
    if (segment.size() > 1 && segment[1] == kMarkerApp1 && ParseExif(segment, info) &&
        IsMakerPicture(info))
      return true;
  }
  return false;
}

}  // namespace

uint8_t TypeOneMode(uint32_t width, uint32_t height, uint64_t bytes) {
  if (width > 320 || height > 240) {
    if (bytes <= 64511) return 1;
    if (bytes <= 131071) return 2;
    if (bytes <= 262143) return 3;
    return kRefused;
  }
  return bytes <= 21503 ? 0 : kRefused;
}

JpegFacts ReadJpegFacts(const std::string& path, bool exif_check) {
  JpegFacts f;
  auto file = io::Fs().OpenRead(path);
  if (!file) return f;
  f.exists = true;
  f.size = file->Size().value_or(0);
  file.reset();
  if (f.size == 0) return f;
  f.is_jpeg = IsJpegFile(path);
  if (!f.is_jpeg) return f;
  auto header = ReadJpegHeader(path);
  if (!header) return f;
  f.header_read = true;
  f.width = header->width;
  f.height = header->height;
  f.luma_h = header->sampling[0].h;
  f.luma_v = header->sampling[0].v;
  f.components = header->components;
  f.precision = header->precision;
  f.progressive = header->progressive;
  if (exif_check) {
    auto segments = ReadHeaderSegments(path);
    f.segments_read = segments.ok();
    f.camera_exif = f.segments_read && CameraExif(*segments);
  }
  return f;
}

Acceptance JudgeForCamera(const JpegFacts& f, int type) {
  if (!f.exists || f.size == 0) return Refuse(Refusal::kUnreadable);
  if (!f.is_jpeg) return Refuse(Refusal::kNotJpeg);
  if (!f.header_read || f.size > kLargestUpload) return Refuse(Refusal::kNotTransferable);
  if (type == 1) {
    if (f.width > 640 || f.height > 480) return Refuse(Refusal::kNotTransferable);
    const uint8_t mode = TypeOneMode(f.width, f.height, f.size);
    if (mode == kRefused) return Refuse(Refusal::kNotTransferable);
    const bool as_is = f.luma_h == 4 && f.luma_v == 1 && PlainBaseline(f);
    return {static_cast<uint8_t>(mode | (as_is ? 0 : kReencode)), Refusal::kNone};
  }
  const TypeLimits* limits = LimitsOf(type);
  if (!limits || f.width > limits->max_width || f.height > limits->max_height)
    return Refuse(Refusal::kNotTransferable);
  const uint8_t mode = (f.width > limits->fine_width || f.height > limits->fine_height) ? 1 : 0;
  bool as_is = f.luma_h == 2 && (f.luma_v == 1 || (limits->allows_2x2 && f.luma_v == 2)) &&
               PlainBaseline(f);
  if (type == 4) {
    if (!f.segments_read) return Refuse(Refusal::kSegmentsUnreadable);
    as_is = as_is && f.camera_exif;
  }
  return {static_cast<uint8_t>(mode | (as_is ? 0 : kReencode)), Refusal::kNone};
}

Acceptance AcceptForCamera(const std::string& path, int type) {
  return JudgeForCamera(ReadJpegFacts(path, type == 4), type);
}

int MessageOfRefusal(Refusal r) {
  switch (r) {
    case Refusal::kUnreadable: return err::kFileCannotBeOpened;
    case Refusal::kNotJpeg: return err::kNotJpeg;
    case Refusal::kNotTransferable: return err::kJpegNotTransferable;
    default: return -1;
  }
}

std::string NotTransferableText(std::string_view file_name) {
  return "This JPEG file cannot be transferred to the Camera.\nFile Name : " +
         std::string(file_name);
}

}  // namespace fq::cam
