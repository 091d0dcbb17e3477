// Files with Exif: the Save As rewrite with a generated segment, the copy
// for the camera, and saving in place with the kept segments. Every file
// that replaces another is written whole beside it first.
#include <cstdlib>
#include <optional>

#include "image/exif.h"
#include "image/jpeg_file.h"
#include "base/file_io.h"
#include "base/temp_file.h"

namespace fq {
namespace {

ExifFailure Fail(int error, ExifMessage box = ExifMessage::kNone) { return {error, box}; }

Status WriteReplacing(const std::string& path, std::span<const uint8_t> bytes) {
  io::ReplacingWriter out(path);
  Status s = out.Open();
  if (s) s = out.Write(bytes);
  if (s) s = out.Commit();
  return s;
}

// The thumbnail JPEG of a picture, cleaned.
Result<std::vector<uint8_t>> ThumbnailJpeg(const ImageRecord& canvas) {
  auto tmp = temp::TempFile::CreateJpeg();
  if (!tmp) return tmp.failure();
  Status s = ImageToJpegFile(canvas, tmp->path(), kSampling2x1, kThumbnailQuality);
  if (!s) return Failure{s.message()};
  auto bytes = io::ReadWholeFile(tmp->path());
  if (!bytes) return bytes;
  return CleanJpeg(*bytes);
}

}  // namespace

ExifJpeg MakeExifJpeg(const std::string& jpeg_path, const ExifDateTime& now,
                      const ImageRecord* picture) {
  ExifJpeg out;
  std::optional<BitmapRead> decoded;
  if (!picture) {
    auto read = LoadJpeg(jpeg_path);
    if (!read) {
      out.failure = Fail(err::kCreatingJpeg, ExifMessage::kCannotChangeFormat);
      return out;
    }
    decoded = std::move(*read);
    picture = &decoded->record;
  }
  const ImageRecord& r = *picture;
  const uint32_t width = static_cast<uint32_t>(ImageWidth(r));
  const uint32_t height = static_cast<uint32_t>(std::abs(ImageHeight(r)));

  const ThumbnailSize size = FitThumbnail(static_cast<int>(width), static_cast<int>(height));
  auto small = size.width ? ResampleBilinear(r, size.width, size.height)
                          : Result<ImageRecord>(Failure{err::kCreateBitmap});
  decoded.reset();  // the full picture is no longer needed
  if (!small) {
    out.failure = Fail(err::kCreatingJpeg, ExifMessage::kCannotChangeFormat);
    return out;
  }
  auto canvas = PlaceOnThumbnailCanvas(*small);
  if (!canvas) {
    out.failure = Fail(err::kCreatingJpeg, ExifMessage::kCannotMakeThumbnail);
    return out;
  }
  auto thumbnail = ThumbnailJpeg(*canvas);
  if (!thumbnail) {
    out.failure = Fail(thumbnail.message());
    return out;
  }
  auto main_bytes = io::ReadWholeFile(jpeg_path);
  if (!main_bytes) {
    out.failure = Fail(main_bytes.message());
    return out;
  }
  auto main_clean = CleanJpeg(*main_bytes);
  if (!main_clean) {
    out.failure = Fail(err::kCreatingJpeg, ExifMessage::kCannotChangeFormat);
    return out;
  }
  auto segment = BuildExifSegment(width, height, *thumbnail, now);
  if (!segment) {
    out.failure = Fail(err::kCreatingJpeg, ExifMessage::kTagNotFound);
    return out;
  }
  out.bytes.reserve(2 + segment->size() + main_clean->size());
  out.bytes = {0xFF, kMarkerSoi};
  out.bytes.insert(out.bytes.end(), segment->begin(), segment->end());
  out.bytes.insert(out.bytes.end(), main_clean->begin() + 2, main_clean->end());
  return out;
}

std::optional<ExifFailure> CopyJpegWithExif(const std::string& source, const std::string& path,
                                            const ExifDateTime& now, const ImageRecord* picture) {
  ExifJpeg made = MakeExifJpeg(source, now, picture);
  if (made.failure) return made.failure;
  Status s = WriteReplacing(path, made.bytes);
  if (!s) return Fail(s.message());
  return std::nullopt;
}

std::optional<ExifFailure> AddExifToJpeg(const std::string& path, const ExifDateTime& now) {
  return CopyJpegWithExif(path, path, now);
}

Result<std::string> MakeExifCopy(const std::string& path, const ExifDateTime& now,
                                 ExifMessage* box) {
  ExifJpeg made = MakeExifJpeg(path, now);
  if (made.failure) {
    if (box) *box = made.failure->box;
    return Failure{made.failure->error};
  }
  auto tmp = temp::TempFile::CreateJpeg();
  if (!tmp) return tmp.failure();
  Status s = WriteReplacing(tmp->path(), made.bytes);
  if (!s) return Failure{s.message()};
  return tmp->Release();
}

Result<std::string> EnsureExif(const std::string& path, const ExifDateTime& now, bool* made_copy,
                               ExifMessage* box) {
  if (made_copy) *made_copy = false;
  auto header = ReadHeaderSegments(path);
  if (!header) return Failure{err::kNotJpeg};
  const HeaderClass kind = ClassifyHeader(*header);
  if (kind == HeaderClass::kExifOnly || kind == HeaderClass::kBoth) return path;
  auto copy = MakeExifCopy(path, now, box);
  if (copy && made_copy) *made_copy = true;
  return copy;
}

std::optional<ExifFailure> SaveJpegWithExif(const ImageRecord& picture, const std::string& path,
                                            int quality, const ExifDateTime& now,
                                            const std::string& sampling,
                                            const JpegProgress& progress) {
  auto tmp = temp::TempFile::CreateJpeg();
  if (!tmp) return Fail(tmp.message());
  Status s = SaveJpeg(picture, tmp->path(), quality, sampling, progress);
  if (!s) return Fail(s.message());
  // The thumbnail comes from the picture just encoded, which is at hand:
  // decoding the file again would give the same picture up to the coding
  // error, at the cost of a second full pass over it.
  ExifJpeg made = MakeExifJpeg(tmp->path(), now, &picture);
  if (made.failure) return made.failure;
  s = WriteReplacing(path, made.bytes);
  if (!s) return Fail(s.message());
  return std::nullopt;
}

Status RewriteWithSegments(const std::string& path, const KeptSegments& kept) {
  auto bytes = io::ReadWholeFile(path);
  if (!bytes) return bytes.failure();
  auto out = ReinsertSegments(*bytes, kept);
  if (!out) return out.failure();
  return WriteReplacing(path, *out);
}

Status SaveJpegKeepingSegments(const ImageRecord& picture, const std::string& path, int quality,
                               KeptSegments& kept, bool edited, const ExifDateTime& now,
                               const JpegProgress& progress) {
  if (edited)
    UpdateKeptExif(kept, static_cast<uint32_t>(ImageWidth(picture)),
                   static_cast<uint32_t>(std::abs(ImageHeight(picture))), now);
  auto tmp = temp::TempFile::CreateJpeg();
  if (!tmp) return tmp.failure();
  Status s = SaveJpeg(picture, tmp->path(), quality, kSampling2x1, progress);
  if (!s) return s;
  auto bytes = io::ReadWholeFile(tmp->path());
  if (!bytes) return bytes.failure();
  auto out = ReinsertSegments(*bytes, kept);
  if (!out) return out.failure();
  return WriteReplacing(path, *out);
}

}  // namespace fq
