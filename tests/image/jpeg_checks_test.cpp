#include <gtest/gtest.h>

#include "image/jpeg_checks.h"
#include "image/jpeg_test_util.h"

namespace fq {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;
using Bytes = std::vector<uint8_t>;

struct ChecksFixture : ::testing::Test {
  ScratchDir dir;
  bool IsJpeg(const Bytes& b) {
    WriteBytes(dir / "f", b);
    return IsJpegFile(dir / "f");
  }
};

// `n` filler bytes that hold neither marker pair.
Bytes Filler(size_t n) { return Bytes(n, 0x20); }

TEST_F(ChecksFixture, IsJpegNeedsStartAndEndMarkers) {
  EXPECT_TRUE(IsJpeg(testing::MakeJpeg({})));
  EXPECT_TRUE(IsJpeg({0xFF, 0xD8, 0xFF, 0xD9}));
  EXPECT_FALSE(IsJpeg({}));
  EXPECT_FALSE(IsJpegFile(dir / "missing"));
  // FF D8 anywhere in the first 2048 bytes, not further.
  Bytes late = Filler(2046);
  late.insert(late.end(), {0xFF, 0xD8, 0xFF, 0xD9});
  EXPECT_TRUE(IsJpeg(late));
  late.insert(late.begin(), 0x20);
  EXPECT_FALSE(IsJpeg(late));
  // No FF D9 anywhere: not a JPEG.
  Bytes open = {0xFF, 0xD8};
  Bytes more = Filler(10000);
  open.insert(open.end(), more.begin(), more.end());
  EXPECT_FALSE(IsJpeg(open));
  // FF D9 far from the end, in an earlier window.
  Bytes early = {0xFF, 0xD8, 0xFF, 0xD9};
  early.insert(early.end(), more.begin(), more.end());
  EXPECT_TRUE(IsJpeg(early));
}

TEST_F(ChecksFixture, EndMarkerAcrossAWindowBoundaryIsFound) {
  // Size 4096 + 3: the windows start at 2051 and 3; the pair sits at 2050.
  Bytes b = {0xFF, 0xD8};
  Bytes f = Filler(4097);
  b.insert(b.end(), f.begin(), f.end());
  b[2050] = 0xFF;
  b[2051] = 0xD9;
  EXPECT_TRUE(IsJpeg(b));
}

TEST_F(ChecksFixture, BitmapAndAlbumBeginningsAreRefused) {
  auto with_start = [](std::initializer_list<uint8_t> start) {
    Bytes b(start);
    b.insert(b.end(), {0x20, 0xFF, 0xD8, 0x20, 0xFF, 0xD9});
    return b;
  };
  EXPECT_TRUE(IsJpeg(with_start({'x', 'y', 'z'})));
  EXPECT_FALSE(IsJpeg(with_start({'B', 'M', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'B', 'q', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'b', 'M', 0})));
  EXPECT_TRUE(IsJpeg(with_start({'b', 'q', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'q', 'm', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'O', 'q', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'o', 'R', 0})));
  EXPECT_TRUE(IsJpeg(with_start({'o', 'r', 0})));
  EXPECT_FALSE(IsJpeg(with_start({'q', 'r', 'X'})));
  EXPECT_TRUE(IsJpeg(with_start({'q', 'r', 'y'})));
  EXPECT_FALSE(IsJpeg(with_start({'q', 'q', 'x'})));
  EXPECT_TRUE(IsJpeg(with_start({'q', 'q', 'X'})));
}

TEST_F(ChecksFixture, SizeClassOfFiles) {
  EXPECT_EQ(JpegSizeClass(dir / "missing"), 255);
  WriteBytes(dir / "e", {});
  EXPECT_EQ(JpegSizeClass(dir / "e"), 255);
  WriteBytes(dir / "s", Filler(21505));
  EXPECT_EQ(JpegSizeClass(dir / "s"), 1);
}

struct Pic {
  int w, h, h0, v0;
};
UploadCheck CheckPic(const ScratchDir& dir, Pic p, bool small) {
  testing::JpegOptions o;
  o.width = p.w, o.height = p.h, o.h0 = p.h0, o.v0 = p.v0, o.quality = 10;
  WriteBytes(dir / "p.jpg", testing::MakeJpeg(o));
  return small ? CheckJpegForUploadSmall(dir / "p.jpg") : CheckJpegForUpload(dir / "p.jpg");
}

TEST_F(ChecksFixture, UploadVerdicts) {
  UploadCheck c = CheckPic(dir, {512, 384, 2, 1}, false);
  EXPECT_EQ(c.verdict, 0);
  EXPECT_FALSE(c.needs_conversion);
  EXPECT_EQ(c.message, -1);
  c = CheckPic(dir, {513, 16, 2, 2}, false);
  EXPECT_EQ(c.verdict, 1);
  EXPECT_FALSE(c.needs_conversion);
  c = CheckPic(dir, {16, 385, 1, 1}, false);
  EXPECT_EQ(c.verdict, 1);
  EXPECT_TRUE(c.needs_conversion);
  EXPECT_TRUE(CheckPic(dir, {16, 16, 4, 1}, false).needs_conversion);
  EXPECT_TRUE(CheckPic(dir, {16, 16, 2, 4}, false).needs_conversion);
  EXPECT_EQ(CheckPic(dir, {2560, 8, 2, 1}, false).verdict, 1);
  EXPECT_EQ(CheckPic(dir, {2561, 8, 2, 1}, false).verdict, 255);
  EXPECT_EQ(CheckPic(dir, {8, 1921, 2, 1}, false).verdict, 255);
  EXPECT_EQ(CheckPic(dir, {1280, 960, 2, 1}, true).verdict, 1);
  EXPECT_EQ(CheckPic(dir, {1281, 8, 2, 1}, true).verdict, 255);
  EXPECT_EQ(CheckPic(dir, {8, 961, 2, 1}, true).verdict, 255);

  EXPECT_EQ(CheckJpegForUpload(dir / "missing").verdict, 255);
  EXPECT_EQ(CheckJpegForUpload(dir / "missing").message, -1);
  WriteBytes(dir / "bm.jpg", {'B', 'M', 0xFF, 0xD8, 0xFF, 0xD9});
  c = CheckJpegForUpload(dir / "bm.jpg");
  EXPECT_EQ(c.verdict, 255);
  EXPECT_EQ(c.message, err::kNotJpeg);
  WriteBytes(dir / "bad.jpg", {0xFF, 0xD8, 0xFF, 0xD9});  // no header to read
  c = CheckJpegForUpload(dir / "bad.jpg");
  EXPECT_EQ(c.verdict, 255);
  EXPECT_EQ(c.message, -1);
}

}  // namespace
}  // namespace fq
