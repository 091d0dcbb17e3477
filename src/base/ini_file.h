// The portable settings store: the classic sectioned text file read and
// rewritten through fq::io::Fs().
//
//   [SECTION]
//   key=value
//
// Blank lines, comment lines (";") and lines that are neither a section
// header nor key=value are kept as they are on rewrite and ignored on read.
// Names are trimmed of blanks and compared without regard to case; the first
// section and the first key of a name win. A value enclosed in a pair of
// matching quotes is read without them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings_store.h"

namespace fq::settings {

class IniFileStore final : public SettingsStore {
 public:
  explicit IniFileStore(std::string path) : path_(std::move(path)) {}

  int ReadInt(std::string_view section, std::string_view key, int def) override;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def,
                         size_t buffer_size) override;
  // Rewrites the whole file (beside it, then over it), keeping every other
  // line; the file is created when missing. Nothing happens when it cannot
  // be written, or when a name could not be read back (empty, or holding a
  // line break, "=" in a key or "]" in a section). A value is cut at its
  // first line break.
  void WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The value of section/key in the text of a settings file, if present.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);
// The text with section/key set to value, every other line kept. The lines
// of the result end in CR LF.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

}  // namespace fq::settings
