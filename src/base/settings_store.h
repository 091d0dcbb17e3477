// Where preferences are kept: one private settings file of sections and
// key=value lines. The window layer installs the store it uses (the
// system's private-profile functions under Windows); the core and the
// native tools use the portable text-file store of ini_file.h. Section and
// key names are compared without regard to letter case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fq::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The leading decimal digits of the value (0 when it has none); `def`
  // only when the key is absent.
  virtual int ReadInt(std::string_view section, std::string_view key, int def) = 0;
  // The value, or `def` when the key is absent, cut to buffer_size - 1
  // characters (as if read into a buffer of that size).
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view def, size_t buffer_size) = 0;
  // A write that fails is ignored: preferences are never worth an error box.
  virtual void WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

// The store in force for the process. Until one is installed every read
// answers its default and writes go nowhere.
SettingsStore& Store();
// Installs `store` (not owned; it must outlive its use). nullptr restores the
// empty store.
void SetStore(SettingsStore* store);

// The leading decimal digits of `text` as an integer, 0 when it starts with
// anything else; values too large for an int are held at the largest one.
int LeadingDigits(std::string_view text);

// Case-insensitive name comparison in the ASCII sense, as section and key
// names are compared.
bool SameName(std::string_view a, std::string_view b);

}  // namespace fq::settings
