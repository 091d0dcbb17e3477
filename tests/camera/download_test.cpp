// The download loops against the camera simulator on the in-memory line:
// what lands in the transfer folder for each camera family, the albums it is
// filed into, the cancel questions, movies, the repair of a picture whose
// last block never came, and a long run under seeded line faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <cstdio>

#include "base/cancel_flag.h"
#include "base/file_io.h"
#include "camera/block_loops.h"
#include "camera/camera_folders.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/download.h"
#include "camera/link_codes.h"
#include "camera/scripted_camera.h"
#include "camera/transfer_folder.h"
#include "camsim/camera_simulator.h"
#include "camsim/camsim_rig.h"
#include "camsim/sim_jpeg.h"
#include "camera/memory_list.h"
#include "image/exif.h"
#include "image/jpeg_file.h"
#include "show/movie_file.h"
#include "support/faulty_file_system.h"
#include "support/scratch_dir.h"

namespace fq::cam {
namespace {

using camsim::CameraContent;
using camsim::CommandFault;
using camsim::FaultKind;
using camsim::SimOptions;
using camsim::StoredEntry;
using camsim::StoredFolder;
using testing_support::ScratchDir;
using V = std::vector<uint8_t>;

// Everything the user would have seen and answered.
class TestView final : public DownloadView {
 public:
  bool OpenProgress() override {
    ++progress_opened;
    return true;
  }
  void CloseProgress() override { ++progress_closed; }
  void SetLines(std::string_view, std::string_view detail) override {
    if (detail.empty()) return;
    details.emplace_back(detail);
    // The user presses Cancel while this picture comes.
    if (cancel_during == static_cast<int>(details.size())) SetCancelRequested(true);
  }
  void SetMeter(int, int) override {}
  void OfferCancel(bool more) override { offers.push_back(more); }
  bool AskYes(int question) override {
    questions.push_back(question);
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowText(std::string_view text) override { texts.emplace_back(text); }
  void MovieMessage(bool on) override { movie_messages.push_back(on); }
  bool NewAlbum() override {
    ++new_albums;
    albums.emplace_back();
    return true;
  }
  bool AddToAlbum(const std::string& path, bool) override {
    if (refuse_album) return false;
    if (albums.empty()) albums.emplace_back();  // the album of an earlier batch
    albums.back().push_back(path);
    return true;
  }
  Status WriteMovie(std::span<const std::string> parts, uint8_t rate_mode,
                    const std::string& target) override {
    if (refuse_movie) return Failure{err::kCreatingBitmap};
    auto frames = show::LoadMovieFrames(parts);
    if (!frames) return frames.failure();
    return show::WritePlainMovie(target, *frames, show::MovieFrameRate(rate_mode));
  }
  void Saved(const std::string& path, const TransferItem& item) override {
    saved.emplace_back(path, item.number);
  }

  int progress_opened = 0, progress_closed = 0;
  std::vector<std::string> details;
  int cancel_during = 0;  // 1-based picture of the batch
  std::vector<bool> offers;
  std::deque<bool> answers;
  std::vector<int> questions;
  std::vector<std::string> texts;
  std::vector<bool> movie_messages;
  int new_albums = 0;
  std::vector<std::vector<std::string>> albums;
  bool refuse_album = false;
  bool refuse_movie = false;
  std::vector<std::pair<std::string, int>> saved;
};

struct Rig {
  Rig(int type, CameraContent content, std::vector<CommandFault> faults = {},
      LineOptions line_options = {})
      : sim(Options(type, std::move(faults)), std::move(content)),
        line(clock, sim, std::move(line_options)),
        link(line.port(), clock, pump, reporter) {
    link.port_name = "COM1";
    link.speed_code = speed_code::k115200;
    EXPECT_EQ(OpenPort(link), rc::kOk);
  }
  static SimOptions Options(int type, std::vector<CommandFault> faults) {
    SimOptions o;
    o.type = type;
    o.faults = std::move(faults);
    return o;
  }
  int Download(std::vector<TransferItem> items) {
    job.folder = dir.path().string();
    job.counter = *CheckNumberSpace(job.folder, static_cast<int>(items.size()));
    job.items = std::move(items);
    job.filing = &filing;
    return DownloadSelected(link, job, view);
  }
  const camsim::StoredFolder& Folder(int medium = 0, size_t i = 0) {
    return sim.content().media[medium].folders[i];
  }
  FakeClock clock;
  camsim::CameraSimulator sim;
  MemoryLine line;
  testing::RecordingReporter reporter;
  testing::FakePump pump;
  CameraLink link;
  ScratchDir dir;
  DownloadJob job;
  AlbumFiling filing;
  TestView view;
};

V ReadFile(const std::string& path) {
  auto r = io::ReadWholeFile(path);
  return r ? *r : V{};
}

std::vector<TransferItem> Numbers(int first, int last) {
  std::vector<TransferItem> items;
  for (int n = first; n <= last; ++n) items.push_back({n});
  return items;
}

// Names in the folder, sorted.
std::vector<std::string> Files(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

CommandFault Fault(FaultKind kind, int command, uint32_t at = 1, uint32_t count = 1) {
  CommandFault f;
  f.kind = kind;
  f.command = command;
  f.at = at;
  f.count = count;
  return f;
}

TEST(DownloadTest, TypeOneSavesAsReceivedFromTheNextNumberAndCancelKeepsThePicture) {
  Rig r(1, camsim::DemoContent(1));
  std::ofstream(r.dir / "DSC0005.jpg") << "older";
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  r.view.cancel_during = 2;
  r.view.answers = {true};  // "Cancel image transfer?" Yes
  EXPECT_EQ(r.Download(Numbers(1, 4)), rc::kOk);
  EXPECT_EQ(r.view.questions, std::vector<int>{ask::kCancelTransfer});
  EXPECT_EQ(Files(r.dir.path()), (std::vector<std::string>{"DSC0005.jpg", "DSC0006.jpg", "DSC0007.jpg"}));
  EXPECT_EQ(ReadFile(r.dir / "DSC0006.jpg"), r.Folder().entries[0].data);
  EXPECT_EQ(ReadFile(r.dir / "DSC0007.jpg"), r.Folder().entries[1].data);  // kept although cancelled
  ASSERT_EQ(r.view.albums.size(), 1u);
  EXPECT_EQ(r.view.albums[0].size(), 2u);
  EXPECT_EQ(r.view.details[0], "Image No.1 ( 1 / 4 )");
  EXPECT_EQ(r.view.progress_opened, 1);
  EXPECT_EQ(r.view.progress_closed, 1);
  EXPECT_TRUE(r.reporter.messages.empty());

  // Answering No goes on to the end; the album is the same one.
  r.view = TestView{};
  r.view.cancel_during = 1;
  r.view.answers = {false};
  EXPECT_EQ(r.Download(Numbers(3, 4)), rc::kOk);
  EXPECT_EQ(ReadFile(r.dir / "DSC0008.jpg"), r.Folder().entries[2].data);
  EXPECT_EQ(ReadFile(r.dir / "DSC0009.jpg"), r.Folder().entries[3].data);
  EXPECT_EQ(r.view.new_albums, 0);  // the filing goes on into the open album
  // Cancel is offered for every picture but the last.
  EXPECT_EQ(r.view.offers.back(), false);
}

TEST(DownloadTest, TypeOneAlbumRefusedAsksWhetherToGoOnWithoutAlbums) {
  Rig r(1, camsim::DemoContent(1));
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  r.view.refuse_album = true;
  r.view.answers = {false};  // No: the file just written goes and the batch ends
  EXPECT_EQ(r.Download(Numbers(1, 2)), rc::kListReported);
  EXPECT_EQ(r.view.questions, std::vector<int>{ask::kTransferOnlyImages});
  EXPECT_TRUE(Files(r.dir.path()).empty());

  r.view = TestView{};
  r.view.refuse_album = true;
  r.view.answers = {true};  // Yes: pictures only, no further question
  r.filing.new_album = true;
  EXPECT_EQ(r.Download(Numbers(1, 3)), rc::kOk);
  EXPECT_EQ(r.view.questions.size(), 1u);
  EXPECT_EQ(Files(r.dir.path()).size(), 3u);
}

TEST(DownloadTest, TypeOneLastBlockEmptyOnceIsFetchedAgain) {
  Rig r(1, camsim::DemoContent(1), {Fault(FaultKind::kEmptyLastBlock, 30, 1, 1)});
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.Download(Numbers(2, 2)), rc::kOk);
  EXPECT_EQ(ReadFile(r.dir / "DSC0001.jpg"), r.Folder().entries[1].data);
  EXPECT_TRUE(r.view.texts.empty());
}

TEST(DownloadTest, TypeOneLastBlockThatStaysEmptyIsRepairedUnderTheDscName) {
  Rig r(1, camsim::DemoContent(1), {Fault(FaultKind::kEmptyLastBlock, 30, 1, 0)});
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.Download(Numbers(1, 1)), rc::kOk);
  EXPECT_EQ(r.view.texts, std::vector<std::string>{std::string(kRepairedText)});
  EXPECT_EQ(Files(r.dir.path()), std::vector<std::string>{"DSC0001.jpg"});  // no copy left over
  auto picture = LoadJpeg(r.dir / "DSC0001.jpg");
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(ImageWidth(picture->record), 320);
  EXPECT_EQ(ImageHeight(picture->record), 240);
  EXPECT_NE(ReadFile(r.dir / "DSC0001.jpg"), r.Folder().entries[0].data);
  ASSERT_EQ(r.view.albums.size(), 1u);
  EXPECT_EQ(r.view.albums[0].size(), 1u);
}

TEST(DownloadTest, TypeTwoHundredAndFiftyPicturesFillTwoAlbumsAndCancelDropsThePicture) {
  std::vector<V> pictures;
  for (int i = 0; i < 150; ++i) pictures.push_back(camsim::test::FakePicture(300 + 37 * i, static_cast<uint8_t>(i)));
  Rig r(2, camsim::test::FlatContent(pictures));
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.Download(Numbers(1, 150)), rc::kOk);
  ASSERT_EQ(r.view.albums.size(), 2u);
  EXPECT_EQ(r.view.new_albums, 2);
  EXPECT_EQ(r.view.albums[0].size(), 100u);
  EXPECT_EQ(r.view.albums[1].size(), 50u);
  for (int i = 0; i < 150; i += 7) {
    EXPECT_EQ(ReadFile(r.dir / DscName(i + 1, ".jpg")), pictures[static_cast<size_t>(i)]) << i;
  }

  // A new list: cancelled during the third picture, Yes drops that picture.
  r.filing = AlbumFiling{};
  r.view = TestView{};
  r.view.cancel_during = 3;
  r.view.answers = {true};
  EXPECT_EQ(r.Download(Numbers(10, 20)), rc::kOk);
  EXPECT_EQ(r.view.saved.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(r.dir / "DSC0153.jpg"));
  EXPECT_EQ(ReadFile(r.dir / "DSC0152.jpg"), pictures[10]);
}

TEST(DownloadTest, TypeTwoZeroSizeStopsWithTheNotice) {
  std::vector<V> pictures = {camsim::test::FakePicture(2048, 1), V{}, camsim::test::FakePicture(2049, 3)};
  Rig r(2, camsim::test::FlatContent(pictures));
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  EXPECT_EQ(r.Download(Numbers(1, 3)), rc::kListReported);
  EXPECT_EQ(r.view.texts, std::vector<std::string>{std::string(kStopTransferText)});
  EXPECT_EQ(ReadFile(r.dir / "DSC0001.jpg"), pictures[0]);  // 2048 bytes: two blocks, one file
  EXPECT_EQ(Files(r.dir.path()).size(), 1u);
}

TEST(DownloadTest, TypeFourStillsAndAMovieAssembledFromItsParts) {
  ScratchDir temp;
  testing_support::FaultyFileSystem fs;
  fs.temp_folder = temp.path().string() + "/";
  testing_support::ScopedFileSystem use(fs);
  Rig r(4, camsim::DemoContent(4));
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  CameraMedia media;
  ASSERT_EQ(ReadMedia(r.link, media), rc::kOk);
  ASSERT_EQ(ReadFolderList(r.link, media), rc::kOk);
  ASSERT_EQ(media.folders.size(), 2u);
  std::vector<TransferItem> items;
  for (CameraFolder& f : media.folders) {
    ASSERT_EQ(OpenFolder(r.link, f), rc::kOk);
    for (size_t i = 0; i < f.files.size(); ++i) items.push_back({static_cast<int>(i) + 1, f.number, f.files[i]});
  }
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(r.Download(items), rc::kOk);
  EXPECT_EQ(Files(r.dir.path()), (std::vector<std::string>{"DSC0001.jpg", "DSC0002.jpg", "DSC0003.jpg",
                                                           "DSC0004.jpg", "DSC0005.avi"}));
  EXPECT_EQ(ReadFile(r.dir / "DSC0004.jpg"), r.Folder(0, 1).entries[0].data);
  EXPECT_EQ(r.view.movie_messages, (std::vector<bool>{true, false}));
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));  // the parts went again
  // The movie: four frames of 160 × 120 at 10 per second, frame 2 as decoded.
  const V avi = ReadFile(r.dir / "DSC0005.avi");
  ASSERT_GT(avi.size(), 200u);
  EXPECT_EQ(std::string(avi.begin() + 8, avi.begin() + 12), "AVI ");
  EXPECT_EQ(GetU32(avi.data() + 48), 4u);    // total frames
  EXPECT_EQ(GetU32(avi.data() + 64), 160u);  // width
  const auto& movie = r.Folder(0, 1).entries[1];
  auto frame2 = JpegToBitmapBytes(movie.frames[1]);
  ASSERT_TRUE(frame2.ok());
  const size_t frame_bytes = 160 * 3 * 120;
  const V pixels(frame2->end() - static_cast<std::ptrdiff_t>(frame_bytes), frame2->end());
  EXPECT_NE(std::search(avi.begin(), avi.end(), pixels.begin(), pixels.end()), avi.end());
  ASSERT_EQ(r.view.albums.size(), 1u);
  EXPECT_EQ(r.view.albums[0].back(), r.dir / "DSC0005.avi");
  EXPECT_TRUE(r.reporter.messages.empty());

  // A movie that cannot be made (the compressor choice cancelled): no DSC
  // file, no album entry, the parts removed, the stop notice.
  r.view = TestView{};
  r.view.refuse_movie = true;
  EXPECT_EQ(r.Download({items[4]}), rc::kListReported);
  EXPECT_EQ(r.view.texts, std::vector<std::string>{std::string(kStopTransferText)});
  EXPECT_FALSE(std::filesystem::exists(r.dir / "DSC0006.avi"));
  EXPECT_EQ(Files(r.dir.path()).size(), 5u);
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  EXPECT_TRUE(r.view.albums.empty() || r.view.albums[0].empty());
}

TEST(DownloadTest, MovieDescriptionsWithMisplacedTagsOrAbsurdPartCountsAreRefused) {
  V d(20, 0);
  d[0] = 1;
  d[6] = 3;
  d[15] = 4;
  d[16] = 1;
  d[17] = 5;
  d[18] = 4;
  auto ok = ParseMovieDescription(d);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->rate_mode, 1);
  EXPECT_EQ(ok->parts, 4);
  EXPECT_EQ(show::MovieFrameRate(ok->rate_mode), 8u);
  V moved = d;
  moved[15] = 0;
  moved[14] = 4;
  EXPECT_FALSE(ParseMovieDescription(moved));
  V many = d;
  PutU16(many.data() + 18, 1000);
  EXPECT_FALSE(ParseMovieDescription(many));
  PutU16(many.data() + 18, 0);
  EXPECT_FALSE(ParseMovieDescription(many));
}


// The grid's road for thumbnails against the simulator: a picture whose
// Exif segment holds its date gives a decoded thumbnail with that date; a
// picture the camera cannot make a thumbnail of gives an empty entry, not a
// failure; a page already in the cache does not ask the camera again.
TEST(DownloadTest, ThumbnailsCarryTheDateAndACachedPageAsksNothing) {
  CameraContent content;
  StoredFolder folder;
  StoredEntry dated;
  dated.file = 1;
  dated.data = camsim::MakeDemoPicture(320, 240, 1);
  auto exif = BuildExifSegment(320, 240, {}, ExifDateTime{2003, 7, 14, 9, 30, 0});
  ASSERT_TRUE(exif.ok());
  dated.data.insert(dated.data.begin() + 2, exif->begin(), exif->end());
  StoredEntry broken;
  broken.file = 2;
  broken.data = V(3000, 0x55);
  folder.entries = {dated, broken};
  content.media[0].folders.push_back(folder);
  Rig r(2, content);
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  ThumbnailCache cache;
  const int numbers[] = {1, 2};
  int asked = 0;
  auto fetch = [&](int number, Thumbnail& t) {
    ++asked;
    return FetchThumbnail(r.link, number, 0, 0, t);
  };
  ASSERT_EQ(FillPage(cache, numbers, fetch), 0);
  EXPECT_EQ(asked, 2);
  const CachedThumbnail* first = cache.Find(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->date, (ThumbnailDate{2003, 7, 14}));
  EXPECT_FALSE(first->picture.empty());
  const CachedThumbnail* second = cache.Find(2);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->picture.empty());
  EXPECT_TRUE(second->date.none());
  const int thumbnail_sizes = r.sim.stats().sequenced_commands.at(22);
  ASSERT_EQ(FillPage(cache, numbers, fetch), 0);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(r.sim.stats().sequenced_commands.at(22), thumbnail_sizes);
  EXPECT_TRUE(r.reporter.messages.empty());
}

// A thousand transfers through a line that drops, corrupts, duplicates and
// delays bytes (marker frames carry no checksum: the type-1 runs meet only
// drops and delays, which its frames do detect). Every file kept equals the
// camera's picture; a batch that ends early has shown its message and keeps
// exactly the pictures before the failure; nothing is left half-written;
// no command waits past its deadline (the fake clock stays within 20
// attempts of 10 s per block of what was asked).
TEST(DownloadTest, ThousandTransfersUnderSeededLineFaults) {
  constexpr int kPictures = 25;
  int transfers = 0, kept = 0, failed_batches = 0, blocks = 0, block_requests = 0;
  for (int type : {1, 2, 4}) {
    for (int round = 0; round < 14; ++round) {
      std::mt19937 random(static_cast<uint32_t>(1000 * type + round));
      CameraContent content;
      StoredFolder folder;
      folder.number = 100;
      for (int i = 0; i < kPictures; ++i) {
        StoredEntry e;
        e.file = i + 1;
        e.data.resize(1 + random() % 6000);
        for (auto& b : e.data) b = static_cast<uint8_t>(random());
        folder.entries.push_back(std::move(e));
      }
      content.media[0].folders.push_back(folder);
      LineOptions noisy;
      noisy.seed = static_cast<uint32_t>(77 * type + round);
      auto fault = [](cam::FaultKind kind, double p) {
        cam::Fault f;
        f.kind = kind;
        f.probability = p;
        f.delay_micros = 30000;
        return f;
      };
      // About one block in ten meets a fault. The frames' 8-bit sum finds
      // any one fault in a frame; two in the same frame could cancel out
      // (one time in 256), which these rates make rare enough for the seeds
      // used here never to meet it.
      noisy.to_program = {fault(cam::FaultKind::kDrop, 0.00003), fault(cam::FaultKind::kDelay, 0.00003)};
      noisy.to_device = {fault(cam::FaultKind::kDrop, 0.0005)};
      if (type != 1) {
        noisy.to_program.push_back(fault(cam::FaultKind::kCorrupt, 0.00003));
        noisy.to_program.push_back(fault(cam::FaultKind::kDuplicate, 0.00003));
        noisy.to_device.push_back(fault(cam::FaultKind::kCorrupt, 0.0005));
      }
      Rig r(type, content, {}, noisy);
      int code = rc::kTimeout;
      for (int attempt = 0; attempt < 3 && code != rc::kOk; ++attempt) {
        r.link.port.Close();
        ASSERT_EQ(OpenPort(r.link), rc::kOk);
        code = ConnectForDownload(r.link);
      }
      if (code != rc::kOk) continue;  // the user would try again; nothing was asked yet
      std::vector<TransferItem> items;
      for (int i = 0; i < kPictures; ++i) items.push_back({i + 1, 100, i + 1});
      r.reporter.messages.clear();
      const uint64_t start = r.clock.NowMicros();
      const int result = r.Download(items);
      transfers += kPictures;
      for (int i = 0; i < kPictures; ++i) blocks += static_cast<int>((folder.entries[i].data.size() + 1023) / 1024);
      const auto& st = r.sim.stats();
      const auto& counts = type == 1 ? st.marker_commands : st.sequenced_commands;
      if (counts.count(30)) block_requests += counts.at(30);
      const auto files = Files(r.dir.path());
      kept += static_cast<int>(files.size());
      for (size_t i = 0; i < files.size(); ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "DSC%04d.jpg", static_cast<int>(i) + 1);
        ASSERT_EQ(files[i], name) << type << "/" << round;
        const V got = ReadFile(r.dir / name);
        const V& want = folder.entries[i].data;
        size_t at = 0;
        while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
        ASSERT_TRUE(got == want) << type << "/" << round << " " << name << ": " << got.size() << " bytes for "
                                 << want.size() << ", first difference at " << at;
      }
      if (result == rc::kOk) {
        EXPECT_EQ(files.size(), size_t{kPictures}) << type << "/" << round;
      } else {
        ++failed_batches;
        EXPECT_LT(files.size(), size_t{kPictures});
        EXPECT_FALSE(r.reporter.messages.empty() && r.view.texts.empty())
            << type << "/" << round << ": a batch ended with code " << result << " and said nothing";
      }
      // 4 blocks at most per picture and the size request, 20 attempts each.
      const uint64_t limit = uint64_t{10'000'000} * 20 * 5 * kPictures;
      EXPECT_LE(r.clock.NowMicros() - start, limit);
    }
  }
  std::printf("transfers %d, kept %d, batches ended by a fault %d; %d blocks asked %d times\n", transfers,
              kept, failed_batches, blocks, block_requests);
  EXPECT_GE(transfers, 1000);
  EXPECT_GT(block_requests, blocks + blocks / 50);  // the faults did cost retries
  EXPECT_GT(kept, transfers * 9 / 10);
}

}  // namespace
}  // namespace fq::cam
