#include "base/messages.h"

#include <gtest/gtest.h>

namespace fq {
namespace {

TEST(Messages, TableEndsAndOutsideIndexes) {
  EXPECT_EQ(ErrorText(0), "Failed to open COM Port.");
  EXPECT_EQ(ErrorText(46), "Image not saved because it already existed.");
  EXPECT_EQ(ErrorText(47), "It is a non-definition error.");
  EXPECT_EQ(ErrorText(-1), "It is a non-definition error.");
  EXPECT_EQ(QuestionText(7), "Does it Transfer Only Image(s)?");
  EXPECT_EQ(QuestionText(8), "It is a non-definition error.");
  EXPECT_FALSE(IsQuestionIndex(8));
}

TEST(Messages, TextsKeepTheirLineBreaksAndPlaceholders) {
  EXPECT_EQ(ErrorText(err::kCannotAccessCamera),
            "Cannot access Camera.\nMake sure Camera is turned on and properly connected.");
  EXPECT_EQ(ErrorText(err::kJpegNotSupported),
            "This JPEG file type cannot be supported.\nFile Name : %s\n");
  EXPECT_EQ(ErrorText(err::kCannotCopyDirectory),
            "Cannot copy This Directory. Please Change Directory.\n");
  // Two indexes carry the same album text on purpose.
  EXPECT_EQ(ErrorText(err::kAlbumCreateFailed), ErrorText(err::kAlbumCreateFailed2));
}

TEST(Messages, FormattedQuestionFillsTheNumberOnlyForIndexZero) {
  EXPECT_EQ(FormatQuestion(0, 12), "Are you sure you want to delete Image No.12?");
  EXPECT_EQ(FormatQuestion(1, 12), "It is a non-definition error.");
}

TEST(Messages, ResultCodesMapToTheirMessages) {
  struct Row {
    int code;
    std::optional<int> message;
  } rows[] = {{1, 3},  {2, 3},  {11, 3}, {14, 3}, {10, 0},  {15, 0},  {16, 0},
              {17, 9}, {20, 9}, {30, 5}, {33, 5}, {40, 5},  {90, 2},  {91, 7},
              {93, 7}, {92, 8}, {0, {}}, {3, {}}, {18, {}}, {34, {}}, {-1, {}}};
  for (const Row& r : rows) EXPECT_EQ(MessageForResult(r.code), r.message) << r.code;
}

}  // namespace
}  // namespace fq
