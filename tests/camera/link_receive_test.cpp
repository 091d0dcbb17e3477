// Receiving replies on the in-memory line with the fake clock: deadlines,
// pieces, limits, resynchronisation, quit messages, pacing and waits.
#include <gtest/gtest.h>

#include "camera/block_loops.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera/scripted_camera.h"

namespace fq::cam {
namespace {

using testing::Answer;
using testing::Bench;
using testing::MarkerAck;
using testing::MarkerReply;
using testing::ProgramFrame;
using testing::SequencedReply;

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(LinkReceiveTest, ReplyInPiecesIsAssembledWithinOneDeadline) {
  auto reply = MarkerReply(1, {0});
  Bench b([&](const ProgramFrame&) -> Answer {
    return {{{reply.begin(), reply.begin() + 5}, 1000'000},
            {{reply.begin() + 5, reply.begin() + 17}, 3000'000},
            {{reply.begin() + 17, reply.end()}, 4900'000}};
  });
  uint64_t start = b.clock.NowMicros();
  EXPECT_EQ(MarkerStart(b.link), rc::kOk);
  EXPECT_LT(b.clock.NowMicros() - start, 5000'000u);
  EXPECT_EQ(b.camera.Count(16), 1);
  EXPECT_TRUE(b.reporter.messages.empty());
}

TEST(LinkReceiveTest, LastByteAfterTheDeadlineIsATimeOut) {
  Bench b([](const ProgramFrame&) -> Answer { return {}; });
  auto reply = MarkerReply(1, {0});
  PrepareMarker(b.link, 31);
  // Header in time, last byte 5.2 s after the frame.
  b.line.Send({reply.begin(), reply.end() - 1}, b.clock.NowMicros() + 100'000);
  b.line.Send({reply.end() - 1, reply.end()}, b.clock.NowMicros() + 5200'000);
  uint64_t start = b.clock.NowMicros();
  EXPECT_EQ(ReceiveMarkerReply(b.link, 5000), rc::kTimeout);
  uint64_t waited = b.clock.NowMicros() - start;
  EXPECT_GT(waited, 5000'000u);
  EXPECT_LE(waited, 5000'000u + kReceivePollMicros + 1);
  EXPECT_TRUE(b.reporter.messages.empty());  // a time-out shows nothing here
}

TEST(LinkReceiveTest, LongMarkerReplyKeeps239BytesAndTheAnnouncedLength) {
  std::vector<uint8_t> data(300);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  int calls = 0;
  Bench b([&](const ProgramFrame& f) -> Answer {
    ++calls;
    if (f.command == 7 && calls == 1) return {{MarkerReply(8, data)}};
    return {{MarkerAck(0)}};
  });
  PrepareMarker(b.link, 7);
  ASSERT_EQ(SendAndReceive(b.link, 5000), rc::kOk);
  EXPECT_EQ(b.link.reply_data_length, 300u);
  EXPECT_EQ(b.link.reply_length, 317u);
  EXPECT_EQ(b.link.reply_data_kept, 239u);
  EXPECT_EQ(b.link.receive[17 + 238], 238);
  EXPECT_EQ(b.link.receive[17 + 239], 0);  // nothing beyond the limit
  // The rest stays queued and is purged before the next command.
  EXPECT_EQ(MarkerStart(b.link), rc::kOk);
}

TEST(LinkReceiveTest, MarkerBlockLandsAtItsPlaceInThePicture) {
  Bench b([](const ProgramFrame& f) -> Answer {
    int block = (f.data[0] << 8) | f.data[1];
    return {{MarkerReply(0, std::vector<uint8_t>(1024, static_cast<uint8_t>(0x40 + block)))}};
  });
  b.link.block_count = 3;
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  ASSERT_EQ(MarkerBlockOnce(b.link, 2, true), rc::kOk);
  EXPECT_EQ(b.link.picture[2047], 0);
  EXPECT_EQ(b.link.picture[2048], 0x42);
  EXPECT_EQ(b.link.picture[3071], 0x42);
  ASSERT_EQ(MarkerBlockOnce(b.link, 0, true), rc::kOk);
  EXPECT_EQ(b.link.picture[0], 0x40);
  EXPECT_EQ(b.link.picture[1024], 0);
  // A block the buffer has no room for is refused, not written.
  EXPECT_EQ(MarkerBlockOnce(b.link, 3, true), rc::kBadHeader);
}

TEST(LinkReceiveTest, NoiseBeforeASequencedReplyIsSkippedFourAtATime) {
  const std::vector<uint8_t> noise = {0x55, 0x00, 0x13, 0x99, 0xAA, 0xBB, 0xCC, 0xDD};
  Bench b([&](const ProgramFrame&) -> Answer {
    return {{Concat(noise, testing::SequencedAck(0))}};
  });
  b.link.camera_type = 2;
  EXPECT_EQ(SequencedStart(b.link), rc::kOk);
  EXPECT_EQ(b.camera.Count(16), 1);

  // Noise that is not a multiple of four bytes leaves the frame misaligned:
  // no header is ever seen, and the deadline ends the wait.
  Bench c([&](const ProgramFrame&) -> Answer {
    return {{Concat({0x55, 0x00, 0x13}, testing::SequencedAck(0))}};
  });
  PrepareSequenced(c.link, kind::kShort, 0, 16);
  uint64_t start = c.clock.NowMicros();
  EXPECT_EQ(SendBytewiseAndReceive(c.link, 5000), rc::kTimeout);
  EXPECT_GT(c.clock.NowMicros() - start, 5000'000u);
}

TEST(LinkReceiveTest, QuitDuringAWaitIsRepostedAndEndsTheCommand) {
  Bench b([](const ProgramFrame&) -> Answer { return {}; });  // silent camera
  b.pump.quit_on_call = 10;
  uint64_t start = b.clock.NowMicros();
  EXPECT_EQ(MarkerStart(b.link), rc::kTimeout);
  EXPECT_EQ(b.pump.reposted, 1);
  EXPECT_TRUE(b.link.quit_seen);
  EXPECT_EQ(b.camera.Count(16), 1);                    // no further attempts
  EXPECT_LT(b.clock.NowMicros() - start, 1000'000u);   // long before the deadline
  EXPECT_TRUE(b.reporter.messages.empty());            // and no box while quitting
}

TEST(LinkReceiveTest, LineErrorEndsASequencedReceive) {
  LineOptions opts;
  opts.receive_queue = 8;
  Bench b([](const ProgramFrame&) -> Answer { return {{SequencedReply(1, 0, 5, {})}}; }, opts);
  PrepareSequenced(b.link, kind::kShort, 0, 30);
  EXPECT_EQ(SendBytewiseAndReceive(b.link, 5000), rc::kLineError);
}

TEST(LinkReceiveTest, MarkerFramesAreWrittenByteByByteOnlyAtTheFastSpeeds) {
  Bench b([](const ProgramFrame&) -> Answer { return {{MarkerAck(0)}}; });
  ASSERT_EQ(SetLineSpeed(b.link, speed_code::k57600), rc::kOk);
  EXPECT_TRUE(b.link.bytewise);
  b.port.writes.clear();
  EXPECT_EQ(MarkerStart(b.link), rc::kOk);
  EXPECT_EQ(b.port.writes, std::vector<size_t>(18, 1));
  // The speed command itself always goes in one write.
  b.port.writes.clear();
  EXPECT_EQ(SpeedCommand(b.link, speed_code::k57600), rc::kOk);
  EXPECT_EQ(b.port.writes, std::vector<size_t>{18});
  ASSERT_EQ(SetLineSpeed(b.link, speed_code::k19200), rc::kOk);
  EXPECT_FALSE(b.link.bytewise);
  EXPECT_EQ(b.camera.speeds.back(), 19200u);
  // Sequenced frames always go one byte per call.
  b.port.writes.clear();
  SequencedEnd(b.link);
  EXPECT_EQ(b.port.writes, std::vector<size_t>(16, 1));
}

TEST(LinkReceiveTest, SpeedCodesAndTheirLineSpeeds) {
  EXPECT_EQ(LineSpeedOf(0), 115200u);
  EXPECT_EQ(LineSpeedOf(1), 38400u);
  EXPECT_EQ(LineSpeedOf(2), 9600u);
  EXPECT_EQ(LineSpeedOf(3), 57600u);
  EXPECT_EQ(LineSpeedOf(13), 19200u);
  EXPECT_EQ(LineSpeedOf(4), 0u);
  Bench b([](const ProgramFrame&) -> Answer { return {}; });
  EXPECT_EQ(SetLineSpeed(b.link, 4), rc::kBadValue);
  EXPECT_EQ(b.reporter.messages, std::vector<int>{err::kComPortOpenError});
}

// A clock that moves one microsecond each time it is read.
class TickingClock final : public Clock {
 public:
  uint64_t NowMicros() override { return now_++; }
  void Sleep(uint64_t micros) override { now_ += micros; }

 private:
  uint64_t now_ = 0;
};

TEST(LinkReceiveTest, BusyWaitCalibratesTheGapAndKeepsItsLength) {
  TickingClock clock;
  testing::ScriptedCamera camera([](const ProgramFrame&) -> Answer { return {}; });
  MemoryLine line(clock, camera);
  testing::RecordingReporter reporter;
  NoMessagePump pump;
  CameraLink link(line.port(), clock, pump, reporter);
  uint64_t start = clock.NowMicros();
  BusyWait(link, 300);
  EXPECT_GT(clock.NowMicros() - start, 300'000u);
  EXPECT_LT(clock.NowMicros() - start, 303'000u);
  // One poll per microsecond: about 200 polls make the 200 µs gap.
  EXPECT_NEAR(link.gap_polls, 200, 2);

  // A clock that never moves on its own teaches nothing and cannot hold the wait.
  FakeClock still;
  MemoryLine line2(still, camera);
  CameraLink link2(line2.port(), still, pump, reporter);
  link2.gap_polls = 17;
  BusyWait(link2, 200);
  EXPECT_EQ(link2.gap_polls, 17u);
}

TEST(LinkReceiveTest, PumpWaitDispatchesAndStopsOnQuit) {
  Bench b([](const ProgramFrame&) -> Answer { return {}; });
  uint64_t start = b.clock.NowMillis();
  EXPECT_TRUE(PumpWait(b.link, 500));
  EXPECT_GT(b.clock.NowMillis() - start, 499u);
  EXPECT_GT(b.pump.calls, 100);
  b.pump.calls = 0;
  b.pump.quit_on_call = 3;
  start = b.clock.NowMillis();
  EXPECT_FALSE(PumpWait(b.link, 5000));
  EXPECT_LT(b.clock.NowMillis() - start, 100u);
  EXPECT_EQ(b.pump.reposted, 1);
}

TEST(LinkReceiveTest, QuietPeriodBetweenConnections) {
  Bench b([](const ProgramFrame&) -> Answer { return {}; });
  uint64_t t0 = b.clock.NowMillis();
  BeginConnectStatus(b.link);  // the first connection does not wait
  EXPECT_EQ(b.clock.NowMillis(), t0);
  b.clock.Advance(1000'000);
  EndConnectStatus(b.link);
  b.clock.Advance(3000'000);
  uint64_t t1 = b.clock.NowMillis();
  BeginConnectStatus(b.link);
  EXPECT_EQ(b.clock.NowMillis() - t1, 5000u);  // the rest of the 8 s
  EndConnectStatus(b.link);
  b.clock.Advance(9000'000);
  t1 = b.clock.NowMillis();
  BeginConnectStatus(b.link);
  EXPECT_EQ(b.clock.NowMillis(), t1);
}

}  // namespace
}  // namespace fq::cam
