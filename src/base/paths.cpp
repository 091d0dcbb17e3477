#include "base/paths.h"

#include "base/file_io.h"

namespace fq::paths {
namespace {
bool g_double_byte = false;
ProgramPaths g_paths;
}  // namespace

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
void SetDoubleByteNames(bool on) { g_double_byte = on; }
bool DoubleByteNames() { return g_double_byte; }

size_t LastSeparator(std::string_view path, bool double_byte) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (double_byte && IsLeadByte(c)) {
      ++i;  // the next byte belongs to this character
      continue;
    }
    if (c == '\\' || c == '/') last = i;
  }
  return last;
}

std::string JoinPath(std::string_view folder, std::string_view name, bool double_byte) {
  std::string out(folder);
  if (!folder.empty() && LastSeparator(folder, double_byte) != folder.size() - 1) out += '\\';
  out += name;
  return out;
}

std::optional<ProgramPaths> ProgramPathsFrom(std::string_view module_path) {
  size_t sep = LastSeparator(module_path);
  if (sep == std::string_view::npos) return std::nullopt;
  ProgramPaths p;
  p.program_folder = std::string(module_path.substr(0, sep + 1));
  p.settings_file = p.program_folder + std::string(kSettingsFileName);
  p.help_file = p.program_folder + std::string(kHelpFileName);
  return p;
}

ProgramPaths PlaceSettings(ProgramPaths p, bool program_folder_writable,
                           std::string_view user_folder) {
  if (!program_folder_writable && !user_folder.empty())
    p.settings_file = JoinPath(user_folder, kSettingsFileName);
  return p;
}

bool FolderAcceptsFiles(const std::string& folder) {
  auto probe = io::Fs().NewUniqueFile(folder, "ORX");
  if (!probe) return false;
  io::Fs().Remove(*probe);
  return true;
}

std::string WindowsUserFolder(std::string_view appdata) {
  if (appdata.empty()) return {};
  return JoinPath(appdata, kUserFolderName) + '\\';
}

std::string NativeUserFolder(std::string_view xdg_config_home, std::string_view home) {
  std::string base;
  if (!xdg_config_home.empty())
    base = std::string(xdg_config_home);
  else if (!home.empty())
    base = std::string(home) + (home.back() == '/' ? "" : "/") + ".config";
  else
    return {};
  if (base.back() != '/') base += '/';
  return base + std::string(kNativeUserFolderName) + '/';
}

const ProgramPaths& Paths() { return g_paths; }
void SetPaths(ProgramPaths p) { g_paths = std::move(p); }

}  // namespace fq::paths
