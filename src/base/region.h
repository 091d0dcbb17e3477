// The region code: the language family of the user's system, which picks
// dialog template variants, date formats, status-bar widths and file-name
// character rules throughout the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fq::region {

inline constexpr int kEnglish = 0;
inline constexpr int kFrench = 1;
inline constexpr int kGerman = 2;
inline constexpr int kJapanese = 3;

inline constexpr int kLangEnglishUs = 1033;
inline constexpr int kLangGerman = 1031;
inline constexpr int kLangFrench = 1036;
inline constexpr int kLangJapanese = 1041;

// 1031 German, 1036 French, 1041 Japanese; anything else is English.
int RegionFromLanguage(int language_id);
// The language of a version resource's translation table: the first
// entry's 16-bit language identifier, or 1033 when the table is not exactly
// one 4-byte entry long.
int LanguageFromTranslation(std::span<const uint8_t> table);

// The process-wide region code, set once first thing at start-up.
int Code();
void SetCode(int code);

// How a dialog names its regional variants; each dialog states its rule.
enum class Variants {
  kEu,            // "_EU" for French and German, the plain name otherwise
  kJapan,         // "_JAPAN" for Japanese, the plain name otherwise
  kEuJapan,       // "", "_EU", "_EU", "_JAPAN"
  kUsEuJapan,     // "_US", "_EU", "_EU", "_JAPAN"
  kUsEuPlain,     // "_US", "_EU", "_EU", "" (the plain name is the Japanese one)
};
// The suffix for `region` (codes outside 0-3 count as English).
std::string_view VariantSuffix(Variants rule, int region);
std::string DialogName(std::string_view base, Variants rule, int region);
inline std::string DialogName(std::string_view base, Variants rule) {
  return DialogName(base, rule, Code());
}

}  // namespace fq::region
