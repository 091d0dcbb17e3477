#include <gtest/gtest.h>

#include "camsim/sim_jpeg.h"
#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

SimOptions TypeOf(int type) {
  SimOptions o;
  o.type = type;
  return o;
}

CameraContent With(CameraContent c, const std::string& spec, int type) {
  std::string error;
  EXPECT_TRUE(ApplyContent(spec, type, c, error)) << spec << ": " << error;
  return c;
}

Bytes MarkerSize(uint32_t n) {
  return Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 29, static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                                    static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
}

TEST(CamsimContent, TypeOneNumbersWithGapsAndHiddenModesAreTheCamerasOwn) {
  const Bytes a = FakePicture(100, 1), b = FakePicture(200, 2), c = FakePicture(300, 3), d = FakePicture(400, 4);
  Rig rig(TypeOf(1), With(FlatContent({a, b, c, d}), "hidden,gaps", 1));
  rig.Connect();
  // (number, mode): 1, 3, 5, 7, the third in a mode the program hides.
  EXPECT_EQ(rig.Ask(Marker(7), 25), Cat(Text("ORX PC  DSC "), {0, 0, 0, 8, 8, 1, 0, 3, 0, 5, 4, 7, 0}));
  EXPECT_EQ(rig.Ask(Marker(26, {3}), 21), MarkerSize(200));
  EXPECT_EQ(rig.Ask(Marker(26, {7}), 21), MarkerSize(400));
  EXPECT_EQ(rig.Ask(Marker(26, {2}), 18), Rig::MarkerAck(2));  // a gap
  // Deleting 3 moves the later pictures down one number: 4 and 6.
  EXPECT_EQ(rig.Ask(Marker(17, {3}), 18), Rig::MarkerAck(0));
  EXPECT_EQ(rig.Ask(Marker(7), 23), Cat(Text("ORX PC  DSC "), {0, 0, 0, 6, 8, 1, 0, 4, 4, 6, 0}));
  EXPECT_EQ(rig.Ask(Marker(26, {4}), 21), MarkerSize(300));
  EXPECT_EQ(rig.Ask(Marker(26, {6}), 21), MarkerSize(400));
}

TEST(CamsimContent, ABlockAnsweredShortThenWhole) {
  SimOptions o = TypeOf(1);
  std::string error;
  ASSERT_TRUE(ParseFaults("shortblock:at=2:bytes=100", o.faults, error)) << error;
  const Bytes a = FakePicture(3000, 5);
  Rig rig(o, FlatContent({a}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Marker(26, {1}), 21), MarkerSize(3000));
  auto block = [&](uint8_t n, size_t want) { return rig.Ask(Marker(30, {0, n}), 17 + want, 2'000'000); };
  EXPECT_EQ(block(0, 1024).size(), 17u + 1024);
  const Bytes shorter = block(1, 1024);  // the second block reply: 100 bytes, and says so
  ASSERT_EQ(shorter.size(), 17u + 100);
  EXPECT_EQ(shorter[15], 100);
  EXPECT_EQ(Bytes(shorter.begin() + 17, shorter.end()), Bytes(a.begin() + 1024, a.begin() + 1124));
  const Bytes again = block(1, 1024);
  ASSERT_EQ(again.size(), 17u + 1024);
  EXPECT_EQ(Bytes(again.begin() + 17, again.end()), Bytes(a.begin() + 1024, a.begin() + 2048));
}

TEST(CamsimContent, ManyTinyPicturesAnAbsurdSizeAndWhatATypeCannotHave) {
  CameraContent many = With(FlatContent({FakePicture(100, 1)}), "many=6000", 2);
  ASSERT_EQ(many.Count(), 6001u);
  const auto& entries = many.media[0].folders[0].entries;
  EXPECT_EQ(entries.back().file, 6001);
  EXPECT_NE(entries[1].data, entries[2].data);
  auto size = ReadJpegSize(entries[6000].data);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 16);
  EXPECT_EQ(size->height, 16);

  Rig rig(TypeOf(2), With(FlatContent({FakePicture(100, 1), FakePicture(200, 2)}), "bigsize", 2));
  rig.Connect();
  Bytes r = rig.Ask(Sequenced(26, {2, 0}), 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(Bytes(r.begin() + 4, r.begin() + 8), (Bytes{0x00, 0xFF, 0xFF, 0xFF}));

  for (const char* bad : {"hidden", "gaps", "parts=3", "rate=1", "many=0", "many=10000", "bigsize=1", "many",
                          "sparkle", "rate=256"}) {
    CameraContent c = FlatContent({FakePicture(100, 1), FakePicture(200, 2)});
    std::string error;
    EXPECT_FALSE(ApplyContent(bad, 2, c, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
}  // namespace fq::camsim::test
