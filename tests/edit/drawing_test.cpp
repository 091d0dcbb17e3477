#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "base/settings.h"
#include "edit/drawing.h"

namespace fq::edit {
namespace {

template <class T>
T Take(Result<T> r) {
  return std::move(r).value();
}

// A store in memory with the text-file format the program reads.
class MemoryStore final : public settings::SettingsStore {
 public:
  int ReadInt(std::string_view section, std::string_view key, int def) override {
    auto v = Find(section, key);
    return v ? settings::LeadingDigits(*v) : def;
  }
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def,
                         size_t size) override {
    auto v = Find(section, key);
    std::string s(v ? *v : std::string(def));
    return s.substr(0, size - 1);
  }
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override {
    values_[std::string(section) + "/" + std::string(key)] = std::string(value);
  }

 private:
  std::optional<std::string> Find(std::string_view section, std::string_view key) {
    auto it = values_.find(std::string(section) + "/" + std::string(key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> values_;
};

FaceInstalled Faces(std::set<std::string> faces) {
  return [faces](std::string_view f) { return faces.count(std::string(f)) > 0; };
}

TEST(ToolSettings, StoredFontOnlyWhenValidElseThePreferredFace) {
  MemoryStore store;
  auto installed = Faces({"Courier", "Arial", "Lucida"});
  // Nothing stored: the first installed preferred face at -24, black, pen 5.
  ToolSettings t = ReadToolSettings(store, installed);
  EXPECT_EQ(t.font, (ToolFont{"Courier", -24, 0, 0, false}));
  EXPECT_EQ(t.color, 0u);
  EXPECT_EQ(t.pen_width, 5);
  EXPECT_EQ(ReadToolSettings(store, Faces({"Terminal"})).font->height, -23);
  EXPECT_FALSE(ReadToolSettings(store, Faces({})).font.has_value());

  // A chosen font is written with its negative height and read back whole.
  WriteToolFont(store, {"Lucida", -37, 0, 700, true}, 0x0000FF);
  WritePenWidth(store, 12);
  t = ReadToolSettings(store, installed);
  EXPECT_EQ(t.font, (ToolFont{"Lucida", -37, 0, 700, true}));
  EXPECT_EQ(t.color, 0x0000FFu);
  EXPECT_EQ(t.pen_width, 12);

  // Each bad key falls back to the defaults.
  auto bad = [&](const char* key, const char* value) {
    MemoryStore s;
    WriteToolFont(s, {"Lucida", -37, 0, 700, true}, 0x00FF00);
    s.WriteString("TOOL", key, value);
    return ReadToolSettings(s, installed);
  };
  EXPECT_EQ(bad("Font", "Missing Face").font->face, "Courier");
  EXPECT_EQ(bad("Height", "0").font->face, "Courier");
  EXPECT_EQ(bad("Width", "3").font->face, "Courier");
  EXPECT_EQ(bad("Width", "3").color, 0u);
  EXPECT_EQ(bad("Color", "16777216").color, 0u);   // above 0xFFFFFF
  EXPECT_EQ(bad("Color", "16777215").color, 0xFFFFFFu);
  EXPECT_EQ(bad("PenSize", "31").pen_width, 5);
  EXPECT_EQ(bad("PenSize", "0").pen_width, 5);
}

TEST(ToolSettings, TypedPenWidthAndTexts) {
  EXPECT_EQ(PenWidthFromText("31"), 30);
  EXPECT_EQ(PenWidthFromText("0"), 1);
  EXPECT_EQ(PenWidthFromText("7px"), 7);
  EXPECT_EQ(PenWidthFromText("abc"), 5);
  EXPECT_EQ(PenWidthFromText(""), 5);
  EXPECT_EQ(JudgeText(""), TextVerdict::kEmpty);
  EXPECT_EQ(JudgeText(std::string(300, 'a')), TextVerdict::kAccepted);
  EXPECT_EQ(JudgeText(std::string(301, 'a')), TextVerdict::kTooLong);
  EXPECT_EQ(TextLines("ab\r\ncd\r\n"), (std::vector<std::string>{"ab", "cd", ""}));
  EXPECT_EQ(TextLines("one"), (std::vector<std::string>{"one"}));
}

TEST(TextPlacement, BoxAndMappingToThePicture) {
  EXPECT_EQ(TextBox(90, 10, 3, 20, false).width, 100);
  EXPECT_EQ(TextBox(90, 11, 3, 20, true).width, 106);  // 1.5 × 11 truncated
  EXPECT_EQ(TextBox(90, 10, 3, 20, false).height, 60);
  // 200-pixel picture at 100 % centred in 400: margin 100, box 50 wide.
  EXPECT_EQ(KeepBoxInside(10, 50, 400, 200), 100);
  EXPECT_EQ(KeepBoxInside(380, 50, 400, 200), 249);
  EXPECT_EQ(KeepBoxInside(150, 50, 400, 200), 150);
  EXPECT_EQ(KeepBoxInside(5, 50, 100, 200), 5);  // larger than the window
  // Window to picture: margin, scroll, 4 / zoom.
  EXPECT_EQ(WindowToPicture(150, 400, 200, 0, 4), 50);
  EXPECT_EQ(WindowToPicture(150, 400, 400, 0, 2), 100);   // 50 %: margin 100
  EXPECT_EQ(WindowToPicture(10, 300, 2000, 40, 1), 200);  // 25 %: no margin
  EXPECT_EQ(WindowToPicture(10, 300, 1000, 40, 8), 25);   // 200 %
  // A -24 font at 96 dpi is 18 points; at 50 % twice that on the picture.
  EXPECT_EQ(FixedFontHeight(-24, 96, 4), -24);
  EXPECT_EQ(FixedFontHeight(-24, 96, 2), -48);
  EXPECT_EQ(FixedFontHeight(-25, 96, 8), -12);  // 18 points, 9, 12 pixels
  EXPECT_EQ(SurfacePenWidth(5, 2), 10);         // 5 at 50 % is 10 on the picture
}

TEST(Merge, OnlyTouchedPixelsNearTheToolColourChange) {
  const int w = 7, h = 5;
  std::mt19937 rng(5);
  ImageRecord base = Take(ImageRecord::Create(w, h, 24));
  for (auto& b : base.bytes().subspan(40)) b = static_cast<uint8_t>(rng());
  ImageRecord drawing = Take(base.Clone());
  const uint64_t stride = ImageRowStride(w, 24);
  // The screen surface changed every pixel a little (as a display might);
  // the stroke paints red (0x0000FF) at three pixels, one of them off by 10
  // and one off by 11.
  for (auto& b : drawing.bytes().subspan(40)) b = static_cast<uint8_t>(b ^ 1);
  std::vector<uint8_t> touched(w * h, 0);
  auto paint = [&](int x, int y, uint8_t bl, uint8_t g, uint8_t r) {
    uint8_t* p = ImageBits(drawing) + y * stride + 3 * x;
    p[0] = bl, p[1] = g, p[2] = r;
    touched[y * w + x] = 1;
  };
  paint(1, 1, 0, 0, 255);
  paint(2, 1, 10, 0, 245);
  paint(3, 1, 11, 0, 255);
  touched[4 * w + 6] = 1;  // touched but far from red: stays
  ImageRecord out = Take(MergeDrawing(base, drawing, touched, 0x0000FF, false));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* o = ImageBits(out) + y * stride + 3 * x;
      const uint8_t* src = (y == 1 && (x == 1 || x == 2)) ? ImageBits(drawing) : ImageBits(base);
      const uint8_t* s = src + y * stride + 3 * x;
      EXPECT_TRUE(o[0] == s[0] && o[1] == s[1] && o[2] == s[2]) << x << "," << y;
    }
  // The eraser takes pure white too.
  paint(5, 3, 255, 255, 255);
  out = Take(MergeDrawing(base, drawing, touched, 0x0000FF, true));
  EXPECT_EQ(ImageBits(out)[3 * stride + 15], 255);
  out = Take(MergeDrawing(base, drawing, touched, 0x0000FF, false));
  EXPECT_EQ(ImageBits(out)[3 * stride + 15], ImageBits(base)[3 * stride + 15]);
  EXPECT_FALSE(MergeDrawing(base, Take(ImageRecord::Create(w, h + 1, 24)), touched, 0, false).ok());
}

}  // namespace
}  // namespace fq::edit
