// The Image Information command: the fields of its dialog read from a
// picture file, and each field's text as the dialog shows it. The dialog
// itself only fills its controls from ImageInformationTexts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/messages.h"
#include "image/exif.h"

namespace fq {

// The dialog: template names by region and its control ids.
inline constexpr const char* kExifDialogBase = "EXIF_DIALOG";  // + "_US", "_EU" or "_JAPAN"
inline constexpr const char* kImageInformationCaption = "Image Information";
namespace exif_dialog {
inline constexpr int kFileName = 571;
inline constexpr int kLocation = 572;
inline constexpr int kManufacture = 573;
inline constexpr int kModel = 574;
inline constexpr int kCreated = 575;
inline constexpr int kModified = 576;
inline constexpr int kWidth = 577;
inline constexpr int kHeight = 578;
}  // namespace exif_dialog
// "EXIF_DIALOG_US" (region 0), "EXIF_DIALOG_EU" (1, 2), "EXIF_DIALOG_JAPAN" (3).
std::string ExifDialogName(int region);

// How the picture's camera data was found.
enum class InformationSource { kBitmap, kExif, kMaker, kPlainJpeg, kCalendarPage };

// The dialog's copy of the information: the Exif fields, then the file's
// name (with extension) and location (drive and folder).
struct ImageInformation {
  ExifInformation exif;
  std::string file_name;
  std::string location;
  InformationSource source = InformationSource::kPlainJpeg;
};

// The file's own times, supplied by the window layer (the portable file
// system knows none); missing ones leave their field empty.
struct FileTimes {
  std::optional<ExifDateTime> created;
  std::optional<ExifDateTime> modified;
};

// Reads the fields of a picture file: a bitmap gives its size and the file
// times; a JPEG gives its first Exif segment (the decoder's size when the
// segment holds none) or its first maker segment (size; dates from the
// file times), otherwise the decoder's size and the file times. Failures:
// kFileDoesNotExist, kNotJpeg, and those of reading the file.
Result<ImageInformation> ReadImageInformation(const std::string& path, const FileTimes& times);
// The date taken that a JPEG file's camera data holds, found as
// ReadImageInformation finds it (the first Exif or maker segment decides;
// a maker segment holds none): "" for a file without one or not a JPEG.
// Reads only the header segments.
std::string ReadDateTaken(const std::string& path);

// A calendar page shows only its file's times and name.
ImageInformation CalendarPageInformation(const std::string& path, const FileTimes& times);

// The texts of the dialog's read-only fields.
struct ImageInformationTexts {
  std::string file_name, location, manufacture, model, created, modified, width, height;
};
// A stored date ("1999:01:26 01:01:01") as the region shows it: Japanese as
// stored, English "JAN.26.1999 01:01:01", the others "26 JAN.,1999
// 01:01:01". An empty date stays empty; a text that is not such a date is
// shown as stored.
std::string FormatDateForRegion(const std::string& stored, int region);
// "%u", or empty for 0 (unknown).
std::string FormatDimension(uint32_t v);
ImageInformationTexts FormatImageInformation(const ImageInformation& info, int region);

}  // namespace fq
