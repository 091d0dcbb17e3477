// Program paths and the joining of folder and file names.
//
// The settings file and the help file sit in the program folder. When that
// folder does not accept new files (an installation in a protected place),
// the settings file moves to a folder of the user's own; the help file,
// which is only read, stays beside the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fq::paths {

inline constexpr std::string_view kSettingsFileName = "Lumvex01.ini";
inline constexpr std::string_view kHelpFileName = "Lumvex01.hlp";
inline constexpr std::string_view kUserFolderName = "Fotaquill";        // under %APPDATA%
inline constexpr std::string_view kNativeUserFolderName = "fotaquill";  // under XDG config

// Double-byte names: on a system whose code page has double-byte characters
// a byte 0x81-0x9F or 0xE0-0xFC starts a two-byte character, and a
// backslash that is its second byte is no separator. Off by default (single
// byte code pages); the window layer switches it on for such systems.
bool IsLeadByte(unsigned char c);
void SetDoubleByteNames(bool on);
bool DoubleByteNames();

// Position of the last '\\' or '/' that is a separator, or npos.
size_t LastSeparator(std::string_view path, bool double_byte);
inline size_t LastSeparator(std::string_view path) {
  return LastSeparator(path, DoubleByteNames());
}

// folder + name with one separator between them: a backslash is added
// unless the folder already ends in a separator. An empty folder gives the
// name alone (it is relative to the current folder, not to the root).
std::string JoinPath(std::string_view folder, std::string_view name, bool double_byte);
inline std::string JoinPath(std::string_view folder, std::string_view name) {
  return JoinPath(folder, name, DoubleByteNames());
}

struct ProgramPaths {
  std::string program_folder;  // with its trailing separator
  std::string settings_file;
  std::string help_file;
};

// The paths for a program at `module_path` (its full file name); nothing
// when that has no folder part.
std::optional<ProgramPaths> ProgramPathsFrom(std::string_view module_path);
// Moves the settings file into `user_folder` (with its trailing separator)
// when the program folder is not writable and a user folder is known.
ProgramPaths PlaceSettings(ProgramPaths p, bool program_folder_writable,
                           std::string_view user_folder);
// Whether a new file can be made in `folder` (tried through fq::io::Fs()
// and removed again).
bool FolderAcceptsFiles(const std::string& folder);

// The user's own settings folder: %APPDATA%\Fotaquill\ under Windows,
// $XDG_CONFIG_HOME/fotaquill/ (or ~/.config/fotaquill/) elsewhere; "" when
// the variables needed are empty.
std::string WindowsUserFolder(std::string_view appdata);
std::string NativeUserFolder(std::string_view xdg_config_home, std::string_view home);

// The paths of the running program, set once at start-up.
const ProgramPaths& Paths();
void SetPaths(ProgramPaths p);

}  // namespace fq::paths
