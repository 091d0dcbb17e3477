// The transfer folder of a download: how its files are named and numbered,
// the checks it must pass before a batch starts, and how a received picture
// becomes a file there without ever replacing one.
//
// Downloaded files are "DSC" + four digits + ".jpg" (or ".avi"), numbered on
// from the highest number already in the folder; gaps are never reused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/messages.h"

namespace fq::cam {

inline constexpr int kLastFileNumber = 9999;
inline constexpr int kNumberSpace = 10000;
// Longest path a downloaded file may have (folder, separator and the 11
// characters of "DSCnnnn.jpg").
inline constexpr size_t kMaxTransferPath = 259;

inline constexpr std::string_view kStillExtension = ".jpg";
inline constexpr std::string_view kMovieExtension = ".avi";

// "DSC%04d" + extension.
std::string DscName(int number, std::string_view extension);

// The folder joined with a file name: the file system's separator is added
// unless the folder already ends in one (a backslash that is the second
// byte of a double-byte character does not count).
std::string JoinTransferPath(std::string_view folder, std::string_view name);

// The folder chosen in the folder selection dialog from the path it returns:
// the text before the last separator, or the drive root ("C:\") when no
// further separator remains.
std::string FolderOfChosenPath(std::string_view chosen);

// The highest file number in use in `folder` (0 to 9999): 9999 when
// DSC9999.jpg or DSC9999.avi exists or cannot be created there (a folder
// that takes no new file), otherwise the largest number of a "DSC????.???"
// file whose four characters after "DSC" are digits (others count as 0).
int NextFileNumber(const std::string& folder);

// The checks every download runs before its first picture: a folder whose
// file names would pass 259 characters (kFileNameTooLong); the number space
// (`NextFileNumber` + count must stay below 10000, else
// kCannotCopyDirectory). Gives the counter the batch starts from.
Result<int> CheckNumberSpace(const std::string& folder, int count);

// How the drive of a folder was found to be, for the drive check of types 2
// and 4.
enum class DriveKind { kNetwork, kCdRom, kOther };
// kCdRom: kCannotCopyDirectory; kOther without the folder: kDriveNotReady.
Status CheckDrive(DriveKind kind, bool folder_exists);

// Puts `bytes` into the folder under the first free name from
// DSC(counter + 1) on: written whole under a temporary name in the folder,
// then given the DSC name only if no file of that name exists (a file that
// appeared meanwhile is skipped, never replaced). `counter` is advanced to
// the number used. Failures: kCannotCreateFile (no temporary file, or no
// free number left), kDiskFull (a short write; nothing stays behind).
Result<std::string> SaveNewFile(const std::string& folder, int& counter,
                                std::string_view extension, std::span<const uint8_t> bytes);
// The same for a file already made under a temporary name in the folder
// (a movie, a repaired picture): it takes the next free DSC name, or is
// removed on failure.
Result<std::string> NameNewFile(const std::string& folder, int& counter,
                                std::string_view extension, const std::string& temp_path);

}  // namespace fq::cam
