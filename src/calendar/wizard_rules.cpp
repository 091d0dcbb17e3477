#include "calendar/wizard_rules.h"

namespace fq::cal {

std::string KeepLeadingDigits(std::string_view typed, size_t max_digits) {
  size_t n = 0;
  while (n < typed.size() && n < max_digits && typed[n] >= '0' && typed[n] <= '9') ++n;
  return std::string(typed.substr(0, n));
}

int FieldNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 4) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v >= low && v <= high ? v : -1;
}

std::string_view PictureDateMessage(bool picture_valid, bool date_valid, bool monthly) {
  if (picture_valid && date_valid) return {};
  if (picture_valid)
    return monthly ? "Invalid \"Year, Month\".\nPlease input again."
                   : "Invalid \"Year\".\nPlease input again.";
  if (date_valid) return "Invalid \"Image Select\".\nPlease input again.";
  return monthly ? "Invalid \"Image Select\" and \"Year, Month\".\nPlease input again."
                 : "Invalid \"Image Select\" and \"Year\".\nPlease input again.";
}

}  // namespace fq::cal
