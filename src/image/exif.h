// The Exif segment: reading the camera data of a JPEG file (an Exif APP1
// segment, or the maker's APP0 segment of older cameras), building the
// program's own 474-byte Exif segment with a 160 × 120 thumbnail for every
// JPEG saved through Save As or prepared for the camera, and bringing kept
// segments up to date when an edited picture is saved in place.
//
// Reading never goes outside the segment it is given: entries, counts and
// offsets that point beyond it end the parse with what was found so far;
// IFD chains are followed with a visited-offset set and a depth limit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"
#include "image/jpeg_file.h"
#include "image/jpeg_segments.h"

namespace fq {

// A local date and time as the Exif date fields hold it.
struct ExifDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// The current local time.
ExifDateTime LocalNow();
// "year:month:day hour:minute:second" ("%d" year, the rest "%02d"), at most
// 19 characters (the text of a 20-byte field).
std::string FormatExifDate(const ExifDateTime& t);

// Each text field holds at most this many bytes including its zero byte.
inline constexpr size_t kExifTextField = 100;

// The fields read from an Exif segment.
struct ExifInformation {
  std::string make;          // Make (271)
  std::string model;         // Model (272)
  std::string date_taken;    // DateTimeOriginal (36867)
  std::string date_changed;  // DateTime (306)
  uint32_t width = 0;        // ImageWidth (256) or PixelXDimension (40962); 0 unknown
  uint32_t height = 0;       // ImageLength (257) or PixelYDimension (40963)
};

// Tags and types this code reads or writes.
namespace exif_tag {
inline constexpr uint16_t kImageWidth = 256;
inline constexpr uint16_t kImageLength = 257;
inline constexpr uint16_t kCompression = 259;
inline constexpr uint16_t kMake = 271;
inline constexpr uint16_t kModel = 272;
inline constexpr uint16_t kXResolution = 282;
inline constexpr uint16_t kYResolution = 283;
inline constexpr uint16_t kResolutionUnit = 296;
inline constexpr uint16_t kSoftware = 305;
inline constexpr uint16_t kDateTime = 306;
inline constexpr uint16_t kJpegInterchangeFormat = 513;
inline constexpr uint16_t kJpegInterchangeFormatLength = 514;
inline constexpr uint16_t kYCbCrPositioning = 531;
inline constexpr uint16_t kExifIfdPointer = 34665;
inline constexpr uint16_t kExifVersion = 36864;
inline constexpr uint16_t kDateTimeOriginal = 36867;
inline constexpr uint16_t kDateTimeDigitized = 36868;
inline constexpr uint16_t kComponentsConfiguration = 37121;
inline constexpr uint16_t kFlashpixVersion = 40960;
inline constexpr uint16_t kColorSpace = 40961;
inline constexpr uint16_t kPixelXDimension = 40962;
inline constexpr uint16_t kPixelYDimension = 40963;
inline constexpr uint16_t kInteroperabilityPointer = 40965;
inline constexpr uint16_t kInteroperabilityIndex = 1;
inline constexpr uint16_t kInteroperabilityVersion = 2;
// The maker APP0 directory entry holding the picture size.
inline constexpr uint16_t kMakerPictureSize = 0x1810;
}  // namespace exif_tag

namespace exif_type {
inline constexpr uint16_t kAscii = 2;
inline constexpr uint16_t kShort = 3;
inline constexpr uint16_t kLong = 4;
inline constexpr uint16_t kRational = 5;
inline constexpr uint16_t kUndefined = 7;
}  // namespace exif_type

// Where segment offsets of an Exif APP1 segment start counting in TIFF
// offsets: after FF E1, the length and "Exif\0\0".
inline constexpr size_t kTiffStart = 10;
// IFD chains longer than this are not followed.
inline constexpr int kMaxIfdDepth = 8;

// True when `segment` (whole: marker, length, body) is an Exif APP1 segment
// with a TIFF header of either byte order; the fields found are stored into
// `info` (width and height from the Exif IFD only where still 0).
bool ParseExif(std::span<const uint8_t> segment, ExifInformation& info);

// True when `segment` is a maker APP0 segment ("II" or "MM" at offset 4);
// width and height are set only when its directory has the picture-size
// entry.
bool ParseMakerApp0(std::span<const uint8_t> segment, uint32_t& width, uint32_t& height);

// The thumbnail an Exif segment points to (JPEGInterchangeFormat and its
// length in IFD1), when it lies wholly inside the segment.
std::optional<std::span<const uint8_t>> FindExifThumbnail(std::span<const uint8_t> segment);

// Where a tag's value lives inside a segment, found by walking IFD0, the IFDs
// chained after it, then the Exif IFD.
struct ExifField {
  uint16_t type = 0;
  uint32_t count = 0;
  size_t entry = 0;          // segment offset of the 12-byte entry
  bool in_entry = false;     // the value fits the entry's 4-byte value field
  uint64_t value = 0;        // segment offset of the value (value field or its target)
  uint64_t value_bytes = 0;  // type size × count
  bool inside = false;       // the whole value lies inside the segment
  bool big_endian = false;
};
std::optional<ExifField> FindExifField(std::span<const uint8_t> segment, uint16_t tag);

// A kept picture's segments and what they say.
struct KeptHeader {
  HeaderClass kind = HeaderClass::kNeither;
  KeptSegments segments;  // empty unless kind is kMakerOnly or kExifOnly
  uint32_t maker_width = 0, maker_height = 0;
  ExifInformation exif;
};
// What an image window keeps of a JPEG file's header: all its APPn segments
// (the first 16) and the maker picture size or Exif fields, for a file with
// exactly one of the two kinds of camera segment; nothing for other files.
KeptHeader KeepSegments(std::span<const uint8_t> header);

// Brings kept Exif segments up to date for saving an edited picture in
// place: DateTime is set to `now` where it is stored by offset in a field of
// at least 20 bytes lying wholly inside the segment, and PixelXDimension and
// PixelYDimension to the picture size where stored as one LONG. Other
// segments are left as they are.
void UpdateKeptExif(KeptSegments& segments, uint32_t width, uint32_t height,
                    const ExifDateTime& now);

// --- The generated segment ---------------------------------------------

inline constexpr size_t kExifSegmentSize = 474;  // before the thumbnail
inline constexpr int kThumbnailWidth = 160;
inline constexpr int kThumbnailHeight = 120;
inline constexpr int kThumbnailQuality = 75;
inline constexpr const char* kExifMake = "MEROVANTA";
inline constexpr const char* kExifModel = "LUMVEX01 ";
inline constexpr const char* kExifSoftware = "Ver.1.0";

// The boxes (shown without caption) that accompany the failures of the
// generation; the window layer then reports its own code (kCreatingJpeg).
enum class ExifMessage { kNone, kCannotChangeFormat, kCannotMakeThumbnail, kTagNotFound };
std::string_view ExifMessageText(ExifMessage m);

// The size of a picture's thumbnail inside the 160 × 120 frame.
struct ThumbnailSize {
  int width = 0, height = 0;
};
ThumbnailSize FitThumbnail(int width, int height);

// The 160 × 120 24-bit thumbnail picture: the picture resampled to its
// fitted size, centred on black. Failure: kCreateBitmap, kMemory.
Result<ImageRecord> MakeThumbnailPicture(const ImageRecord& picture);
// The second half of that: a 24-bit picture of at most 160 × 120 placed on
// the black canvas, (160 − w) / 2 columns from the left and (120 − h) / 2
// rows from the bottom.
Result<ImageRecord> PlaceOnThumbnailCanvas(const ImageRecord& small);

// The 474-byte segment followed by `thumbnail` (a cleaned JPEG), with the
// picture size and `now` in its fields. Failure: kCreatingJpeg when the
// thumbnail does not fit the segment's 16-bit length.
Result<std::vector<uint8_t>> BuildExifSegment(uint32_t width, uint32_t height,
                                              std::span<const uint8_t> thumbnail,
                                              const ExifDateTime& now);

// Failure of a generation: the error index and the box to show with it.
struct ExifFailure {
  int error = err::kCreatingJpeg;
  ExifMessage box = ExifMessage::kNone;
};

// The bytes of the JPEG file at `jpeg_path` rewritten the Save As way:
// SOI, the generated segment with the thumbnail of the decoded picture,
// then the cleaned file after its SOI. `picture`, when given, is the
// picture the file was encoded from (or decoded into); the thumbnail and the
// pixel dimensions are then taken from it instead of decoding the file.
struct ExifJpeg {
  std::vector<uint8_t> bytes;
  std::optional<ExifFailure> failure;
};
ExifJpeg MakeExifJpeg(const std::string& jpeg_path, const ExifDateTime& now,
                      const ImageRecord* picture = nullptr);

// Save As of an unchanged JPEG: the coded bytes of `source` with a
// generated segment and thumbnail, written to `path` (which may be
// `source`); the old file there is replaced only when the new one is whole.
// `picture` as for MakeExifJpeg.
std::optional<ExifFailure> CopyJpegWithExif(const std::string& source, const std::string& path,
                                            const ExifDateTime& now,
                                            const ImageRecord* picture = nullptr);

// Rewrites the file at `path` with a generated segment and thumbnail; the
// old file is replaced only when the new one is whole.
std::optional<ExifFailure> AddExifToJpeg(const std::string& path, const ExifDateTime& now);
// The same result written into a new temporary file whose name ends in
// "jpg"; its path is returned and the file belongs to the caller.
Result<std::string> MakeExifCopy(const std::string& path, const ExifDateTime& now,
                                 ExifMessage* box = nullptr);
// For pictures sent to the camera: the path itself when the file already
// has an Exif segment (class 1 or 3), else a new temporary copy with one
// (`made_copy` tells which). Failure: kNotJpeg when the header cannot be
// read, or those of MakeExifCopy.
Result<std::string> EnsureExif(const std::string& path, const ExifDateTime& now,
                               bool* made_copy = nullptr, ExifMessage* box = nullptr);

// True when the make, in upper case, is the program's own camera maker.
bool IsMakerPicture(const ExifInformation& info);

// --- Saving ---------------------------------------------------------------

// Save As to JPEG: encodes the picture at `quality` (`progress` as for the
// coders), adds the generated segment with the thumbnail made from the
// picture itself, and only then replaces the file at `path`.
std::optional<ExifFailure> SaveJpegWithExif(const ImageRecord& picture, const std::string& path,
                                            int quality, const ExifDateTime& now,
                                            const std::string& sampling = kSampling2x1,
                                            const JpegProgress& progress = {});
// Save without the dialog of an unchanged picture: the file at `path`
// rewritten with `kept` in place of its APP0 segments; the old file is
// replaced only when the new one is whole.
Status RewriteWithSegments(const std::string& path, const KeptSegments& kept);
// Encodes the picture and writes it to `path` with the kept segments (the
// Exif ones updated first when `edited`).
Status SaveJpegKeepingSegments(const ImageRecord& picture, const std::string& path, int quality,
                               KeptSegments& kept, bool edited, const ExifDateTime& now,
                               const JpegProgress& progress = {});

}  // namespace fq
