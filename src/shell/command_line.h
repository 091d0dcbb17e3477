// File names from a command line, and the hand-over file through which a
// second start of the program passes its command line to the instance that
// is already running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"

namespace fq::shell {

// Longest file name a command line, hand-over or drop may carry: path
// fields everywhere hold 259 bytes and a terminator.
inline constexpr size_t kMaxFileNameLength = 259;

// Splits a command line into file names. Blanks, tabs and double quotes
// between names are skipped; inside a name they end it only right after one
// of the extensions .jpg .bmp .avi .cal .alb (any letter case), so a name
// with blanks that ends in one of them needs no quotes, and a separator after
// anything else stays part of the name. A name longer than
// kMaxFileNameLength is given as the failure kFileNameTooLong in its place.
std::vector<Result<std::string>> ParseCommandLine(std::string_view text);

// The hand-over file's name in the temporary folder.
inline constexpr std::string_view kHandOverFileName = "OrxCmdLine.Dat";
// A command line with this prefix (any letter case) is an event number, not
// file names, and is written without terminator.
inline constexpr std::string_view kEventPrefix = "ORX_EVNT_NO=";
// A hand-over file larger than this holds no command line.
inline constexpr size_t kMaxHandOverBytes = 64 * 1024;

// The hand-over file's path: the temporary folder of the file system in
// force followed by kHandOverFileName.
std::string HandOverFilePath();

// The bytes written for a command line: the text and two zero bytes, or the
// text alone when it begins with kEventPrefix.
std::vector<uint8_t> HandOverBytes(std::string_view command_line);

// Writes the hand-over file whole before it replaces an older one, so the
// running instance is told only about a complete file: the caller signals it
// only on success. Failures: kFileCannotBeOpened, kDiskFull, kCannotCreateFile.
Status WriteHandOverFile(const std::string& path, std::string_view command_line);

// The command line in hand-over bytes: the text up to the first zero byte.
// Nothing for an empty or oversized file, or for text with control
// characters other than tabs (not a command line at all).
std::optional<std::string> HandOverText(std::span<const uint8_t> bytes);

// Reads the hand-over file; nothing when it cannot be read or holds no
// command line (see HandOverText). The file is left in place.
std::optional<std::string> ReadHandOverFile(const std::string& path);

}  // namespace fq::shell
