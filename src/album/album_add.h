// The portable part of Add to Album: what the file dialog's answer names,
// what kind of picture each file is, and the name a JPEG saved under a
// movie's name is given before it enters the album.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fq::album {

// The Add Album File dialog's answer is limited to this many bytes.
inline constexpr size_t kSelectionBufferSize = 30720;

// The paths of a file dialog's answer: one full path, or a folder followed
// by names (each zero-terminated, an empty text ends the list). The names
// are taken in the dialog's order except that the first and the last
// exchange places. `answer` ends at the buffer's end even without the
// closing empty text.
std::vector<std::string> SelectedPaths(std::span<const char> answer);

// What a file added to an album is, by its content.
enum class PictureKind { kOther, kBmp, kJpeg, kMovie };
PictureKind PictureKindOf(const std::string& path);

// A JPEG whose name ends in the letters avi (any case) enters the album
// under the same name ending in "jpg"; nothing for any other name.
std::optional<std::string> JpegNameForMovieName(const std::string& path);

}  // namespace fq::album
