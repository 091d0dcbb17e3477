// The command set and the connection sequences against scripted cameras:
// codes, attempts, deadlines and the messages shown once.
#include <gtest/gtest.h>

#include <map>

#include "camera/block_loops.h"
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
using testing::SequencedAck;
using testing::SequencedReply;
using V = std::vector<uint8_t>;
using Msgs = std::vector<int>;

// A plain camera of `type` that accepts everything; `count` pictures of
// `size` bytes. Tests override single commands through `special`.
struct Model {
  int type = 1;
  int count = 3;
  uint32_t size = 2500;
  std::map<int, std::function<Answer(const ProgramFrame&)>> special;

  Answer operator()(const ProgramFrame& f) {
    if (auto it = special.find(f.command); it != special.end()) return it->second(f);
    if (f.marker) {
      switch (f.command) {
        case 2: return {{MarkerReply(3, {'D', 'S', 'C', static_cast<uint8_t>('0' + (type == 4 ? 3 : type))})}};
        case 7: {
          V pairs;
          for (int i = 1; i <= count; ++i) pairs.insert(pairs.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i % 3)});
          return {{MarkerReply(8, pairs)}};
        }
        case 26: return {{MarkerReply(29, testing::Be32(size))}};
        case 30: {
          int block = (f.data[0] << 8) | f.data[1];
          size_t left = size - std::min<size_t>(size, size_t(block) * 1024);
          return {{MarkerReply(0, V(std::min<size_t>(1024, left), static_cast<uint8_t>(block + 1)))}};
        }
        default: return {{MarkerAck(0)}};
      }
    }
    switch (f.command) {
      case 7: return {{SequencedReply(8, f.sequence, 8, testing::Le16(static_cast<uint16_t>(count)))}};
      case 26: case 22: return {{SequencedReply(8, f.sequence, 29, testing::Le32(size))}};
      case 30: {
        int block = static_cast<int>(testing::ReadLe(f.data, 2));
        return {{SequencedReply(1, f.sequence, 5, V(1024, static_cast<uint8_t>(block + 1)))}};
      }
      case 56: return {{SequencedReply(8, 0, 54, {0xFF, 0xFF})}};
      case 31: return {};
      default: return {{SequencedAck(0, f.sequence)}};
    }
  }
};

std::function<Answer(const ProgramFrame&)> Silent() {
  return [](const ProgramFrame&) -> Answer { return {}; };
}

TEST(CommandsTest, IdentifyGivesTheCameraType) {
  for (auto [digit, type] : {std::pair{'1', 1}, {'2', 2}, {'3', 4}}) {
    Bench b([digit](const ProgramFrame&) -> Answer {
      return {{MarkerReply(3, {'D', 'S', 'C', static_cast<uint8_t>(digit)})}};
    });
    EXPECT_EQ(Identify(b.link), rc::kOk);
    EXPECT_EQ(b.link.camera_type, type);
    EXPECT_TRUE(b.reporter.messages.empty());
  }
}

TEST(CommandsTest, UnknownTypeDigitIsRejectedOnEveryAttempt) {
  Bench b([](const ProgramFrame&) -> Answer { return {{MarkerReply(3, {'D', 'S', 'C', '4'})}}; });
  EXPECT_EQ(Identify(b.link), rc::kRetry);
  EXPECT_EQ(b.camera.Count(2), 20);
  Msgs want(20, err::kDataError);
  want.push_back(err::kCannotAccessCamera);
  EXPECT_EQ(b.reporter.messages, want);
}

TEST(CommandsTest, IdentifyReplyFaults) {
  // Another reply code is an answer, not a retry code: it ends at once.
  Bench code([](const ProgramFrame&) -> Answer { return {{MarkerReply(4, {'D', 'S', 'C', '1'})}}; });
  EXPECT_EQ(Identify(code.link), rc::kReplyCode);
  EXPECT_EQ(code.camera.Count(2), 1);
  EXPECT_TRUE(code.reporter.messages.empty());

  // A wrong length counts as no reply: tried again, the data error shown
  // once, after the last attempt; a good reply on the way ends it.
  int calls = 0;
  Bench length([&](const ProgramFrame&) -> Answer {
    return {{MarkerReply(3, ++calls < 3 ? V{'D', 'S', 'C', '1', 0} : V{'D', 'S', 'C', '1'})}};
  });
  EXPECT_EQ(Identify(length.link), rc::kOk);
  EXPECT_EQ(length.camera.Count(2), 3);
  EXPECT_TRUE(length.reporter.messages.empty());
  Bench always([](const ProgramFrame&) -> Answer { return {{MarkerReply(3, {'D', 'S', 'C', '1', 0})}}; });
  EXPECT_EQ(Identify(always.link), rc::kDataLength);
  EXPECT_EQ(always.camera.Count(2), 20);
  EXPECT_EQ(always.reporter.messages, Msgs{err::kDataError});

  // Damaged marker text is no header at all: skipped, and the deadline
  // ends each attempt.
  V bad_marker = MarkerReply(3, {'D', 'S', 'C', '1'});
  bad_marker[4] = 'x';
  Bench b([&](const ProgramFrame&) -> Answer { return {{bad_marker}}; });
  EXPECT_EQ(Identify(b.link), rc::kTimeout);
  EXPECT_EQ(b.camera.Count(2), 20);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kCannotAccessCamera});
}

TEST(CommandsTest, NoiseBeforeAMarkerReplyIsDroppedUpToTheMarkerText) {
  // Noise that itself begins like the marker text, in pieces.
  const V noise = {0x4F, 0x52, 0x58, 0x20, 0x00, 0x4F, 0x4F, 0x52, 0x13};
  V reply = noise;
  const V ack = {'O', 'R', 'X', ' ', 'P', 'C', ' ', ' ', 'D', 'S', 'C', ' ', 0, 0, 0, 1, 1, 0};
  reply.insert(reply.end(), ack.begin(), ack.end());
  Bench b([&](const ProgramFrame&) -> Answer {
    return {{V(reply.begin(), reply.begin() + 7)}, {V(reply.begin() + 7, reply.begin() + 20), 1000},
            {V(reply.begin() + 20, reply.end()), 2000}};
  });
  EXPECT_EQ(MarkerStart(b.link), rc::kOk);
  EXPECT_EQ(b.camera.Count(16), 1);
  EXPECT_EQ(b.link.reply_length, 18u);
  EXPECT_TRUE(b.reporter.messages.empty());
}

TEST(CommandsTest, SilentCameraIdentifyUsesTwentyAttemptsOfFiveSeconds) {
  Bench b(Silent());
  uint64_t start = b.clock.NowMicros();
  EXPECT_EQ(Identify(b.link), rc::kTimeout);
  EXPECT_EQ(b.camera.Count(2), 20);
  uint64_t passed = b.clock.NowMicros() - start;
  EXPECT_GT(passed, 20 * 5000'000ull);
  EXPECT_LT(passed, 20 * 5010'000ull);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kCannotAccessCamera});
  EXPECT_EQ(b.link.port.IsOpen(), true);
}

TEST(CommandsTest, SpeedCommandGivesUpAfterFiveAttempts) {
  Bench busy([](const ProgramFrame&) -> Answer { return {{MarkerAck(1)}}; });
  EXPECT_EQ(SpeedCommand(busy.link, 1), rc::kBusy);
  EXPECT_EQ(busy.camera.Count(4), 5);
  EXPECT_EQ(busy.reporter.messages, Msgs{err::kDataErrorRestart});
  EXPECT_EQ(busy.reporter.enabled, 1);
  EXPECT_EQ(busy.camera.frames[0].data, V{1});

  Bench silent(Silent());
  EXPECT_EQ(SpeedCommand(silent.link, 0), rc::kTimeout);
  EXPECT_EQ(silent.camera.Count(4), 5);
  EXPECT_EQ(silent.reporter.messages, Msgs{err::kCannotAccessCamera});

  Bench refuses([](const ProgramFrame&) -> Answer { return {{MarkerAck(2)}}; });
  EXPECT_EQ(SpeedCommand(refuses.link, 0), rc::kCannotExecute);
  EXPECT_EQ(refuses.camera.Count(4), 1);
  EXPECT_EQ(refuses.reporter.messages, Msgs{err::kCommandCannotExecute});
  EXPECT_EQ(refuses.reporter.enabled, 0);
}

TEST(CommandsTest, MarkerAcknowledgementTable) {
  struct Case { uint8_t byte; int code; Msgs msgs; int attempts; };
  const Case cases[] = {
      {0, rc::kOk, {}, 1},
      {1, rc::kBusy, {err::kCannotAccessCamera}, 20},
      {2, rc::kCannotExecute, {err::kCommandCannotExecute}, 1},
      {3, rc::kRetry, {err::kCannotAccessCamera}, 20},
      {4, rc::kMemoryFull, {err::kCameraMemoryFull}, 1},
      {5, rc::kCameraError, {err::kCameraError}, 1},
      {9, rc::kBadValue, {err::kCameraError}, 1},
  };
  for (const Case& c : cases) {
    Bench b([&](const ProgramFrame&) -> Answer { return {{MarkerAck(c.byte)}}; });
    EXPECT_EQ(MarkerStart(b.link), c.code) << int(c.byte);
    EXPECT_EQ(b.reporter.messages, c.msgs) << int(c.byte);
    EXPECT_EQ(b.camera.Count(16), c.attempts) << int(c.byte);
  }
  // Delete retries on time-outs only: a busy camera ends it at once.
  Bench b([](const ProgramFrame&) -> Answer { return {{MarkerAck(1)}}; });
  EXPECT_EQ(MarkerDelete(b.link, 5), rc::kBusy);
  EXPECT_EQ(b.camera.Count(17), 1);
  EXPECT_EQ(b.camera.frames[0].data, V{5});
}

TEST(CommandsTest, SequencedAcknowledgementTable) {
  struct Case { uint8_t byte; int code; Msgs msgs; };
  const Case cases[] = {
      {0, rc::kOk, {}}, {2, rc::kCannotExecute, {}}, {4, rc::kMemoryFull, {}},
      {5, rc::kCameraError, {}}, {8, rc::kMediumChanged, {}}, {1, rc::kBadValue, {err::kCameraError}},
      {6, rc::kBadValue, {err::kCameraError}}, {7, rc::kBadValue, {err::kCameraError}},
  };
  for (const Case& c : cases) {
    Bench b([&](const ProgramFrame&) -> Answer { return {{SequencedAck(c.byte)}}; });
    EXPECT_EQ(SequencedSelectMedium(b.link, 2), c.byte == 8 ? rc::kMediumChanged : c.code) << int(c.byte);
    EXPECT_EQ(b.reporter.messages, c.msgs) << int(c.byte);
    EXPECT_EQ(b.camera.Count(28), 1);
  }
  // A retry request (3) and a bad checksum (33) are retried 20 times.
  V bad = SequencedAck(0);
  bad[14] ^= 1;
  Bench b([&](const ProgramFrame&) -> Answer { return {{bad}}; });
  EXPECT_EQ(SequencedStart(b.link), rc::kRetry);
  EXPECT_EQ(b.camera.Count(16), 20);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kCannotAccessCamera});
  // A reply carrying another sequence number is a header fault, reported.
  Bench s([](const ProgramFrame&) -> Answer { return {{SequencedAck(0, 9)}}; });
  EXPECT_EQ(SequencedStart(s.link), rc::kBadHeader);
  EXPECT_EQ(s.reporter.messages, Msgs{err::kDataError});
}

TEST(CommandsTest, DownloadConnectionOfEachType) {
  for (int type : {1, 2, 4}) {
    Model m;
    m.type = type;
    Bench b(std::ref(m));
    b.link.speed_code = speed_code::k57600;
    EXPECT_EQ(ConnectForDownload(b.link), rc::kOk) << type;
    EXPECT_EQ(b.link.camera_type, type);
    EXPECT_EQ(b.camera.speeds.back(), 57600u);
    ASSERT_GE(b.camera.frames.size(), 3u);
    EXPECT_EQ(b.camera.frames[0].command, 4);
    EXPECT_EQ(b.camera.frames[0].data, V{3});
    EXPECT_EQ(b.camera.frames[1].command, 2);
    EXPECT_EQ(b.camera.frames[2].command, 16);
    EXPECT_EQ(b.camera.frames[2].marker, type == 1);
    if (type == 1) {
      EXPECT_EQ(b.camera.frames[3].command, 7);
      EXPECT_EQ(b.link.picture_count, 3);
    } else if (type == 2) {
      EXPECT_EQ(b.camera.frames[3].command, 7);
      EXPECT_FALSE(b.camera.frames[3].marker);
      EXPECT_EQ(b.link.picture_count, 3);
    } else {
      EXPECT_EQ(b.camera.frames.size(), 3u);
    }
    EXPECT_TRUE(b.reporter.messages.empty());
    EndConnection(b.link);
    EXPECT_EQ(b.camera.frames.back().command, 31);
    EXPECT_EQ(b.camera.frames.back().marker, type == 1);
  }
}

TEST(CommandsTest, TypeTwoCameraWithoutPictures) {
  Model m;
  m.type = 2;
  m.count = 0;
  Bench b(std::ref(m));
  EXPECT_EQ(ConnectForDownload(b.link), rc::kNothing);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kNoStoredImages});
  EndConnection(b.link);
  EXPECT_FALSE(b.camera.frames.back().marker);
  EXPECT_EQ(b.camera.frames.back().command, 31);
}

TEST(CommandsTest, EndWithoutAnyIdentifiedCameraIsSequencedAndQuiet) {
  Bench b(Silent());
  uint64_t start = b.clock.NowMicros();
  EndConnection(b.link);
  EXPECT_EQ(b.camera.Count(31), 1);
  EXPECT_FALSE(b.camera.frames[0].marker);
  EXPECT_TRUE(b.reporter.messages.empty());
  EXPECT_LT(b.clock.NowMicros() - start, 1100'000u);
  EXPECT_EQ(b.reporter.hourglass, (std::vector<bool>{true, false}));
  // A type-1 end is retried on time-outs, 20 × 5 s, then message 9.
  Bench c(Silent());
  c.link.camera_type = 1;
  EndConnection(c.link);
  EXPECT_EQ(c.camera.Count(31), 20);
  EXPECT_EQ(c.reporter.messages, Msgs{err::kCannotAccessCamera});
}

TEST(CommandsTest, TypeOneListKeepsOnlyWhatArrivedAndEachPicturesNumber) {
  Model m;
  // Announces 40 pairs but sends 5: numbers 2, 0 (ignored), 7, 101
  // (ignored), 2 again (same picture); the rest never comes.
  m.special[7] = [](const ProgramFrame&) -> Answer {
    V data = {2, 0, 0, 1, 7, 2, 101, 1, 2, 1};
    V whole = MarkerReply(8, data, 80);
    return {{whole}};
  };
  Bench b(std::ref(m));
  b.link.camera_type = 1;
  // The reply stops short of its announced length: a time-out, retried.
  EXPECT_EQ(MarkerPictureList(b.link), rc::kTimeout);
  EXPECT_EQ(b.camera.Count(7), 20);

  // Announced and received agree, with junk numbers among them.
  m.special[7] = [](const ProgramFrame&) -> Answer {
    return {{MarkerReply(8, {2, 0, 0, 1, 7, 2, 101, 1, 2, 1})}};
  };
  Bench c(std::ref(m));
  ASSERT_EQ(MarkerPictureList(c.link), rc::kOk);
  EXPECT_EQ(c.link.picture_count, 2);
  ASSERT_EQ(c.link.listed.size(), 2u);
  EXPECT_EQ(c.link.listed[0].number, 2);
  EXPECT_EQ(c.link.listed[0].mode, 1);
  EXPECT_EQ(c.link.listed[1].number, 7);
  EXPECT_EQ(c.link.picture_modes[6], 2);
  EXPECT_EQ(c.link.picture_modes[0], 255);

  // More than 239 bytes: only the kept pairs count, at most 100 of them.
  m.special[7] = [](const ProgramFrame&) -> Answer {
    V data;
    for (int i = 1; i <= 150; ++i) data.insert(data.end(), {static_cast<uint8_t>(i), 0});
    return {{MarkerReply(8, data)}};
  };
  Bench d(std::ref(m));
  ASSERT_EQ(MarkerPictureList(d.link), rc::kOk);
  EXPECT_EQ(d.link.picture_count, 100);
  EXPECT_EQ(d.link.listed.back().number, 100);

  // Nothing usable: "no stored images".
  m.special[7] = [](const ProgramFrame&) -> Answer { return {{MarkerReply(8, {0, 1, 200, 1})}}; };
  Bench e(std::ref(m));
  EXPECT_EQ(MarkerPictureList(e.link), rc::kNothing);
  EXPECT_EQ(e.reporter.messages, Msgs{err::kNoStoredImages});
}

TEST(CommandsTest, UploadConnectionRefusesTheFastestSpeedOnTypeOne) {
  Model m;
  Bench b(std::ref(m));
  b.link.speed_code = speed_code::k115200;
  EXPECT_EQ(ConnectForUpload(b.link), rc::kSpeedNotAllowed);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kBaudrateTooHigh});
  EXPECT_EQ(b.camera.Count(16), 0);

  Bench c(std::ref(m));
  c.link.speed_code = speed_code::k38400;
  uint64_t start = c.clock.NowMillis();
  EXPECT_EQ(ConnectForUpload(c.link), rc::kOk);
  EXPECT_EQ(c.camera.Count(16), 1);
  EXPECT_GE(c.clock.NowMillis() - start, 200u + 1000 + 200 + 8000 + 200);
}

TEST(CommandsTest, SetupConnectionProbesTypeTwo) {
  Model m;
  m.type = 2;
  Bench b(std::ref(m));
  EXPECT_EQ(ConnectForSetup(b.link), rc::kOk);
  EXPECT_EQ(b.link.camera_type, 3);
  EXPECT_EQ(b.camera.frames.back().command, 56);
  EXPECT_EQ(b.camera.frames.back().data[0], 14);

  m.special[56] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 54, {0xFF, 0})}}; };
  Bench c(std::ref(m));
  EXPECT_EQ(ConnectForSetup(c.link), rc::kOk);
  EXPECT_EQ(c.link.camera_type, 2);

  m.special.clear();
  m.type = 4;
  Bench d(std::ref(m));
  EXPECT_EQ(ConnectForSetup(d.link), rc::kOk);
  EXPECT_EQ(d.link.camera_type, 4);
  EXPECT_EQ(d.camera.Count(56), 0);

  m.type = 1;
  Bench e(std::ref(m));
  EXPECT_EQ(ConnectForSetup(e.link), rc::kRetry);
  EXPECT_EQ(e.camera.Count(16), 0);

  // The probe goes once, even unanswered, and then says so.
  m.type = 2;
  m.special[56] = [](const ProgramFrame&) -> Answer { return {}; };
  Bench f(std::ref(m));
  EXPECT_EQ(ConnectForSetup(f.link), rc::kTimeout);
  EXPECT_EQ(f.camera.Count(56), 1);
  EXPECT_EQ(f.reporter.messages, Msgs{err::kCannotAccessCamera});
}

TEST(CommandsTest, AbsurdSizesAreFailedCommandsNotAllocations) {
  Model m;
  m.size = 0xFFFFFFF0u;
  Bench b(std::ref(m));
  EXPECT_EQ(MarkerPictureSize(b.link, 1), rc::kBadHeader);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kDataError});
  EXPECT_TRUE(b.link.picture.empty());
  EXPECT_EQ(b.link.block_count, 0u);

  m.type = 2;
  Bench c(std::ref(m));
  EXPECT_EQ(SequencedPictureSize(c.link, 1), rc::kBadHeader);
  m.special[7] = [](const ProgramFrame& f) -> Answer { return {{SequencedReply(8, f.sequence, 8, {0xFF, 0xFF})}}; };
  Bench d(std::ref(m));
  int count = -1;
  // The count travels in 16 bits and the grid holds any of them.
  EXPECT_EQ(SequencedPictureCount(d.link, count), rc::kOk);
  EXPECT_EQ(count, 65535);
  m.special[10] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 11, {0xE8, 0x03})}}; };
  Bench e(std::ref(m));
  int folders = -1;
  EXPECT_EQ(SequencedFolderTotal(e.link, folders), rc::kBadHeader);  // 1000 folders
}

TEST(CommandsTest, SizesAndBlockCounts) {
  Model m;
  m.size = 2048;
  Bench b(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(b.link, 1), rc::kOk);
  EXPECT_EQ(b.link.block_count, 2u);
  m.size = 2049;
  Bench c(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(c.link, 1), rc::kOk);
  EXPECT_EQ(c.link.block_count, 3u);
  m.type = 2;
  m.size = 0;
  Bench d(std::ref(m));
  EXPECT_EQ(SequencedPictureSize(d.link, 1), rc::kZeroSize);
  EXPECT_EQ(SequencedThumbnailSize(d.link, 1), rc::kNothing);
  m.special[22] = [](const ProgramFrame&) -> Answer { return {{SequencedAck(6)}}; };
  Bench e(std::ref(m));
  EXPECT_EQ(SequencedThumbnailSize(e.link, 4), rc::kNothing);
  EXPECT_EQ(testing::ReadLe(e.camera.frames[0].data, 4), 4u);
}

TEST(CommandsTest, MarkerPictureComesWholeAndNotesAnEmptyLastBlock) {
  Model m;
  m.size = 2500;
  Bench b(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(b.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  int progress = 0;
  ASSERT_EQ(FetchBlocksMarker(b.link, [&](uint32_t n) { progress = static_cast<int>(n); }), rc::kOk);
  EXPECT_EQ(progress, 3);
  EXPECT_EQ(b.link.picture[0], 1);
  EXPECT_EQ(b.link.picture[2048 + 451], 3);
  EXPECT_EQ(b.link.picture[2048 + 452], 0);
  EXPECT_FALSE(b.link.last_block_empty);

  m.size = 3072;
  m.special[30] = [&](const ProgramFrame& f) -> Answer {
    int block = (f.data[0] << 8) | f.data[1];
    return {{MarkerReply(0, block == 2 ? V{} : V(1024, 9))}};
  };
  Bench c(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(c.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(c.link), rc::kOk);
  ASSERT_EQ(FetchBlocksMarker(c.link), rc::kOk);
  EXPECT_TRUE(c.link.last_block_empty);
}

TEST(CommandsTest, MarkerBlockFaultsCostRetriesAndReportOnlyAtTheEnd) {
  Model m;
  m.size = 1024;
  int calls = 0;
  m.special[30] = [&](const ProgramFrame&) -> Answer {
    V r = MarkerReply(0, V(1024, 7));
    if (++calls < 3) r[0] = 'Z';  // two bad headers, then good
    return {{r}};
  };
  Bench b(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(b.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  EXPECT_EQ(FetchBlocksMarker(b.link), rc::kOk);
  EXPECT_EQ(b.camera.Count(30), 3);
  EXPECT_TRUE(b.reporter.messages.empty());

  // Every reply announcing more than a block: the data error only with the
  // last attempt, then the transfer error.
  m.special[30] = [&](const ProgramFrame&) -> Answer { return {{MarkerReply(0, V(1024, 7), 1025)}}; };
  Bench c(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(c.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(c.link), rc::kOk);
  EXPECT_EQ(FetchBlocksMarker(c.link), rc::kDataLength);
  EXPECT_EQ(c.camera.Count(30), 20);
  EXPECT_EQ(c.reporter.messages, (Msgs{err::kDataError, err::kTransferError}));

  // A block shorter than its share is asked again; one that stays short is
  // the transfer error, never a picture with a hole in it.
  m.size = 2500;
  int short_once = 1;
  m.special[30] = [&](const ProgramFrame& f) -> Answer {
    const int block = (f.data[0] << 8) | f.data[1];
    const size_t share = block == 2 ? 452 : 1024;
    if (block == 1 && short_once) {
      --short_once;
      return {{MarkerReply(0, V(600, 5))}};
    }
    return {{MarkerReply(0, V(share, 5))}};
  };
  Bench d(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(d.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(d.link), rc::kOk);
  EXPECT_EQ(FetchBlocksMarker(d.link), rc::kOk);
  EXPECT_EQ(d.camera.Count(30), 4);
  EXPECT_FALSE(d.link.last_block_empty);
  m.special[30] = [&](const ProgramFrame& f) -> Answer {
    const int block = (f.data[0] << 8) | f.data[1];
    return {{MarkerReply(0, V(block == 1 ? 1000 : 1024, 5))}};
  };
  Bench e(std::ref(m));
  ASSERT_EQ(MarkerPictureSize(e.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(e.link), rc::kOk);
  EXPECT_EQ(FetchBlocksMarker(e.link), rc::kDataLength);
  EXPECT_EQ(e.camera.Count(30), 21);
  EXPECT_EQ(e.reporter.messages, Msgs{err::kTransferError});
}

TEST(CommandsTest, SequencedBlocksAdvanceTheSequenceAndRetryBadFrames) {
  Model m;
  m.type = 2;
  m.size = 300 * 1024;  // past 256 blocks: the sequence wraps
  int corrupt_once = 1;
  m.special[30] = [&](const ProgramFrame& f) -> Answer {
    int block = static_cast<int>(testing::ReadLe(f.data, 2));
    EXPECT_EQ(f.sequence, static_cast<uint8_t>(block));
    V r = SequencedReply(1, f.sequence, 5, V(1024, static_cast<uint8_t>(block)));
    if (block == 5 && corrupt_once) {
      --corrupt_once;
      r[1028] ^= 0xFF;
    }
    return {{r}};
  };
  Bench b(std::ref(m));
  b.link.camera_type = 2;
  ASSERT_EQ(SequencedPictureSize(b.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  ASSERT_EQ(FetchBlocksSequenced(b.link, BlockTarget::kPicture), rc::kOk);
  EXPECT_EQ(b.camera.Count(30), 301);
  EXPECT_EQ(b.link.picture[5 * 1024], 5);
  EXPECT_EQ(b.link.picture[299 * 1024 + 1023], static_cast<uint8_t>(299));
  EXPECT_TRUE(b.reporter.messages.empty());
}

TEST(CommandsTest, ABlockWithADoubledByteIsAskedAgainEvenWhenItsSumStillMatches) {
  // A byte doubled on the line shifts the rest of a block reply by one:
  // the last data byte lands on the checksum's place and the checksum on
  // the final zero's. Here the data make the shifted frame's sum match;
  // only its final byte, no longer zero, shows that it is not the frame
  // the camera sent.
  V data(1024);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
  const size_t doubled = 4 + 494;
  auto shifted = [&] {
    V r = SequencedReply(1, 0, 5, data);
    r.insert(r.begin() + static_cast<std::ptrdiff_t>(doubled), r[doubled]);
    r.resize(1030);
    return r;
  };
  unsigned sum = 0;
  V probe = shifted();
  for (size_t i = 1; i < 1028; ++i) sum += probe[i];  // does not depend on data[1023]
  data[1023] = static_cast<uint8_t>(sum);
  const V bad = shifted();
  ASSERT_EQ(bad[1028], SequencedChecksum(bad.data(), 1));  // the sum alone would take it
  ASSERT_NE(bad[1029], 0);
  Model m;
  m.type = 2;
  m.size = 2 * 1024;
  int doubled_once = 1;
  m.special[30] = [&](const ProgramFrame& f) -> Answer {
    const int block = static_cast<int>(testing::ReadLe(f.data, 2));
    if (block == 0 && doubled_once-- > 0) return {{bad}};
    return {{SequencedReply(1, f.sequence, 5, block == 0 ? data : V(1024, 9))}};
  };
  Bench b(std::ref(m));
  b.link.camera_type = 2;
  ASSERT_EQ(SequencedPictureSize(b.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  ASSERT_EQ(FetchBlocksSequenced(b.link, BlockTarget::kPicture), rc::kOk);
  EXPECT_EQ(b.camera.Count(30), 3);  // block 0 twice
  EXPECT_EQ(V(b.link.picture.begin(), b.link.picture.begin() + 1024), data);
  EXPECT_TRUE(b.reporter.messages.empty());
}

TEST(CommandsTest, ThumbnailBlockRefusalEndsWithNothing) {
  Model m;
  m.type = 2;
  m.special[30] = [](const ProgramFrame&) -> Answer { return {{SequencedAck(6)}}; };
  Bench b(std::ref(m));
  ASSERT_EQ(SequencedThumbnailSize(b.link, 1), rc::kOk);
  ASSERT_EQ(AllocatePicture(b.link), rc::kOk);
  EXPECT_EQ(FetchBlocksSequenced(b.link, BlockTarget::kThumbnail), rc::kNothing);
  EXPECT_EQ(b.camera.Count(30), 1);
  EXPECT_TRUE(b.reporter.messages.empty());

  Bench c(Silent());
  c.link.block_count = 1;
  ASSERT_EQ(AllocatePicture(c.link), rc::kOk);
  EXPECT_EQ(FetchBlocksSequenced(c.link, BlockTarget::kThumbnail), rc::kTimeout);
  EXPECT_EQ(c.camera.Count(30), 20);
  EXPECT_EQ(c.reporter.messages, Msgs{err::kCannotAccessCamera});
}

TEST(CommandsTest, TypeFourFolderCommands) {
  Model m;
  m.type = 4;
  m.special[18] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 19, {1, 1, 2, 0, 3, 1})}}; };
  m.special[10] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 11, {2, 0, 0, 0})}}; };
  m.special[12] = [](const ProgramFrame&) -> Answer {
    return {{SequencedReply(1, 0, 13, {'1', '0', '0', 0, '1', '0', '2', 0, 'x', 'y', 'z', 0})}};
  };
  m.special[14] = [](const ProgramFrame& f) -> Answer {
    EXPECT_EQ(V(f.data.begin(), f.data.begin() + 9), (V{'1', '0', '0', 0, '0', '0', '1', '2', 1}));
    return {{SequencedReply(8, 0, 15, {13, 0, 0, 0})}};
  };
  m.special[24] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 25, {1, 0, 0, 0, 0, 1})}}; };
  m.special[23] = [](const ProgramFrame& f) -> Answer {
    EXPECT_EQ(f.kind, 16);
    EXPECT_EQ(V(f.data.begin() + 8, f.data.begin() + 12), (V{0, '0', '0', '2'}));
    return {{SequencedReply(8, 0, 29, {0, 0, 0, 0})}};
  };
  Bench b(std::ref(m));
  b.link.camera_type = 4;
  MediaStatus media;
  ASSERT_EQ(SequencedMediaStatus(b.link, media), rc::kOk);
  EXPECT_EQ(media.medium1, 1);
  EXPECT_EQ(media.current, 1);
  int folders = 0;
  ASSERT_EQ(SequencedFolderTotal(b.link, folders), rc::kOk);
  EXPECT_EQ(folders, 2);
  std::vector<int> page;
  ASSERT_EQ(SequencedFolderPage(b.link, page), rc::kOk);
  ASSERT_EQ(page.size(), 256u);
  EXPECT_EQ(page[0], 100);
  EXPECT_EQ(page[1], 102);
  EXPECT_EQ(page[2], -1);
  int next = 0;
  ASSERT_EQ(SequencedNextFile(b.link, 100, 12, next), rc::kOk);
  EXPECT_EQ(next, 13);
  EXPECT_EQ(SequencedEntryKind(b.link, 100, 13), rc::kStill);
  EXPECT_EQ(SequencedMoviePartSize(b.link, 100, 13, 2), rc::kZeroSize);

  m.special[18] = [](const ProgramFrame&) -> Answer { return {{SequencedReply(8, 0, 19, {1, 1, 2, 9, 3, 1})}}; };
  m.special[24] = [](const ProgramFrame&) -> Answer { return {{SequencedAck(7)}}; };
  Bench c(std::ref(m));
  EXPECT_EQ(SequencedMediaStatus(c.link, media), rc::kRetry);
  EXPECT_EQ(c.camera.Count(18), 20);
  EXPECT_EQ(SequencedEntryKind(c.link, 100, 13), rc::kKindRefused);
}

TEST(CommandsTest, ClockItems) {
  Model m;
  m.type = 2;
  m.special[53] = [](const ProgramFrame& f) -> Answer {
    EXPECT_EQ(f.data[0], 193);
    return {{SequencedReply(8, 0, 54, {29, 2})}};
  };
  Bench b(std::ref(m));
  b.link.camera_type = 2;
  uint16_t value = 0;
  ASSERT_EQ(SequencedReadClockItem(b.link, 193, 0, value), rc::kOk);
  EXPECT_EQ(value, 2 * 256 + 29);
  ASSERT_EQ(SequencedSetClockItem(b.link, 64, 1, 2001), rc::kOk);
  EXPECT_EQ(V(b.camera.frames.back().data.begin(), b.camera.frames.back().data.begin() + 4),
            (V{64, 1, 0xD1, 0x07}));
}

TEST(CommandsTest, UploadsInBothFormats) {
  Model m;
  Bench b(std::ref(m));
  V picture(600);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i * 3);
  int writes = 0;
  EXPECT_EQ(MarkerUpload(b.link, picture.data(), picture.size(), [&](size_t) { ++writes; }), rc::kOk);
  EXPECT_EQ(writes, 3);
  EXPECT_EQ(b.camera.uploaded, picture);
  EXPECT_EQ(b.camera.frames[0].announced, 600u);
  EXPECT_EQ(b.port.writes, (std::vector<size_t>{17, 256, 256, 88}));

  // Sequenced: 2000 bytes as two blocks, the second zero padded; a
  // refusal 2 waits half a second and tries again.
  m.type = 2;
  int refusals = 1;
  m.special[5] = [&](const ProgramFrame&) -> Answer {
    if (refusals) {
      --refusals;
      return {{SequencedAck(2)}};
    }
    return {{SequencedAck(0)}};
  };
  Bench c(std::ref(m));
  V pic(2000, 0xAA);
  uint64_t start = c.clock.NowMillis();
  ASSERT_EQ(SequencedUploadStart(c.link, 2000), rc::kOk);
  ASSERT_EQ(SequencedUploadBlock(c.link, 0, pic.data(), 1024), rc::kOk);
  ASSERT_EQ(SequencedUploadBlock(c.link, 1, pic.data() + 1024, 976), rc::kOk);
  EXPECT_GE(c.clock.NowMillis() - start, 500u);
  auto& last = c.camera.frames.back();
  EXPECT_EQ(last.kind, 1);
  EXPECT_EQ(last.sequence, 1);
  EXPECT_EQ(last.data[975], 0xAA);
  EXPECT_EQ(last.data[976], 0);
  EXPECT_EQ(c.camera.Count(5), 3);
  EXPECT_TRUE(c.reporter.messages.empty());
}

TEST(CommandsTest, PortFailuresShowTheirMessagesOnce) {
  Bench b(Silent());
  b.port.Close();
  PrepareMarker(b.link, 16);
  EXPECT_EQ(SendAndReceive(b.link, 5000), rc::kPurge);
  EXPECT_EQ(b.reporter.messages, Msgs{err::kTransferError});
}

}  // namespace
}  // namespace fq::cam
