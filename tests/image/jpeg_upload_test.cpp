#include <gtest/gtest.h>

#include <random>

#include "image/jpeg_checks.h"
#include "image/jpeg_quality.h"
#include "image/jpeg_test_util.h"
#include "image/jpeg_upload.h"

namespace fq {
namespace {

using testing::ScratchDir;

class FakeMeter final : public UploadMeter {
 public:
  FakeMeter(int position, int range) : position_(position), range_(range) {}
  int Position() override { return position_; }
  int Range() override { return range_; }
  void SetPosition(int p) override {
    positions.push_back(p);
    position_ = p;
  }
  void Pump() override { ++pumps; }
  void Linger() override { ++lingers; }
  std::vector<int> positions;
  int pumps = 0, lingers = 0;

 private:
  int position_, range_;
};

// Noise compresses badly, so its sizes are easy to steer by quality.
ImageRecord Noise(int w, int h, unsigned seed = 1) {
  ImageRecord r = std::move(ImageRecord::Create(w, h, 24).value());
  std::mt19937 gen(seed);
  uint8_t* p = ImageBits(r);
  for (size_t i = 0; i < ImageRowStride(w, 24) * h; ++i) p[i] = static_cast<uint8_t>(gen() & 0xFF);
  return r;
}

int QualityOf(const std::string& path) {
  auto tables = testing::QuantTables(testing::ReadBytes(path));
  for (int q = 1; q <= 100; ++q) {
    auto t = ScaledQuantTable(kJpegLuminanceBase, q);
    if (tables[0] == std::vector<int>(t.begin(), t.end())) return q;
  }
  return -1;
}

uint64_t SizeOf(const std::string& path) { return testing::ReadBytes(path).size(); }

TEST(JpegUpload, QualityFollowsTheSizeClassOfTheReplacedFile) {
  ScratchDir dir;
  ImageRecord r = Noise(64, 48);
  FakeMeter meter(12, 25);
  testing::WriteBytes(dir / "big.jpg", std::vector<uint8_t>(100000, 1));  // class 2
  ASSERT_TRUE(ImageToJpegForUpload(r, dir / "big.jpg", &meter).ok());
  EXPECT_EQ(QualityOf(dir / "big.jpg"), 95);
  ASSERT_FALSE(meter.positions.empty());
  EXPECT_EQ(meter.positions.front(), 12);
  EXPECT_EQ(meter.positions[meter.positions.size() - 2], 18);  // halfway through what was left
  EXPECT_EQ(meter.positions.back(), 25);
  EXPECT_EQ(meter.lingers, 1);
  EXPECT_GT(meter.pumps, 0);

  testing::WriteBytes(dir / "small.jpg", std::vector<uint8_t>(30000, 1));  // class 1
  ASSERT_TRUE(ImageToJpegForUpload(r, dir / "small.jpg", &meter).ok());
  EXPECT_EQ(QualityOf(dir / "small.jpg"), 80);
  // A meter given but no usable file at the destination.
  EXPECT_EQ(ImageToJpegForUpload(r, dir / "none.jpg", &meter).message(),
            err::kJpegNotTransferable);
  // Without a meter a missing file just means the default quality, and the
  // conversion's own meter runs over 0..100.
  FakeMeter* own = nullptr;
  auto make = [&](const std::string& name) {
    EXPECT_EQ(name, "none.jpg");
    auto m = std::make_unique<FakeMeter>(0, 100);
    own = m.get();
    return m;
  };
  ASSERT_TRUE(ImageToJpegForUpload(r, dir / "none.jpg", nullptr, make).ok());
  EXPECT_EQ(QualityOf(dir / "none.jpg"), 80);
  ASSERT_TRUE(ImageToJpegAt80(r, dir / "big.jpg", nullptr).ok());
  EXPECT_EQ(QualityOf(dir / "big.jpg"), 80);
  auto seg = testing::Segments(testing::ReadBytes(dir / "big.jpg"));
  EXPECT_EQ(seg.find(0xC0)->second[7], 0x21);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"big.jpg", "none.jpg", "small.jpg"}));
}

TEST(JpegUpload, SizeTargetedLandsInTheClassWindow) {
  ScratchDir dir;
  // About 70 KB at quality 80 in quarter-width chroma; class 1 wants
  // 51200..64512: quality 80 lowered by 10 to 70 lands there.
  ImageRecord r = Noise(300, 250, 7);
  FakeMeter meter(0, 100);
  testing::WriteBytes(dir / "t.jpg", std::vector<uint8_t>(40000, 1));
  ASSERT_TRUE(ImageToJpegSizeTargeted(r, dir / "t.jpg", &meter, 3).ok());
  const uint64_t s = SizeOf(dir / "t.jpg");
  EXPECT_GT(s, 51200u);
  EXPECT_LE(s, 64512u);
  EXPECT_EQ(QualityOf(dir / "t.jpg"), 70);
  EXPECT_EQ(testing::Segments(testing::ReadBytes(dir / "t.jpg")).find(0xC0)->second[7], 0x41);
  EXPECT_EQ(meter.positions.back(), 100);
  EXPECT_EQ(meter.lingers, 1);
  // Without a meter the given class decides; class 0 wants < 21504 bytes
  // and starts at 55, which is enough for this one.
  ASSERT_TRUE(ImageToJpegSizeTargeted(Noise(200, 150, 7), dir / "u.jpg", nullptr, 0).ok());
  EXPECT_LT(SizeOf(dir / "u.jpg"), 21504u);
  EXPECT_EQ(QualityOf(dir / "u.jpg"), 55);
  // Class 0 far too big: lowered step by step, at most 11 encodings.
  ASSERT_TRUE(ImageToJpegSizeTargeted(Noise(240, 200, 7), dir / "v.jpg", nullptr, 0).ok());
  EXPECT_LT(QualityOf(dir / "v.jpg"), 55);
  EXPECT_EQ(ImageToJpegSizeTargeted(r, dir / "none.jpg", &meter, 1).message(),
            err::kJpegNotTransferable);
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"t.jpg", "u.jpg", "v.jpg"}));
}

}  // namespace
}  // namespace fq
