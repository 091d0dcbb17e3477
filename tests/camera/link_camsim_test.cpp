// The program's camera link against the camera simulator on the in-memory
// line: every connection sequence and the commands for each camera type,
// with and without faults of the camera and of the line.
#include <gtest/gtest.h>

#include "camera/block_loops.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera/scripted_camera.h"
#include "camsim/camera_simulator.h"
#include "camsim/sim_jpeg.h"

namespace fq::cam {
namespace {

using camsim::CameraSimulator;
using camsim::CommandFault;
using camsim::SimOptions;
using Msgs = std::vector<int>;
using V = std::vector<uint8_t>;

struct Rig {
  Rig(int type, std::vector<CommandFault> faults = {}, LineOptions line_options = {})
      : Rig(type, camsim::DemoContent(type), std::move(faults), std::move(line_options)) {}
  Rig(int type, camsim::CameraContent content, std::vector<CommandFault> faults = {},
      LineOptions line_options = {})
      : sim(Options(type, std::move(faults)), std::move(content)),
        line(clock, sim, std::move(line_options)),
        link(line.port(), clock, pump, reporter) {
    link.port_name = "COM1";
    link.speed_code = speed_code::k57600;
    EXPECT_EQ(OpenPort(link), rc::kOk);
  }
  static SimOptions Options(int type, std::vector<CommandFault> faults) {
    SimOptions o;
    o.type = type;
    o.faults = std::move(faults);
    return o;
  }
  const camsim::StoredFolder& Folder(int medium = 0, size_t i = 0) {
    return sim.content().media[medium].folders[i];
  }
  FakeClock clock;
  CameraSimulator sim;
  MemoryLine line;
  testing::RecordingReporter reporter;
  testing::FakePump pump;
  CameraLink link;
};

CommandFault SimFault(camsim::FaultKind kind, int command, uint32_t at = 1, uint32_t count = 1) {
  CommandFault f;
  f.kind = kind;
  f.command = command;
  f.at = at;
  f.count = count;
  return f;
}

int FetchMarkerPicture(Rig& r, int number) {
  if (int c = MarkerPictureSize(r.link, number)) return c;
  if (int c = AllocatePicture(r.link)) return c;
  return FetchBlocksMarker(r.link);
}

int FetchSequencedPicture(Rig& r, int number) {
  if (int c = SequencedPictureSize(r.link, number)) return c;
  if (int c = AllocatePicture(r.link)) return c;
  return FetchBlocksSequenced(r.link, BlockTarget::kPicture);
}

V Received(const CameraLink& link) {
  return V(link.picture.begin(), link.picture.begin() + link.picture_size);
}

TEST(LinkCamsimTest, TypeOneDownloadListPicturesPreviewDeleteEnd) {
  Rig r(1);
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.link.camera_type, 1);
  EXPECT_EQ(r.sim.camera_speed(), 57600u);
  const auto& entries = r.Folder().entries;
  ASSERT_EQ(r.link.picture_count, static_cast<int>(entries.size()));
  ASSERT_EQ(r.link.listed.size(), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(r.link.listed[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(r.link.listed[i].mode, entries[i].mode);
  }
  ASSERT_EQ(FetchMarkerPicture(r, 2), rc::kOk);
  EXPECT_EQ(Received(r.link), entries[1].data);
  EXPECT_FALSE(r.link.last_block_empty);

  EXPECT_EQ(MarkerViewfinder(r.link, 3), rc::kOk);
  EXPECT_EQ(r.sim.viewfinder_picture(), 3);
  size_t before = entries.size();
  EXPECT_EQ(MarkerDelete(r.link, 1), rc::kOk);
  EXPECT_EQ(r.Folder().entries.size(), before - 1);
  EndConnection(r.link);
  EXPECT_EQ(r.sim.stats().sessions_ended, 1);
  EXPECT_TRUE(r.reporter.messages.empty());
}

TEST(LinkCamsimTest, SequencedTypesDownloadPicturesAndThumbnails) {
  for (int type : {2, 3}) {
    Rig r(type);
    ASSERT_EQ(ConnectForDownload(r.link), rc::kOk) << type;
    EXPECT_EQ(r.link.camera_type, 2);  // type 3 looks like 2 until probed
    const auto& entries = r.Folder().entries;
    EXPECT_EQ(r.link.picture_count, static_cast<int>(entries.size()));
    for (int n = 1; n <= r.link.picture_count; ++n) {
      ASSERT_EQ(FetchSequencedPicture(r, n), rc::kOk) << n;
      EXPECT_EQ(Received(r.link), entries[n - 1].data) << n;
    }
    int code = SequencedThumbnailSize(r.link, 1);
    if (code == rc::kOk) {
      ASSERT_EQ(AllocatePicture(r.link), rc::kOk);
      EXPECT_EQ(FetchBlocksSequenced(r.link, BlockTarget::kThumbnail), rc::kOk);
      EXPECT_EQ(r.link.picture[0], 0xFF);
      EXPECT_EQ(r.link.picture[1], 0xD8);
    } else {
      EXPECT_EQ(code, rc::kNothing);
    }
    size_t before = entries.size();
    EXPECT_EQ(SequencedDelete(r.link, before), rc::kOk);
    EXPECT_EQ(r.Folder().entries.size(), before - 1);
    EndConnection(r.link);
    EXPECT_EQ(r.sim.stats().sessions_ended, 1);
    EXPECT_TRUE(r.reporter.messages.empty());
  }
}

TEST(LinkCamsimTest, TypeFourMediaFoldersStillsAndMovies) {
  Rig r(4);
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.link.camera_type, 4);
  MediaStatus media;
  ASSERT_EQ(SequencedMediaStatus(r.link, media), rc::kOk);
  EXPECT_EQ(media.medium1, 1);
  EXPECT_EQ(media.current, 1);
  int total = 0;
  ASSERT_EQ(SequencedFolderTotal(r.link, total), rc::kOk);
  ASSERT_EQ(total, static_cast<int>(r.sim.content().media[0].folders.size()));
  std::vector<int> page;
  ASSERT_EQ(SequencedFolderPage(r.link, page), rc::kOk);
  ASSERT_GE(page.size(), static_cast<size_t>(total));
  for (int i = 0; i < total; ++i) EXPECT_EQ(page[i], r.Folder(0, i).number);

  for (int i = 0; i < total; ++i) {
    const auto& folder = r.Folder(0, i);
    int count = 0;
    ASSERT_EQ(SequencedFolderCount(r.link, folder.number, count), rc::kOk);
    ASSERT_EQ(count, static_cast<int>(folder.entries.size()));
    int file = 0;
    for (const auto& entry : folder.entries) {
      int next = 0;
      ASSERT_EQ(SequencedNextFile(r.link, folder.number, file, next), rc::kOk);
      ASSERT_EQ(next, entry.file);
      file = next;
      int kind = SequencedEntryKind(r.link, folder.number, file);
      if (entry.movie) {
        ASSERT_EQ(kind, rc::kMovie);
        for (size_t part = 0; part < entry.frames.size(); ++part) {
          ASSERT_EQ(SequencedMoviePartSize(r.link, folder.number, file, static_cast<int>(part) + 1), rc::kOk);
          ASSERT_EQ(AllocatePicture(r.link), rc::kOk);
          ASSERT_EQ(FetchBlocksSequenced(r.link, BlockTarget::kMoviePart), rc::kOk);
          EXPECT_EQ(Received(r.link), entry.frames[part]);
        }
      } else {
        ASSERT_EQ(kind, rc::kStill);
        ASSERT_EQ(SequencedPictureSizeOf(r.link, folder.number, file), rc::kOk);
        ASSERT_EQ(AllocatePicture(r.link), rc::kOk);
        ASSERT_EQ(FetchBlocksSequenced(r.link, BlockTarget::kPicture), rc::kOk);
        EXPECT_EQ(Received(r.link), entry.data);
      }
    }
  }
  // The second medium.
  int select = SequencedSelectMedium(r.link, 2);
  EXPECT_TRUE(select == rc::kOk || select == rc::kMediumChanged);
  EXPECT_EQ(r.sim.current_medium(), 2);
  const int first = r.sim.content().media[1].folders[0].number;
  const int file = r.sim.content().media[1].folders[0].entries[0].file;
  size_t before = r.sim.content().media[1].folders[0].entries.size();
  EXPECT_EQ(SequencedDeleteFile(r.link, first, file), rc::kOk);
  EXPECT_EQ(r.sim.content().media[1].folders[0].entries.size(), before - 1);
  EndConnection(r.link);
  EXPECT_EQ(r.sim.stats().sessions_ended, 1);
  EXPECT_TRUE(r.reporter.messages.empty());
}

TEST(LinkCamsimTest, UploadConnectionAndUploadForEachType) {
  for (int type : {1, 2, 3, 4}) {
    Rig r(type);
    r.link.speed_code = speed_code::k38400;
    ASSERT_EQ(ConnectForUpload(r.link), rc::kOk) << type;
    size_t before = r.sim.content().Count();
    V picture = r.Folder().entries[0].data;
    if (type == 1) {
      ASSERT_EQ(MarkerRecordingMode(r.link, r.Folder().entries[0].mode), rc::kOk);
      ASSERT_EQ(MarkerUpload(r.link, picture.data(), picture.size()), rc::kOk);
    } else {
      ASSERT_EQ(SequencedUploadStart(r.link, static_cast<uint32_t>(picture.size())), rc::kOk);
      for (uint32_t b = 0; b * kBlockSize < picture.size(); ++b) {
        size_t at = b * kBlockSize;
        ASSERT_EQ(SequencedUploadBlock(r.link, b, picture.data() + at,
                                       std::min(kBlockSize, picture.size() - at)), rc::kOk);
      }
    }
    EXPECT_EQ(r.sim.content().Count(), before + 1) << type;
    EXPECT_EQ(r.sim.stats().uploads, 1);
    EndConnection(r.link);
    EXPECT_TRUE(r.reporter.messages.empty()) << type;
  }
  Rig fast(1);
  fast.link.speed_code = speed_code::k115200;
  EXPECT_EQ(ConnectForUpload(fast.link), rc::kSpeedNotAllowed);
  EXPECT_EQ(fast.reporter.messages, Msgs{err::kBaudrateTooHigh});
}

TEST(LinkCamsimTest, SetupConnectionProbeAndClock) {
  const int want[] = {0, rc::kRetry, rc::kOk, rc::kOk, rc::kOk};
  const int type_after[] = {0, 1, 2, 3, 4};
  for (int type : {1, 2, 3, 4}) {
    Rig r(type);
    EXPECT_EQ(ConnectForSetup(r.link), want[type]) << type;
    EXPECT_EQ(r.link.camera_type, type_after[type]);
    if (type == 1) continue;
    const bool new_items = r.link.camera_type != 2;
    const uint8_t year = new_items ? 64 : 192, flag = new_items ? 1 : 0;
    ASSERT_EQ(SequencedSetClockItem(r.link, year, flag, 2001), rc::kOk);
    ASSERT_EQ(SequencedSetClockItem(r.link, year + 1, flag, 2 * 256 + 28), rc::kOk);
    ASSERT_EQ(SequencedSetClockItem(r.link, year + 2, flag, 13 * 256 + 45), rc::kOk);
    uint16_t value = 0;
    ASSERT_EQ(SequencedReadClockItem(r.link, year, flag, value), rc::kOk);
    EXPECT_EQ(value, 2001);
    ASSERT_EQ(SequencedReadClockItem(r.link, year + 1, flag, value), rc::kOk);
    EXPECT_EQ(value, 2 * 256 + 28);
    EXPECT_EQ(r.sim.ClockNow().month, 2);
    EXPECT_EQ(r.sim.ClockNow().hour, 13);
    EndConnection(r.link);
    EXPECT_TRUE(r.reporter.messages.empty());
  }
}

TEST(LinkCamsimTest, CameraFaultsCostRetriesNotFailures) {
  using camsim::FaultKind;
  // Busy twice on the start, a retry request on the list, a damaged first
  // block reply: all recovered by the retry rules.
  Rig one(1, {SimFault(FaultKind::kBusy, 16, 1, 2), SimFault(FaultKind::kRetry, 26),
              SimFault(FaultKind::kChecksum, 30, 2), SimFault(FaultKind::kSilence, 30, 3)});
  ASSERT_EQ(ConnectForDownload(one.link), rc::kOk);
  EXPECT_EQ(one.sim.stats().marker_commands.at(16), 3);
  // Marker 26 is retried on time-outs only, and its reply must carry code
  // 29: an acknowledgement asking for a retry ends it.
  EXPECT_EQ(MarkerPictureSize(one.link, 1), rc::kReplyCode);
  EXPECT_EQ(one.sim.stats().marker_commands.at(26), 1);
  ASSERT_EQ(FetchMarkerPicture(one, 1), rc::kOk);
  EXPECT_EQ(Received(one.link), one.Folder().entries[0].data);
  EXPECT_TRUE(one.reporter.messages.empty());

  // Noise before sequenced replies is skipped (here kept off the speed and
  // identification, whose marker replies a test of their own covers).
  Rig two(2, {SimFault(FaultKind::kChecksum, 30, 1, 3), SimFault(FaultKind::kNoise, 30, 1, 0),
              SimFault(FaultKind::kNoise, 16), SimFault(FaultKind::kNoise, 26),
              SimFault(FaultKind::kRetry, 7, 1, 2)});
  ASSERT_EQ(ConnectForDownload(two.link), rc::kOk);
  ASSERT_EQ(FetchSequencedPicture(two, 2), rc::kOk);
  EXPECT_EQ(Received(two.link), two.Folder().entries[1].data);
  EXPECT_GT(two.sim.stats().noise_bytes + two.sim.stats().faults_committed, 0u);
  EXPECT_TRUE(two.reporter.messages.empty());

  // Noise before every identification reply: dropped up to the marker text.
  Rig noisy(1, {SimFault(FaultKind::kNoise, 2, 1, 0)});
  EXPECT_EQ(ConnectForDownload(noisy.link), rc::kOk);
  EXPECT_EQ(noisy.sim.stats().marker_commands.at(2), 1);
}

TEST(LinkCamsimTest, SilentCameraFailsWithTheRightMessages) {
  using camsim::FaultKind;
  Rig speed(2, {SimFault(FaultKind::kSilence, 4, 1, 0)});
  EXPECT_EQ(ConnectForDownload(speed.link), rc::kTimeout);
  EXPECT_EQ(speed.reporter.messages, Msgs{err::kCannotAccessCamera});
  EXPECT_EQ(speed.reporter.enabled, 1);
  EXPECT_EQ(speed.sim.stats().marker_commands.at(4), 5);

  Rig busy(1, {SimFault(FaultKind::kBusy, 4, 1, 0)});
  EXPECT_EQ(ConnectForDownload(busy.link), rc::kBusy);
  EXPECT_EQ(busy.reporter.messages, Msgs{err::kDataErrorRestart});

  Rig id(4, {SimFault(FaultKind::kSilence, 2, 1, 0)});
  EXPECT_EQ(ConnectForDownload(id.link), rc::kTimeout);
  EXPECT_EQ(id.sim.stats().marker_commands.at(2), 20);
  EXPECT_EQ(id.reporter.messages, Msgs{err::kCannotAccessCamera});

  Rig blocks(2, {SimFault(FaultKind::kSilence, 30, 1, 0)});
  ASSERT_EQ(ConnectForDownload(blocks.link), rc::kOk);
  EXPECT_EQ(FetchSequencedPicture(blocks, 1), rc::kTimeout);
  EXPECT_EQ(blocks.sim.stats().sequenced_commands.at(30), 20);
  EXPECT_TRUE(blocks.reporter.messages.empty());  // the download flow shows message 3
}

TEST(LinkCamsimTest, LineFaultsAreRetriedThrough) {
  for (int type : {1, 2, 4}) {
    LineOptions noisy;
    noisy.seed = 7 + type;
    cam::Fault corrupt;
    corrupt.kind = cam::FaultKind::kCorrupt;
    corrupt.probability = 0.0005;
    cam::Fault drop;
    drop.kind = cam::FaultKind::kDrop;
    drop.probability = 0.0002;
    noisy.to_program = {corrupt, drop};
    Rig r(type, {}, noisy);
    // The commands before the pictures may meet a fault too; try the
    // connection again as the user would.
    int code = rc::kTimeout;
    for (int attempt = 0; attempt < 3 && code != rc::kOk; ++attempt) {
      r.link.port.Close();
      ASSERT_EQ(OpenPort(r.link), rc::kOk);
      code = ConnectForDownload(r.link);
    }
    ASSERT_EQ(code, rc::kOk) << type;
    const auto& entries = r.Folder().entries;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].movie) continue;
      if (type == 1) {
        ASSERT_EQ(FetchMarkerPicture(r, static_cast<int>(i) + 1), rc::kOk);
      } else if (type == 2) {
        ASSERT_EQ(FetchSequencedPicture(r, static_cast<int>(i) + 1), rc::kOk);
      } else {
        ASSERT_EQ(SequencedPictureSizeOf(r.link, r.Folder().number, entries[i].file), rc::kOk);
        ASSERT_EQ(AllocatePicture(r.link), rc::kOk);
        ASSERT_EQ(FetchBlocksSequenced(r.link, BlockTarget::kPicture), rc::kOk);
      }
      // Marker blocks carry no checksum: a corrupted byte goes unnoticed
      // there, a dropped one costs a time-out and a retry.
      if (type != 1) {
        EXPECT_EQ(Received(r.link), entries[i].data) << type << " " << i;
      }
    }
  }
}

TEST(LinkCamsimTest, EmulatedRateAndEmptyLastBlock) {
  LineOptions timed;
  timed.emulate_rate = true;
  Rig r(1, {SimFault(camsim::FaultKind::kEmptyLastBlock, 30, 1, 0)}, timed);
  r.link.speed_code = speed_code::k115200;
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.line.speed(), 115200u);
  ASSERT_EQ(FetchMarkerPicture(r, 1), rc::kOk);
  EXPECT_TRUE(r.link.last_block_empty);
}

// Size and deletion commands of a type-2 camera carry the picture number in
// one byte: a picture beyond 255 is refused with a message instead of
// reaching the picture whose number the byte wraps to. Thumbnails carry four
// bytes and stay available.
TEST(LinkCamsimTest, TypeTwoPictureNumbersBeyondOneByteAreRefusedNotWrapped) {
  camsim::CameraContent content;
  camsim::StoredFolder folder;
  for (int i = 1; i <= 300; ++i) {
    camsim::StoredEntry e;
    e.file = i;
    e.data = camsim::MakeDemoPicture(16, 16, i);
    e.mode = camsim::ModeForSize(e.data.size());
    folder.entries.push_back(std::move(e));
  }
  content.media[0].folders.push_back(std::move(folder));
  Rig r(2, std::move(content));
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  ASSERT_EQ(r.link.picture_count, 300);
  const auto& entries = r.Folder().entries;
  ASSERT_EQ(FetchSequencedPicture(r, 255), rc::kOk);
  EXPECT_EQ(Received(r.link), entries[254].data);
  const int sizes_asked = r.sim.stats().sequenced_commands.at(26);

  EXPECT_EQ(SequencedPictureSize(r.link, 257), rc::kListReported);
  EXPECT_EQ(SequencedDelete(r.link, 257), rc::kListReported);
  EXPECT_EQ(r.sim.stats().sequenced_commands.at(26), sizes_asked);  // nothing went out
  EXPECT_EQ(r.sim.stats().sequenced_commands.count(17), 0u);
  EXPECT_EQ(r.Folder().entries.size(), 300u);
  EXPECT_EQ(r.reporter.messages, (Msgs{err::kCommandCannotExecute, err::kCommandCannotExecute}));

  ASSERT_EQ(SequencedThumbnailSize(r.link, 257), rc::kOk);
  ASSERT_EQ(AllocatePicture(r.link), rc::kOk);
  ASSERT_EQ(FetchBlocksSequenced(r.link, BlockTarget::kThumbnail), rc::kOk);
  EXPECT_EQ(Received(r.link), camsim::MakeThumbnail(entries[256].data));
  EXPECT_NE(Received(r.link), camsim::MakeThumbnail(entries[0].data));
}

// A reply that fails its checks counts as no reply: the command goes again,
// and "Data error has occurred." is shown only when the last attempt fails.
TEST(LinkCamsimTest, RepliesFailingTheirChecksCostARetry) {
  using camsim::FaultKind;
  Rig r(2, {SimFault(FaultKind::kChecksum, 7), SimFault(FaultKind::kChecksum, 26),
            SimFault(FaultKind::kChecksum, 22)});
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.link.picture_count, static_cast<int>(r.Folder().entries.size()));
  ASSERT_EQ(FetchSequencedPicture(r, 1), rc::kOk);
  EXPECT_EQ(Received(r.link), r.Folder().entries[0].data);
  EXPECT_EQ(SequencedThumbnailSize(r.link, 2), rc::kOk);
  EXPECT_EQ(r.sim.stats().sequenced_commands.at(7), 2);
  EXPECT_EQ(r.sim.stats().sequenced_commands.at(26), 2);
  EXPECT_TRUE(r.reporter.messages.empty());

  Rig all(2, {SimFault(FaultKind::kChecksum, 26, 1, 0)});
  ASSERT_EQ(ConnectForDownload(all.link), rc::kOk);
  EXPECT_EQ(SequencedPictureSize(all.link, 1), rc::kBadHeader);
  EXPECT_EQ(all.sim.stats().sequenced_commands.at(26), 20);
  EXPECT_EQ(all.reporter.messages, Msgs{err::kDataError});
}

// Noise before a marker reply is skipped up to the marker text; and when
// the speed command's acknowledgement comes garbled, the camera (which has
// already changed speed) is looked for at the new speed before the command
// is sent again at 9600 bit/s.
TEST(LinkCamsimTest, MarkerRepliesResynchroniseAndAGarbledSpeedAckIsCheckedAtTheNewSpeed) {
  using camsim::FaultKind;
  for (int type : {1, 2}) {
    CommandFault noise = SimFault(FaultKind::kNoise, type == 1 ? -1 : 4, 1, type == 1 ? 0 : 1);
    noise.noise_bytes = 3;
    CommandFault id_noise = SimFault(FaultKind::kNoise, 2);
    id_noise.noise_bytes = 13;
    Rig r(type, {noise, id_noise});
    ASSERT_EQ(ConnectForDownload(r.link), rc::kOk) << type;
    EXPECT_EQ(r.sim.stats().marker_commands.at(4), 1);
    if (type == 1) {
      ASSERT_EQ(FetchMarkerPicture(r, 2), rc::kOk);
      EXPECT_EQ(Received(r.link), r.Folder().entries[1].data);
    }
    EXPECT_TRUE(r.reporter.messages.empty()) << type;
  }
  // The acknowledgement's last byte lost, or its marker text damaged.
  for (auto [kind, at] : {std::pair{cam::FaultKind::kDrop, 17}, {cam::FaultKind::kCorrupt, 4}}) {
    LineOptions line;
    cam::Fault fault;
    fault.kind = kind;
    fault.at_byte = static_cast<uint64_t>(at);
    line.to_program = {fault};
    Rig r(2, {}, line);
    r.link.speed_code = speed_code::k38400;
    uint64_t start = r.clock.NowMillis();
    ASSERT_EQ(ConnectForDownload(r.link), rc::kOk) << at;
    EXPECT_LT(r.clock.NowMillis() - start, 12000u);
    EXPECT_EQ(r.sim.stats().marker_commands.at(4), 1);
    EXPECT_EQ(r.sim.camera_speed(), 38400u);
    EXPECT_EQ(r.line.speed(), 38400u);
    EXPECT_TRUE(r.reporter.messages.empty());
    ASSERT_EQ(FetchSequencedPicture(r, 1), rc::kOk);
  }
}

// The type probe of the setup connection has one attempt; when it fails,
// the user is told, as for any command whose attempts are used up.
TEST(LinkCamsimTest, FailedTypeProbeEndsSetupWithAMessage) {
  using camsim::FaultKind;
  Rig silent(2, {SimFault(FaultKind::kSilence, 56)});
  EXPECT_EQ(ConnectForSetup(silent.link), rc::kTimeout);
  EXPECT_EQ(silent.sim.stats().sequenced_commands.at(56), 1);
  EXPECT_EQ(silent.reporter.messages, Msgs{err::kCannotAccessCamera});

  Rig damaged(3, {SimFault(FaultKind::kChecksum, 56)});
  EXPECT_NE(ConnectForSetup(damaged.link), rc::kOk);
  EXPECT_EQ(damaged.sim.stats().sequenced_commands.at(56), 1);
  EXPECT_EQ(damaged.reporter.messages, Msgs{err::kCannotAccessCamera});
}

}  // namespace
}  // namespace fq::cam
