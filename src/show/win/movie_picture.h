// The picture a movie stands for wherever the program shows a still: frame 0
// of its first video stream, decoded by the system's video library in the
// display's best format and made an ordinary image record (40-byte header,
// rows bottom-up; 16- and 32-bit frames widened to 24 bits, palette frames
// kept with their palette).
//
// Used by album cells of movies and by the slide show; the movie window
// plays the file itself.
#pragma once

#include <optional>
#include <string>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::win {

inline constexpr char kAviOpenErrorText[] = "Error opening AVI file.";

// Frame 0 of the movie, or nothing. A file the video library cannot open
// shows "Error opening AVI file." (OK, no owner); every other failure (no
// video stream, no decoder, a frame that cannot be a picture) gives nothing
// without a message, and the caller reports what it needs.
std::optional<ImageRecord> PictureFromMovie(const std::string& path);

// The same without any message: kFileCannotBeOpened when the library cannot
// open the file, kCreateBitmap when there is no usable frame 0, kMemory.
Result<ImageRecord> ReadMovieFrame(const std::string& path);

}  // namespace fq::win
