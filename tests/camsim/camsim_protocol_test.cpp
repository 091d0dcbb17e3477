#include <gtest/gtest.h>

#include "camsim/sim_jpeg.h"
#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

SimOptions Type(int type) {
  SimOptions o;
  o.type = type;
  return o;
}

TEST(CamsimIdentify, EachTypeAnswersWithItsDigitAndTheProbeSeparatesTypeThree) {
  const char digits[] = {'1', '2', '2', '3'};
  for (int type = 1; type <= 4; ++type) {
    SCOPED_TRACE(type);
    Rig rig(Type(type), FlatContent({FakePicture(100, 1)}));
    Bytes expected = Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 3, 'D', 'S', 'C', static_cast<uint8_t>(digits[type - 1])});
    EXPECT_EQ(rig.Ask(Marker(2), 21), expected);
    EXPECT_TRUE(rig.sim.identified());
    if (type == 1) {
      // A type-1 camera does not speak sequenced frames at all.
      EXPECT_TRUE(rig.Ask(Sequenced(56, {14, 0}), 16, 1'000'000).empty());
      continue;
    }
    Bytes probe = rig.Ask(Sequenced(56, {14, 0}), 16);
    ASSERT_EQ(probe.size(), 16u);
    EXPECT_EQ(probe[3], 54);
    bool ff = probe[4] == 0xFF && probe[5] == 0xFF;
    EXPECT_EQ(ff, type == 3);
  }
}

TEST(CamsimSpeed, FollowsTheProgramAfterAcceptingAndForgetsItWhenThePortCloses) {
  Rig rig(Type(2), FlatContent({FakePicture(100, 1)}));
  EXPECT_EQ(rig.Ask(Marker(4, {5}), 18), Rig::MarkerAck(2));  // 5 is no speed code
  EXPECT_EQ(rig.sim.camera_speed(), 9600u);
  EXPECT_EQ(rig.Ask(Marker(4, {13}), 18), Rig::MarkerAck(0));
  EXPECT_EQ(rig.sim.camera_speed(), 19200u);
  // Still talking at 9600: the camera hears garbage and stays silent.
  EXPECT_TRUE(rig.Ask(Marker(2), 21, 2'000'000).empty());
  EXPECT_GT(rig.sim.stats().garbled_bytes, 0u);
  ASSERT_EQ(rig.port().SetSpeed(19200), 0);
  EXPECT_EQ(rig.Ask(Marker(2), 21).size(), 21u);
  rig.port().Close();
  EXPECT_EQ(rig.sim.camera_speed(), 9600u);
  EXPECT_FALSE(rig.sim.identified());
  ASSERT_EQ(rig.port().Open("COM1"), 0);
  EXPECT_EQ(rig.Ask(Marker(2), 21).size(), 21u);
}

TEST(CamsimSpeed, RepliesTakeTheirTimeOnTheLineWithRateEmulation) {
  cam::LineOptions lo;
  lo.emulate_rate = true;
  SimOptions o = Type(1);
  o.reply_delay_us = 0;
  Rig rig(o, FlatContent({FakePicture(3000, 1)}), lo);
  rig.Speed(0, 115200);
  rig.Ask(Marker(26, {1}), 21);
  uint64_t start = rig.clock.NowMicros();
  Bytes block = rig.Ask(Marker(30, {0, 0}), 17 + 1024);
  ASSERT_EQ(block.size(), 17u + 1024);
  // 19 bytes out and 1041 back, 10 bit times each at 115200 bit/s.
  EXPECT_GE(rig.clock.NowMicros() - start, (19 + 1041) * 10'000'000ull / 115200);
}

TEST(CamsimTypeOne, ListsPicturesAndServesOneInBlocksEqualToTheFile) {
  Bytes a = FakePicture(2049, 1), b = FakePicture(30000, 2), c = FakePicture(70000, 3);
  Rig rig(Type(1), FlatContent({a, b, c}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Marker(16, {0}), 18), Rig::MarkerAck(0));
  // Pairs of (number, mode); modes by size class.
  EXPECT_EQ(rig.Ask(Marker(7), 23), Cat(Text("ORX PC  DSC "), {0, 0, 0, 6, 8, 1, 0, 2, 1, 3, 2}));
  Bytes size = rig.Ask(Marker(26, {1}), 21);
  EXPECT_EQ(size, Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 29, 0, 0, 0x08, 0x01}));
  Bytes got;
  for (uint16_t block = 0; block < 3; ++block) {
    Bytes r = rig.Ask(Marker(30, {0, static_cast<uint8_t>(block)}), 17 + 1024, 2'000'000);
    ASSERT_GE(r.size(), 17u);
    EXPECT_EQ(r[16], 0);
    uint32_t n = static_cast<uint32_t>(r[12] << 24 | r[13] << 16 | r[14] << 8 | r[15]);
    EXPECT_EQ(n, block < 2 ? 1024u : 1u);
    got.insert(got.end(), r.begin() + 17, r.end());
  }
  EXPECT_EQ(got, a);
  // A block past the end is refused.
  EXPECT_EQ(rig.Ask(Marker(30, {0, 3}), 18), Rig::MarkerAck(2));
  // Type-1 cameras show a picture on their viewfinder.
  EXPECT_EQ(rig.Ask(Marker(20, {3}), 18), Rig::MarkerAck(0));
  EXPECT_EQ(rig.sim.viewfinder_picture(), 3);
  EXPECT_EQ(rig.Ask(Marker(20, {4}), 18), Rig::MarkerAck(2));
  EXPECT_EQ(rig.Ask(Marker(31), 18), Rig::MarkerAck(0));
  EXPECT_EQ(rig.sim.camera_speed(), 9600u);
}

TEST(CamsimTypeOne, DeletionRenumbersAndARepeatedDeletionIsNotASecondOne) {
  Rig rig(Type(1), FlatContent({FakePicture(100, 1), FakePicture(200, 2), FakePicture(300, 3)}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Marker(17, {2}), 18), Rig::MarkerAck(0));
  // The program did not get the answer and sends the same frame again.
  EXPECT_EQ(rig.Ask(Marker(17, {2}), 18), Rig::MarkerAck(0));
  ASSERT_EQ(rig.sim.content().Count(), 2u);
  EXPECT_EQ(rig.Ask(Marker(26, {2}), 21), Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 29, 0, 0, 1, 44}));
  EXPECT_EQ(rig.Ask(Marker(17, {3}), 18), Rig::MarkerAck(2));
}

TEST(CamsimTypeOne, KeepsAnUploadWithTheAnnouncedMode) {
  Rig rig(Type(1), FlatContent({FakePicture(100, 1)}));
  std::vector<Bytes> written;
  rig.sim.on_upload = [&](const StoredEntry& e, const StoredFolder&, int) { written.push_back(e.data); };
  rig.Connect();
  Bytes pic = FakePicture(1000, 9);
  EXPECT_EQ(rig.Ask(Marker(21, {0x12}), 18), Rig::MarkerAck(0));
  Bytes header = Marker(0);
  header[14] = static_cast<uint8_t>(pic.size() >> 8);
  header[15] = static_cast<uint8_t>(pic.size());
  rig.port().Purge();
  rig.port().Write(header.data(), header.size());
  for (size_t at = 0; at < pic.size(); at += 256)
    rig.port().Write(pic.data() + at, std::min<size_t>(256, pic.size() - at));
  EXPECT_EQ(rig.Read(18), Rig::MarkerAck(0));
  EXPECT_EQ(rig.Ask(Marker(7), 21), Cat(Text("ORX PC  DSC "), {0, 0, 0, 4, 8, 1, 0, 2, 2}));
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0], pic);
}

TEST(CamsimTypeTwo, CountsServesInSequencedBlocksAndMakesThumbnails) {
  Bytes real = MakeDemoPicture(320, 240, 2);
  ASSERT_FALSE(real.empty());
  Bytes big = FakePicture(1024 * 300 + 5, 4);  // block numbers beyond one sequence byte
  Rig rig(Type(2), FlatContent({real, big}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Sequenced(7), 16), Sequenced(8, {2, 0}));
  Bytes size = rig.Ask(Sequenced(26, {2}), 16);
  EXPECT_EQ(size, Sequenced(29, {0x05, 0xB0, 0x04, 0x00}));
  Bytes got;
  for (uint32_t block = 0; block < 301; ++block) {
    uint8_t seq = static_cast<uint8_t>(block);
    Bytes r = rig.Ask(Sequenced(30, {static_cast<uint8_t>(block), static_cast<uint8_t>(block >> 8)}, seq), 1030);
    ASSERT_EQ(r.size(), 1030u) << block;
    ASSERT_EQ(r[0], 1);
    ASSERT_EQ(r[1], seq);
    ASSERT_EQ(r[3], 5);
    Bytes area(r.begin() + 4, r.begin() + 1028);
    ASSERT_EQ(Sequenced(5, area, seq, 1), r);  // checksum and final zero
    got.insert(got.end(), area.begin(), area.end());
  }
  got.resize(big.size());
  EXPECT_EQ(got, big);
  // Thumbnail of picture 1: a JPEG of at most 160 × 120.
  Bytes ts = rig.Ask(Sequenced(22, {1, 0, 0, 0}), 16);
  ASSERT_EQ(ts[3], 29);
  uint32_t tsize = GetU32(&ts[4]);
  ASSERT_GT(tsize, 0u);
  Bytes thumb;
  for (uint32_t block = 0; block * 1024 < tsize; ++block) {
    Bytes r = rig.Ask(Sequenced(30, {static_cast<uint8_t>(block), 0}, static_cast<uint8_t>(block)), 1030);
    ASSERT_EQ(r.size(), 1030u);
    thumb.insert(thumb.end(), r.begin() + 4, r.begin() + 1028);
  }
  thumb.resize(tsize);
  auto px = ReadJpegSize(thumb);
  ASSERT_TRUE(px.has_value());
  EXPECT_EQ(px->width, 160);
  EXPECT_EQ(px->height, 120);
  // A picture that cannot be decoded has no thumbnail: refusal 6.
  EXPECT_EQ(rig.Ask(Sequenced(22, {2, 0, 0, 0}), 16), Rig::SeqAck(6));
}

TEST(CamsimTypeTwo, KeepsAnUploadSentInBlocksEvenWhenABlockComesTwice) {
  Rig rig(Type(2), FlatContent({FakePicture(100, 1)}));
  std::vector<Bytes> written;
  rig.sim.on_upload = [&](const StoredEntry& e, const StoredFolder&, int) { written.push_back(e.data); };
  rig.Connect();
  Bytes pic = FakePicture(2000, 7);
  EXPECT_EQ(rig.Ask(Sequenced(21, {0xD0, 0x07, 0, 0}), 16), Rig::SeqAck(0));
  Bytes b0(pic.begin(), pic.begin() + 1024), b1(pic.begin() + 1024, pic.end());
  EXPECT_EQ(rig.Ask(Sequenced(5, b0, 0, 1), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(5, b0, 0, 1), 16), Rig::SeqAck(0));  // answer lost, sent again
  EXPECT_EQ(rig.Ask(Sequenced(5, b1, 2, 1), 16), Rig::SeqAck(3));  // out of order
  EXPECT_EQ(rig.Ask(Sequenced(5, b1, 1, 1), 16), Rig::SeqAck(0));  // replies carry sequence 0
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0], pic);
  EXPECT_EQ(rig.Ask(Sequenced(7), 16), Sequenced(8, {2, 0}));
  // Data without an announced upload is refused.
  EXPECT_EQ(rig.Ask(Sequenced(5, b0, 0, 1), 16), Rig::SeqAck(2));
}

TEST(CamsimTypeTwo, RefusesAnUploadWhenItsMemoryIsFullAndDeletesByNumber) {
  SimOptions o = Type(2);
  o.capacity_bytes = 5000;
  Rig rig(o, FlatContent({FakePicture(3000, 1), FakePicture(1000, 2)}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Sequenced(21, {0xD0, 0x07, 0, 0}), 16), Rig::SeqAck(4));
  EXPECT_EQ(rig.Ask(Sequenced(17, {1}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(26, {1}), 16), Sequenced(29, {0xE8, 0x03, 0, 0}));
  EXPECT_EQ(rig.Ask(Sequenced(21, {0xD0, 0x07, 0, 0}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(17, {9}), 16), Rig::SeqAck(2));
}

TEST(CamsimClock, ReadsAndSetsItemsOfItsOwnFamilyOnly) {
  SimOptions o = Type(2);
  o.clock_start = CivilSeconds(2000, 2, 29, 13, 45, 10);
  Rig rig(o, FlatContent({FakePicture(100, 1)}));
  rig.Connect();
  EXPECT_EQ(rig.Ask(Sequenced(53, {192}), 16), Sequenced(54, {0xD0, 0x07}));
  EXPECT_EQ(rig.Ask(Sequenced(53, {193}), 16), Sequenced(54, {29, 2}));
  EXPECT_EQ(rig.Ask(Sequenced(53, {194}), 16), Sequenced(54, {45, 13}));
  EXPECT_EQ(rig.Ask(Sequenced(53, {64, 1}), 16), Rig::SeqAck(2));
  // Year 2001 has no 29 February: the date becomes the 28th.
  EXPECT_EQ(rig.Ask(Sequenced(52, {192, 0, 0xD1, 0x07}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(52, {193, 0, 31, 4}), 16), Rig::SeqAck(2));  // 31 April
  EXPECT_EQ(rig.Ask(Sequenced(52, {193, 0, 31, 12}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(52, {194, 0, 59, 23}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.Ask(Sequenced(52, {194, 0, 60, 23}), 16), Rig::SeqAck(2));
  rig.clock.Advance(61'000'000);
  // 23:59 plus a minute and a second: the next year.
  EXPECT_EQ(rig.Ask(Sequenced(53, {192}), 16), Sequenced(54, {0xD2, 0x07}));
  EXPECT_EQ(rig.Ask(Sequenced(53, {193}), 16), Sequenced(54, {1, 1}));
  EXPECT_EQ(rig.Ask(Sequenced(53, {194}), 16), Sequenced(54, {0, 0}));
  EXPECT_EQ(rig.sim.ClockNow().second, 1);

  SimOptions o4 = Type(4);
  Rig rig4(o4, DemoContent(4));
  rig4.Connect();
  EXPECT_EQ(rig4.Ask(Sequenced(52, {192, 0, 0xD1, 0x07}), 16), Rig::SeqAck(2));
  EXPECT_EQ(rig4.Ask(Sequenced(52, {64, 1, 0xD1, 0x07}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig4.Ask(Sequenced(53, {64, 1}), 16), Sequenced(54, {0xD1, 0x07}));
}

TEST(CamsimFraming, SkipsNoiseResyncsAndAsksAgainForADamagedFrame) {
  Rig rig(Type(2), FlatContent({FakePicture(100, 1)}));
  rig.Connect();
  // Noise, including a false start of each format, before a good frame.
  Bytes noisy = Cat({0x00, 'O', 'R', 0x08, 0x05, 0x07, 0x33}, Sequenced(7));
  EXPECT_EQ(rig.Ask(noisy, 16), Sequenced(8, {1, 0}));
  Bytes bad = Sequenced(7);
  bad[14] ^= 1;
  EXPECT_EQ(rig.Ask(bad, 16), Rig::SeqAck(3));
  EXPECT_EQ(rig.sim.stats().bad_checksums, 1);
  // An unfinished frame is dropped once the line has been idle, so the
  // next one is understood.
  Bytes half = Sequenced(7);
  half.resize(9);
  EXPECT_TRUE(rig.Ask(half, 16, 1'500'000).empty());
  EXPECT_EQ(rig.Ask(Sequenced(7), 16), Sequenced(8, {1, 0}));
  // An unknown command is refused.
  EXPECT_EQ(rig.Ask(Sequenced(99), 16), Rig::SeqAck(2));
  // Sequenced end: answered, and the camera falls back to 9600 bit/s.
  EXPECT_EQ(rig.Ask(Sequenced(31), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig.sim.camera_speed(), 9600u);
  EXPECT_FALSE(rig.sim.identified());
}

}  // namespace
}  // namespace fq::camsim::test
