// The settings store of the Windows program: the system's private-profile
// functions on the settings file.
#pragma once

#include <string>

#include "base/settings_store.h"

namespace fq::win {

class ProfileStore final : public settings::SettingsStore {
 public:
  explicit ProfileStore(std::string path) : path_(std::move(path)) {}

  int ReadInt(std::string_view section, std::string_view key, int def) override;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def,
                         size_t buffer_size) override;
  void WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override;

 private:
  std::string path_;
};

}  // namespace fq::win
