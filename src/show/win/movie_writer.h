// Making a camera movie into an AVI file with the system's video library:
// the frames decoded, the user's choice of compressor in the system's
// compression-options dialog, a compressed stream of the frames; when the
// chosen compressor refuses the frames, "Failed a create AVI File.\nPlease
// Change Options." and the dialog again.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "base/messages.h"

namespace fq::win {

inline constexpr char kVideoTooOldText[] = "Video for Windows version is too old";
inline constexpr char kVideoErrorCaption[] = "WriteAVI Error";
inline constexpr char kChangeOptionsText[] = "Failed a create AVI File.\nPlease Change Options.";

// Writes the movie of the frame files at `path` (which is created, or
// replaced). When no compressed stream can be made for the choice (the
// uncompressed choice among others), the frames are written as they are.
// Failures, each leaving no file at `path`: a video library older than
// 1.10 (its message shown here, kUnexpected), a frame that does not decode
// or differs in size from the first (kCreatingBitmap, kCreateBitmap), the
// options dialog cancelled (kUserCancelledMovie), the file or a stream that
// cannot be made or written (kCannotCreateFile, kDiskFull). Only the first
// is shown here.
inline constexpr int kUserCancelledMovie = err::kUnexpected;
Status WriteMovieFile(HWND owner, std::span<const std::string> frame_paths, uint8_t rate_mode,
                      const std::string& path);

}  // namespace fq::win
