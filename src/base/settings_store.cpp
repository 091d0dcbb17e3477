#include "base/settings_store.h"

#include <climits>

namespace fq::settings {
namespace {

class EmptyStore final : public SettingsStore {
 public:
  int ReadInt(std::string_view, std::string_view, int def) override { return def; }
  std::string ReadString(std::string_view, std::string_view, std::string_view def,
                         size_t buffer_size) override {
    if (buffer_size == 0) return {};
    return std::string(def.substr(0, buffer_size - 1));
  }
  void WriteString(std::string_view, std::string_view, std::string_view) override {}
};

SettingsStore* g_store = nullptr;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

SettingsStore& Store() {
  static EmptyStore empty;
  return g_store ? *g_store : empty;
}

void SetStore(SettingsStore* store) { g_store = store; }

int LeadingDigits(std::string_view text) {
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
    if (v > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(v);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace fq::settings
