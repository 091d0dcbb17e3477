#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "support/scratch_dir.h"

namespace fq::shell {
namespace {

// The names, with "!19" in place of a name refused as too long.
std::vector<std::string> Names(std::string_view text) {
  std::vector<std::string> out;
  for (auto& r : ParseCommandLine(text))
    out.push_back(r.ok() ? r.value() : "!" + std::to_string(r.message()));
  return out;
}

using V = std::vector<std::string>;

TEST(CommandLine, BlanksEndNamesOnlyAfterTheKnownExtensions) {
  EXPECT_EQ(Names("C:\\My Pictures\\photo 1.jpg"), V{"C:\\My Pictures\\photo 1.jpg"});
  EXPECT_EQ(Names("a b.jpg c d.BMP"), (V{"a b.jpg", "c d.BMP"}));
  EXPECT_EQ(Names("x.Avi\ty.CAL  z.aLb"), (V{"x.Avi", "y.CAL", "z.aLb"}));
  EXPECT_EQ(Names("C:\\my notes.txt other.jpg"), V{"C:\\my notes.txt other.jpg"});
  EXPECT_EQ(Names("a.jpgb.bmp"), V{"a.jpgb.bmp"});
  EXPECT_EQ(Names("a.jpeg b.jpg"), V{"a.jpeg b.jpg"});
}

TEST(CommandLine, QuotesAreSeparators) {
  EXPECT_EQ(Names("\"C:\\a b.jpg\" \"d e.alb\""), (V{"C:\\a b.jpg", "d e.alb"}));
  EXPECT_EQ(Names("\"x.jpg\"\"y.bmp\""), (V{"x.jpg", "y.bmp"}));
  // After another ending the closing quote stays part of the name.
  EXPECT_EQ(Names("\"x y.txt\""), V{"x y.txt\""});
  EXPECT_TRUE(Names("").empty());
  EXPECT_TRUE(Names(" \t\"\" ").empty());
  EXPECT_EQ(Names("  a.jpg  "), V{"a.jpg"});
  EXPECT_EQ(Names("ORX_EVNT_NO=17"), V{"ORX_EVNT_NO=17"});
}

TEST(CommandLine, OverlongNamesAreRefusedAndTheRestStillSplit) {
  std::string ok = std::string(255, 'a') + ".jpg";  // 259
  std::string longer = std::string(256, 'b') + ".jpg";
  EXPECT_EQ(Names(ok), V{ok});
  EXPECT_EQ(Names(longer + " c.bmp " + ok), (V{"!19", "c.bmp", ok}));
  EXPECT_EQ(Names(std::string(100000, 'z')), V{"!19"});
}

TEST(HandOver, BytesFollowThePrefixRule) {
  std::vector<uint8_t> plain = HandOverBytes("C:\\a b.jpg");
  EXPECT_EQ(plain.size(), 12u);
  EXPECT_EQ(plain[10], 0);
  EXPECT_EQ(plain[11], 0);
  std::vector<uint8_t> event = HandOverBytes("orx_evnt_No=42");
  EXPECT_EQ(std::string(event.begin(), event.end()), "orx_evnt_No=42");
  EXPECT_EQ(HandOverBytes("").size(), 2u);
}

TEST(HandOver, ReadingTakesTextOnly) {
  auto text = [](std::vector<uint8_t> b) { return HandOverText(b); };
  EXPECT_EQ(text({'a', '.', 'j', 'p', 'g', 0, 0}), "a.jpg");
  EXPECT_EQ(text({'a', 0, 'b'}), "a");
  EXPECT_EQ(text({'x', '\t', 0xE9}), std::string("x\t\xE9"));
  EXPECT_FALSE(text({}));
  EXPECT_FALSE(text({0, 0}));
  EXPECT_FALSE(text({'a', 0x01, 'b', 0}));  // binary
  EXPECT_FALSE(text({'a', '\n'}));
  EXPECT_FALSE(text(std::vector<uint8_t>(kMaxHandOverBytes + 1, 'a')));
  EXPECT_TRUE(text(std::vector<uint8_t>(kMaxHandOverBytes, 'a')));
}

TEST(HandOver, FileRoundTripAndBadFiles) {
  testing_support::ScratchDir scratch;
  const std::filesystem::path& dir = scratch.path();
  std::string path = (dir / kHandOverFileName).string();

  ASSERT_TRUE(WriteHandOverFile(path, "C:\\My Pictures\\a b.jpg").ok());
  auto back = ReadHandOverFile(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(Names(*back), V{"C:\\My Pictures\\a b.jpg"});
  ASSERT_TRUE(WriteHandOverFile(path, "ORX_EVNT_NO=3").ok());
  EXPECT_EQ(ReadHandOverFile(path), "ORX_EVNT_NO=3");

  auto write_raw = [&](const std::vector<uint8_t>& b) {
    auto f = io::Fs().Create(path);
    ASSERT_TRUE(f);
    if (!b.empty()) f->Write(b.data(), b.size());
    f->Close();
  };
  write_raw({});
  EXPECT_FALSE(ReadHandOverFile(path));
  write_raw(std::vector<uint8_t>(kMaxHandOverBytes * 4, 'q'));
  EXPECT_FALSE(ReadHandOverFile(path));
  std::vector<uint8_t> binary(5000);
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<uint8_t>(i * 37 + 1);
  write_raw(binary);
  EXPECT_FALSE(ReadHandOverFile(path));
  EXPECT_FALSE(ReadHandOverFile((dir / "none.Dat").string()));
  // A folder that does not exist: failure, so the other start is not told.
  EXPECT_FALSE(WriteHandOverFile((dir / "no" / "x.Dat").string(), "a.jpg").ok());

  std::string p = HandOverFilePath();
  EXPECT_EQ(p, io::Fs().TempFolder() + "OrxCmdLine.Dat");
}

}  // namespace
}  // namespace fq::shell
