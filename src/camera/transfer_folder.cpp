#include "camera/transfer_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/file_io.h"
#include "base/paths.h"

namespace fq::cam {
namespace {

constexpr size_t kWriteChunk = 32767;
constexpr std::string_view kDscPrefix = "DSC";
constexpr size_t kDscNameLength = 11;  // "DSCnnnn.ext"

// Whether the folder already ends in a separator of its own.
bool EndsInSeparator(std::string_view folder) {
  if (folder.empty()) return false;
  return paths::LastSeparator(folder) == folder.size() - 1;
}

// A file of the folder that a number is read from: "DSC", four characters,
// a dot and an extension of up to three characters, in any letter case.
// Gives the number, 0 when the four are not all digits; -1 for other names.
int NumberOfName(std::string_view name) {
  if (name.size() < 8 || name.size() > kDscNameLength || name[7] != '.') return -1;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(name[i])) != kDscPrefix[i]) return -1;
  int n = 0;
  for (size_t i = 3; i < 7; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// A file may be made at `path`: it exists already, or a test file can be
// created and removed there.
bool TakenOrUnwritable(const std::string& path) {
  io::FileSystem& fs = io::Fs();
  if (fs.Exists(path)) return true;
  auto probe = fs.Create(path);
  if (!probe) return true;
  probe->Close();
  probe.reset();
  fs.Remove(path);
  return false;
}

Status WriteAll(io::File& file, std::span<const uint8_t> bytes) {
  for (size_t done = 0; done < bytes.size();) {
    size_t n = std::min(kWriteChunk, bytes.size() - done);
    if (file.Write(bytes.data() + done, n) != n) return Failure{err::kDiskFull};
    done += n;
  }
  return {};
}

}  // namespace

std::string DscName(int number, std::string_view extension) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", std::clamp(number, 0, kLastFileNumber));
  std::string name(kDscPrefix);
  name += digits;
  name += extension;
  return name;
}

std::string JoinTransferPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!folder.empty() && !EndsInSeparator(folder)) out += io::Fs().Separator();
  out += name;
  return out;
}

std::string FolderOfChosenPath(std::string_view chosen) {
  size_t sep = paths::LastSeparator(chosen);
  if (sep == std::string_view::npos) return std::string(chosen);
  // "C:\name" keeps its root: the folder is the drive itself.
  if (sep == 2 && chosen.size() > 1 && chosen[1] == ':') return std::string(chosen.substr(0, 3));
  if (sep == 0) return std::string(chosen.substr(0, 1));
  return std::string(chosen.substr(0, sep));
}

int NextFileNumber(const std::string& folder) {
  for (std::string_view ext : {kStillExtension, kMovieExtension})
    if (TakenOrUnwritable(JoinTransferPath(folder, DscName(kLastFileNumber, ext))))
      return kLastFileNumber;
  auto names = io::Fs().ListFiles(folder.empty() ? std::string(".") : folder);
  if (!names) return kLastFileNumber;  // a folder that cannot be read takes nothing new
  int highest = 0;
  for (const std::string& name : *names) highest = std::max(highest, NumberOfName(name));
  return highest;
}

Result<int> CheckNumberSpace(const std::string& folder, int count) {
  if (folder.size() + 1 + kDscNameLength > kMaxTransferPath) return Failure{err::kFileNameTooLong};
  int counter = NextFileNumber(folder);
  if (count < 0 || int64_t{count} + counter >= kNumberSpace) return Failure{err::kCannotCopyDirectory};
  return counter;
}

Status CheckDrive(DriveKind kind, bool folder_exists) {
  switch (kind) {
    case DriveKind::kNetwork: return {};
    case DriveKind::kCdRom: return Failure{err::kCannotCopyDirectory};
    case DriveKind::kOther: break;
  }
  if (!folder_exists) return Failure{err::kDriveNotReady};
  return {};
}

Result<std::string> NameNewFile(const std::string& folder, int& counter,
                                std::string_view extension, const std::string& temp_path) {
  io::FileSystem& fs = io::Fs();
  for (int number = counter + 1; number <= kLastFileNumber; ++number) {
    std::string target = JoinTransferPath(folder, DscName(number, extension));
    if (fs.Exists(target)) continue;
    if (fs.MoveToNewName(temp_path, target)) {
      counter = number;
      return target;
    }
    if (!fs.Exists(target)) break;  // not taken, yet it could not be named so
  }
  fs.Remove(temp_path);
  return Failure{err::kCannotCreateFile};
}

Result<std::string> SaveNewFile(const std::string& folder, int& counter,
                                std::string_view extension, std::span<const uint8_t> bytes) {
  io::FileSystem& fs = io::Fs();
  std::string dir = folder;
  if (!dir.empty() && !EndsInSeparator(dir)) dir += fs.Separator();
  auto temp = fs.NewUniqueFile(dir, "ORX");
  if (!temp) return Failure{err::kCannotCreateFile};
  auto file = fs.Create(*temp);
  if (!file) {
    fs.Remove(*temp);
    return Failure{err::kCannotCreateFile};
  }
  Status written = WriteAll(*file, bytes);
  if (!file->Close() && written) written = Failure{err::kDiskFull};
  file.reset();
  if (!written) {
    fs.Remove(*temp);
    return Failure{written.message()};
  }
  return NameNewFile(folder, counter, extension, *temp);
}

}  // namespace fq::cam
