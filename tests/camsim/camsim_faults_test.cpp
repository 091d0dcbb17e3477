#include <gtest/gtest.h>

#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

Rig* WithFaults(int type, const std::string& faults) {
  SimOptions o;
  o.type = type;
  std::string error;
  EXPECT_TRUE(ParseFaults(faults, o.faults, error)) << error;
  return new Rig(o, FlatContent({FakePicture(1500, 1)}));
}

TEST(CamsimFaults, ParsesListsAndRefusesMalformedOnes) {
  std::vector<CommandFault> f;
  std::string error;
  ASSERT_TRUE(ParseFaults("busy:cmd=30:at=3:count=2,noise:bytes=5,silence:every=10:count=1", f, error));
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].command, 30);
  EXPECT_EQ(f[0].at, 3u);
  EXPECT_EQ(f[1].noise_bytes, 5u);
  // Hits of the third: the 1st, 11th, 21st matching command.
  std::vector<uint32_t> hits;
  for (uint32_t i = 1; i <= 25; ++i)
    if (f[2].Hit()) hits.push_back(i);
  EXPECT_EQ(hits, (std::vector<uint32_t>{1, 11, 21}));
  for (const char* bad : {"loud", "busy:cmd=300", "busy:at=0", "busy:at", "retry:count=x", "noise:bytes=99999"}) {
    std::vector<CommandFault> g;
    EXPECT_FALSE(ParseFaults(bad, g, error)) << bad;
  }
}

TEST(CamsimFaults, BusyAndRetryAnswerInsteadOfActing) {
  std::unique_ptr<Rig> one(WithFaults(1, "busy:cmd=17,retry:cmd=20"));
  one->Connect();
  EXPECT_EQ(one->Ask(Marker(17, {1}), 18), Rig::MarkerAck(1));
  EXPECT_EQ(one->sim.content().Count(), 1u);
  EXPECT_EQ(one->Ask(Marker(20, {1}), 18), Rig::MarkerAck(3));
  EXPECT_EQ(one->sim.viewfinder_picture(), 0);
  EXPECT_EQ(one->Ask(Marker(20, {1}), 18), Rig::MarkerAck(0));  // only the first was hit

  std::unique_ptr<Rig> two(WithFaults(2, "busy:cmd=7:count=2,retry:cmd=26"));
  two->Connect();
  EXPECT_EQ(two->Ask(Sequenced(7), 16), Rig::SeqAck(2));
  EXPECT_EQ(two->Ask(Sequenced(7), 16), Rig::SeqAck(2));
  EXPECT_EQ(two->Ask(Sequenced(7), 16), Sequenced(8, {1, 0}));
  EXPECT_EQ(two->Ask(Sequenced(26, {1}), 16), Rig::SeqAck(3));
}

TEST(CamsimFaults, DamagedRepliesAreDamagedWhereTheFormatChecks) {
  std::unique_ptr<Rig> two(WithFaults(2, "checksum:cmd=30:at=2"));
  two->Connect();
  two->Ask(Sequenced(26, {1}), 16);
  Bytes good = two->Ask(Sequenced(30, {0, 0}), 1030);
  Bytes bad = two->Ask(Sequenced(30, {0, 0}), 1030);
  ASSERT_EQ(bad.size(), 1030u);
  EXPECT_NE(bad[1028], good[1028]);
  bad[1028] = good[1028];
  EXPECT_EQ(bad, good);  // only the checksum differs

  std::unique_ptr<Rig> one(WithFaults(1, "checksum:cmd=2"));
  Bytes id = one->Ask(Marker(2), 21);
  ASSERT_EQ(id.size(), 21u);
  EXPECT_NE(Bytes(id.begin(), id.begin() + 12), Text("ORX PC  DSC "));
  EXPECT_TRUE(one->sim.identified());  // it acted all the same
}

TEST(CamsimFaults, SilenceAndNoise) {
  std::unique_ptr<Rig> two(WithFaults(2, "silence:cmd=7:count=3,noise:cmd=26:bytes=7"));
  two->Connect();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(two->Ask(Sequenced(7), 16, 5'000'000).empty());
  EXPECT_EQ(two->Ask(Sequenced(7), 16), Sequenced(8, {1, 0}));
  Bytes r = two->Ask(Sequenced(26, {1}), 7 + 16);
  ASSERT_EQ(r.size(), 23u);
  EXPECT_EQ(Bytes(r.begin() + 7, r.end()), Sequenced(29, {0xDC, 0x05, 0, 0}));
  for (size_t i = 0; i < 7; ++i) EXPECT_TRUE(r[i] != 1 && r[i] != 8 && r[i] != 16 && r[i] != 'O');
  EXPECT_EQ(two->sim.stats().faults_committed, 4);
}

TEST(CamsimFaults, EmptyLastBlockOfATypeOnePicture) {
  std::unique_ptr<Rig> one(WithFaults(1, "emptyblock"));
  one->Connect();
  one->Ask(Marker(26, {1}), 21);
  Bytes first = one->Ask(Marker(30, {0, 0}), 17 + 1024);
  EXPECT_EQ(first.size(), 17u + 1024);
  EXPECT_EQ(one->Ask(Marker(30, {0, 1}), 17 + 476, 1'000'000), Cat(Text("ORX PC  DSC "), {0, 0, 0, 0, 0}));
  // Only once: asked again, the block comes whole.
  EXPECT_EQ(one->Ask(Marker(30, {0, 1}), 17 + 476).size(), 17u + 476);
}

TEST(CamsimFaults, LineFaultsAreMetWithARequestToSendAgain) {
  // A byte of the program's frame corrupted on the line: the camera sees a
  // wrong checksum and asks again; the same frame then goes through.
  SimOptions o;
  o.type = 2;
  cam::LineOptions lo;
  Rig rig(o, FlatContent({FakePicture(100, 1)}), lo);
  rig.Connect();
  size_t next = rig.line.written().size();
  rig.line.options().to_device.push_back({cam::FaultKind::kCorrupt, next + 6, 0, 0});
  EXPECT_EQ(rig.Ask(Sequenced(7), 16), Rig::SeqAck(3));
  EXPECT_EQ(rig.Ask(Sequenced(7), 16), Sequenced(8, {1, 0}));
}

}  // namespace
}  // namespace fq::camsim::test
