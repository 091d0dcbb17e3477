// Renaming a picture file through the title of its cell: which titles are
// accepted, the refusal texts, and the new path a title gives.
#pragma once

#include <string>
#include <string_view>

namespace fq::album {

// Of the title field's text, this many characters count.
inline constexpr size_t kTitleLength = 49;

inline constexpr std::string_view kTitleOpenInWindow =
    "File with same name is already opened.\nPlease close the file and rename again.";
inline constexpr std::string_view kCannotChangeName = "Cannot change filename.\nPlease rename again.";
inline constexpr std::string_view kNameExists = "File with same name already exists.\nPlease rename again.";
inline constexpr std::string_view kRenameFailed = "Filename change failed.";
inline constexpr std::string_view kForbiddenCharacters =
    "Filename cannot contain the following characters.\n\t\\ / : * ? \" < > |";
inline constexpr std::string_view kForbiddenCharactersJapan =
    "Filename cannot contain the following characters.\n\t\\ / : , ; * ? \" < > |";

enum class TitleCheck {
  kAccepted,
  kNoExtension,  // no "." with a character before it: error 23
  kForbidden,    // a character no file name may hold: the region's text
};

// Checks a new title. For the Japanese region the text is read as
// double-byte text (a lead byte and the byte after it are one character,
// never a forbidden one) and comma and semicolon are forbidden too.
TitleCheck CheckTitle(std::string_view title, int region);
std::string_view ForbiddenCharactersText(int region);

struct RenamedPath {
  std::string path;
  bool too_long = false;  // the path would not fit the album's 260-byte field
};
// The folder of `old_path` and the title; the old extension (the last four
// characters of the old path) is appended unless the title ends in exactly
// those four characters.
RenamedPath RenamedPathFor(const std::string& old_path, std::string_view title);

// The file name with extension of a path: what a cell's title starts as.
std::string TitleOf(const std::string& path);

}  // namespace fq::album
