#include "camera/frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace fq::cam {
namespace {

TEST(FramesTest, MarkerFrameIsTextBigEndianLengthCommandData) {
  std::vector<uint8_t> buf(64);
  const uint8_t data[] = {0xAB, 0xCD};
  size_t n = BuildMarkerFrame(buf.data(), buf.size(), 30, 2, data, 2);
  ASSERT_EQ(n, 19u);
  const std::vector<uint8_t> want = {'O', 'R', 'X', ' ', 'D', 'S', 'C', ' ', 'P', 'C', ' ', ' ',
                                     0, 0, 0, 2, 30, 0xAB, 0xCD};
  EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 19), want);

  // The upload header announces the picture that follows on its own.
  n = BuildMarkerFrame(buf.data(), buf.size(), 0, 0x01020304, nullptr, 0);
  EXPECT_EQ(n, 17u);
  EXPECT_EQ(buf[12], 1);
  EXPECT_EQ(buf[15], 4);
  EXPECT_EQ(GetBigEndian32(buf.data() + 12), 0x01020304u);
  EXPECT_EQ(BuildMarkerFrame(buf.data(), 18, 4, 2, data, 2), 0u);  // no room
}

TEST(FramesTest, ShortSequencedFrameWithoutData) {
  std::vector<uint8_t> buf(16, 0xEE);
  ASSERT_EQ(BuildSequencedFrame(buf.data(), buf.size(), kind::kShort, 0x12, 31, nullptr, 0), 16u);
  EXPECT_EQ(buf[0], 8);
  EXPECT_EQ(buf[1], 0x12);
  EXPECT_EQ(buf[2], 0xED);
  EXPECT_EQ(buf[3], 31);
  for (int i = 4; i < 14; ++i) EXPECT_EQ(buf[i], 0) << i;
  // Sequence + complement = 255, so the sum is 255 + command.
  EXPECT_EQ(buf[14], static_cast<uint8_t>(255 + 31));
  EXPECT_EQ(buf[15], 0);
  EXPECT_TRUE(PlausibleSequencedHeader(buf.data()));
}

TEST(FramesTest, SequencedKindsSizesAndChecksumPlace) {
  EXPECT_EQ(SequencedLength(kind::kShort), 16u);
  EXPECT_EQ(SequencedLength(kind::kMedium), 262u);
  EXPECT_EQ(SequencedLength(kind::kLong), 1030u);
  EXPECT_EQ(SequencedLength(2), 0u);
  EXPECT_EQ(SequencedDataSize(kind::kLong), 1024u);

  std::vector<uint8_t> data(1024);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> buf(1030);
  ASSERT_EQ(BuildSequencedFrame(buf.data(), buf.size(), kind::kLong, 3, 5, data.data(), 1000), 1030u);
  unsigned sum = 3 + 0xFC + 5;
  for (size_t i = 0; i < 1000; ++i) sum += data[i];
  EXPECT_EQ(buf[1028], static_cast<uint8_t>(sum));  // zero padding adds nothing
  EXPECT_EQ(buf[1029], 0);
  EXPECT_EQ(buf[4 + 999], data[999]);
  EXPECT_EQ(buf[4 + 1000], 0);
  // The kind byte is not summed.
  EXPECT_EQ(SequencedChecksum(buf.data(), kind::kLong), buf[1028]);

  // Medium frame: checksum at 260; data beyond the area is not copied.
  std::vector<uint8_t> med(262);
  ASSERT_EQ(BuildSequencedFrame(med.data(), med.size(), kind::kMedium, 0, 23, data.data(), 300), 262u);
  EXPECT_EQ(med[260], SequencedChecksum(med.data(), kind::kMedium));
  EXPECT_EQ(med[261], 0);
  EXPECT_EQ(BuildSequencedFrame(med.data(), 100, kind::kMedium, 0, 23, nullptr, 0), 0u);
}

TEST(FramesTest, PlausibleHeaderNeedsKindAndComplement) {
  const uint8_t good[] = {1, 7, 0xF8, 5};
  const uint8_t bad_kind[] = {2, 7, 0xF8, 5};
  const uint8_t bad_complement[] = {16, 7, 0xF7, 5};
  EXPECT_TRUE(PlausibleSequencedHeader(good));
  EXPECT_FALSE(PlausibleSequencedHeader(bad_kind));
  EXPECT_FALSE(PlausibleSequencedHeader(bad_complement));
}

TEST(FramesTest, LittleEndianInsideSequencedData) {
  uint8_t b[4];
  PutLittle32(b, 0x11223344);
  EXPECT_EQ(b[0], 0x44);
  EXPECT_EQ(b[3], 0x11);
  EXPECT_EQ(GetLittle32(b), 0x11223344u);
  PutLittle16(b, 0x0201);
  EXPECT_EQ(GetLittle16(b), 0x0201);
  EXPECT_EQ(b[0], 1);
}

}  // namespace
}  // namespace fq::cam
