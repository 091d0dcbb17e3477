// The date a cell shows above its picture: taken from the picture file when
// the album is loaded or the picture added, never stored in the album.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fq::album {

struct PictureDate {
  int year = 0, month = 0, day = 0;  // all 0: no date
  bool none() const { return year == 0 && month == 0 && day == 0; }
  friend bool operator==(const PictureDate&, const PictureDate&) = default;
};

// The label by region: English "JAN. 5, 2001", Japanese "2001/1/5", French
// and German "5 JAN.,2001"; empty when there is no date. A month outside
// 1..12 shows no month name.
std::string DateLabel(const PictureDate& date, int region);

// The date part of a stored camera date ("2001:01:05 10:20:30"); nothing
// when the text is not such a date. "0000:00:00" is a date with all parts 0
// (a camera whose clock was never set).
std::optional<PictureDate> DateFromCameraText(std::string_view text);

// The date of a picture file: for a JPEG, the date taken that its camera
// data gives (the Image Information road); when it has none, and for every
// other file, `created` (the file's creation date in local time, which the
// caller reads from the system; nothing gives no date).
PictureDate PictureDateOf(const std::string& path, std::optional<PictureDate> created);

}  // namespace fq::album
