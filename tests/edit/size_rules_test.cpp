#include <gtest/gtest.h>

#include "edit/size_rules.h"

namespace fq::edit {
namespace {

TEST(SizeRules, WhatAFieldKeepsOfWhatIsTyped) {
  EXPECT_EQ(FilterSizeField("640"), "640");
  EXPECT_EQ(FilterSizeField("64a0"), "64");   // cut at the first letter
  EXPECT_EQ(FilterSizeField("x640"), "");
  EXPECT_EQ(FilterSizeField("12345"), "1234");  // four digits at most...
  EXPECT_EQ(FilterSizeField("99999"), "1920");  // ...held to 1920
  EXPECT_EQ(FilterSizeField("1921"), "1920");
  EXPECT_EQ(FilterSizeField("0640"), "0");      // a leading 0 makes it 0
  EXPECT_EQ(FilterSizeField(""), "");
  EXPECT_EQ(FilterSizeField("31"), "31");       // OK judges the range, not typing
}

TEST(SizeRules, ProportionKeepsThePartnerWithin1920) {
  // 640 x 480: width 1000 gives height 750; 3000 typed is 1920, height 1440.
  EXPECT_EQ(Constrain(1000, 480.0 / 640), (ConstrainedSize{1000, 750}));
  EXPECT_EQ(Constrain(std::stoi(FilterSizeField("3000")), 480.0 / 640), (ConstrainedSize{1920, 1440}));
  // Editing the height of a wide picture: the width would pass 1920.
  EXPECT_EQ(Constrain(1500, 640.0 / 480), (ConstrainedSize{1440, 1920}));
  EXPECT_EQ(Constrain(333, 2.0 / 3), (ConstrainedSize{333, 222}));
}

TEST(SizeRules, OkAcceptsOnly32To1920InDigits) {
  EXPECT_EQ(AcceptedSize("32", "1920"), (NewSize{32, 1920}));
  for (auto [w, h] : {std::pair{"31", "100"}, {"100", "1921"}, {"", "100"}, {"100", ""},
                      {"1a0", "100"}, {"10000", "100"}, {"-50", "100"}, {"0", "0"}})
    EXPECT_FALSE(AcceptedSize(w, h)) << w << " x " << h;
}

}  // namespace
}  // namespace fq::edit
