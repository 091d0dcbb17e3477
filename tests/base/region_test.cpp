#include "base/region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace fq::region {
namespace {

TEST(Region, FromLanguage) {
  EXPECT_EQ(RegionFromLanguage(1031), kGerman);
  EXPECT_EQ(RegionFromLanguage(1036), kFrench);
  EXPECT_EQ(RegionFromLanguage(1041), kJapanese);
  EXPECT_EQ(RegionFromLanguage(1033), kEnglish);
  EXPECT_EQ(RegionFromLanguage(2055), kEnglish);  // Swiss German is not German here
  EXPECT_EQ(RegionFromLanguage(0), kEnglish);
}

TEST(Region, LanguageFromTranslationTable) {
  std::vector<uint8_t> german = {0x07, 0x04, 0xB0, 0x04};  // 1031, code page 1200
  EXPECT_EQ(LanguageFromTranslation(german), 1031);
  std::vector<uint8_t> japanese = {0x11, 0x04, 0xA4, 0x03};
  EXPECT_EQ(RegionFromLanguage(LanguageFromTranslation(japanese)), kJapanese);
  // Two entries, or none: not exactly one 4-byte entry.
  std::vector<uint8_t> two = {0x07, 0x04, 0xB0, 0x04, 0x0C, 0x04, 0xB0, 0x04};
  EXPECT_EQ(LanguageFromTranslation(two), 1033);
  EXPECT_EQ(LanguageFromTranslation({}), 1033);
  std::vector<uint8_t> three = {0x07, 0x04, 0xB0};
  EXPECT_EQ(LanguageFromTranslation(three), 1033);
}

TEST(Region, DialogVariantNames) {
  // Progress dialog: "_EU" for French and German only.
  EXPECT_EQ(DialogName("MeterDlg", Variants::kEu, kEnglish), "MeterDlg");
  EXPECT_EQ(DialogName("MeterDlg", Variants::kEu, kFrench), "MeterDlg_EU");
  EXPECT_EQ(DialogName("MeterDlg", Variants::kEu, kGerman), "MeterDlg_EU");
  EXPECT_EQ(DialogName("MeterDlg", Variants::kEu, kJapanese), "MeterDlg");
  EXPECT_EQ(DialogName("FILEOPEN", Variants::kJapan, kJapanese), "FILEOPEN_JAPAN");
  EXPECT_EQ(DialogName("FILEOPEN", Variants::kJapan, kGerman), "FILEOPEN");
  EXPECT_EQ(DialogName("MEMReq2", Variants::kEuJapan, kEnglish), "MEMReq2");
  EXPECT_EQ(DialogName("MEMReq2", Variants::kEuJapan, kJapanese), "MEMReq2_JAPAN");
  EXPECT_EQ(DialogName("SIZECHANGE", Variants::kUsEuJapan, kEnglish), "SIZECHANGE_US");
  EXPECT_EQ(DialogName("SIZECHANGE", Variants::kUsEuJapan, kFrench), "SIZECHANGE_EU");
  EXPECT_EQ(DialogName("SIZECHANGE", Variants::kUsEuJapan, kJapanese), "SIZECHANGE_JAPAN");
  EXPECT_EQ(DialogName("CAPTURE", Variants::kUsEuPlain, kEnglish), "CAPTURE_US");
  EXPECT_EQ(DialogName("CAPTURE", Variants::kUsEuPlain, kGerman), "CAPTURE_EU");
  EXPECT_EQ(DialogName("CAPTURE", Variants::kUsEuPlain, kJapanese), "CAPTURE");
  // Unknown codes are English.
  EXPECT_EQ(DialogName("CAPTURE", Variants::kUsEuPlain, 9), "CAPTURE_US");
}

}  // namespace
}  // namespace fq::region
