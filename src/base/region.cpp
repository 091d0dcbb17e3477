#include "base/region.h"

#include "base/bytes.h"

namespace fq::region {
namespace {
int g_code = kEnglish;
}  // namespace

int RegionFromLanguage(int language_id) {
  switch (language_id) {
    case kLangGerman:
      return kGerman;
    case kLangFrench:
      return kFrench;
    case kLangJapanese:
      return kJapanese;
    default:
      return kEnglish;
  }
}

int LanguageFromTranslation(std::span<const uint8_t> table) {
  if (table.size() != 4) return kLangEnglishUs;
  return GetU16(table.data());
}

int Code() { return g_code; }
void SetCode(int code) { g_code = code; }

std::string_view VariantSuffix(Variants rule, int region) {
  bool eu = region == kFrench || region == kGerman;
  bool japan = region == kJapanese;
  switch (rule) {
    case Variants::kEu:
      return eu ? "_EU" : "";
    case Variants::kJapan:
      return japan ? "_JAPAN" : "";
    case Variants::kEuJapan:
      return eu ? "_EU" : japan ? "_JAPAN" : "";
    case Variants::kUsEuJapan:
      return eu ? "_EU" : japan ? "_JAPAN" : "_US";
    case Variants::kUsEuPlain:
      return eu ? "_EU" : japan ? "" : "_US";
  }
  return "";
}

std::string DialogName(std::string_view base, Variants rule, int region) {
  return std::string(base) + std::string(VariantSuffix(rule, region));
}

}  // namespace fq::region
