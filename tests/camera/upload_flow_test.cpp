// Data out to the camera: the acceptance verdict by camera type, and the
// whole command against the simulated camera on the in-memory line (which
// refuses, as a camera would, any picture it cannot hold), with re-encoding,
// refusals, faults, cancel and a full memory.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/cancel_flag.h"
#include "base/ini_file.h"
#include "base/messages.h"
#include "base/settings.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/sim_rig.h"
#include "camera/upload.h"
#include "image/exif.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_test_util.h"
#include "support/scratch_dir.h"

namespace fq::cam {
namespace {

using testing::SimOf;
using testing::SimRig;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// A picture with `grain` of noise over a gradient (more grain, larger
// files at the same quality).
Bytes Picture(int w, int h, int h0, int v0, int quality, int grain = 0,
              J_COLOR_SPACE space = JCS_RGB) {
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = w;
  c.image_height = h;
  c.in_color_space = space;
  c.input_components = space == JCS_CMYK ? 4 : space == JCS_GRAYSCALE ? 1 : 3;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (space == JCS_RGB) {
    c.comp_info[0].h_samp_factor = h0;
    c.comp_info[0].v_samp_factor = v0;
  }
  jpeg_start_compress(&c, TRUE);
  std::mt19937 rng(7);
  std::vector<uint8_t> row(static_cast<size_t>(w) * c.input_components);
  while (c.next_scanline < c.image_height) {
    const int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < c.input_components; ++k) {
        int v = fq::testing::Sample(x, y, k) + (grain ? static_cast<int>(rng() % grain) : 0);
        row[static_cast<size_t>(x) * c.input_components + k] = static_cast<uint8_t>(v & 0xFF);
      }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes out(mem, mem + size);
  free(mem);
  return out;
}

std::string Write(const testing_support::ScratchDir& dir, const std::string& name, const Bytes& b) {
  std::string path = dir / name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                              static_cast<std::streamsize>(b.size()));
  return path;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The temporary folder of the process, private to one test: whatever the
// upload leaves there is seen.
class PrivateTemp {
 public:
  PrivateTemp() {
    const char* old = std::getenv("TMPDIR");
    if (old) old_ = old, had_ = true;
    fs::create_directories(dir_.path() / "tmp");
    setenv("TMPDIR", (dir_.path() / "tmp").c_str(), 1);
  }
  ~PrivateTemp() {
    if (had_) setenv("TMPDIR", old_.c_str(), 1);
    else unsetenv("TMPDIR");
  }
  // Temporary files of the program left behind.
  size_t Left() const {
    size_t n = 0;
    for (auto& e : fs::directory_iterator(dir_.path() / "tmp"))
      if (e.path().filename().string().rfind("ORX", 0) == 0) ++n;
    return n;
  }

 private:
  testing_support::ScratchDir dir_;
  std::string old_;
  bool had_ = false;
};

class RecordingUi final : public UploadUi {
 public:
  void ConnectionStatus(bool on) override { status.push_back(on); }
  void Refused(const UploadFile& f, Refusal why) override {
    refused.push_back(BaseName(f.path));
    refusals.push_back(why);
  }
  void Progress(bool on) override { progress.push_back(on); }
  void Lines(std::string_view op, std::string_view detail) override {
    lines.push_back(std::string(op) + " | " + std::string(detail));
  }
  UploadMeter& Meter() override { return meter; }
  void SetMeterRange(int r) override { meter.SetRange(r); }
  void OfferCancel(bool more) override {
    offers.push_back(more);
    if (cancel_on_offer && offers.size() == static_cast<size_t>(cancel_on_offer))
      SetCancelRequested(true);
    if (!more) SetCancelRequested(false);
  }
  bool ConfirmCancel() override {
    ++asked;
    return confirm;
  }
  void Finished(const UploadFile& f) override { finished.push_back(f); }
  bool OpenMemoryList(CameraLink& link) override {
    list_opened_with = link.picture_count;
    return list_takes_connection;
  }

  SilentMeter meter;
  std::vector<bool> status, progress, offers;
  std::vector<std::string> refused, lines;
  std::vector<Refusal> refusals;
  std::vector<UploadFile> finished;
  int cancel_on_offer = 0;
  bool confirm = true;
  int asked = 0;
  int list_opened_with = -1;
  bool list_takes_connection = true;
};

std::vector<UploadFile> Files(std::initializer_list<std::string> paths) {
  std::vector<UploadFile> v(paths.size());
  size_t i = 0;
  for (const auto& p : paths) v[i++].path = p;
  return v;
}

int Connect(SimRig& r) {
  if (int c = OpenPort(r.link)) return c;
  return ConnectForUpload(r.link);
}

// The uploads the camera now holds, in order.
std::vector<Bytes> Uploaded(const SimRig& r) {
  std::vector<Bytes> out;
  for (const auto& m : r.sim.content().media)
    for (const auto& f : m.folders)
      for (const auto& e : f.entries)
        if (e.name.rfind("upload", 0) == 0) out.push_back(e.data);
  return out;
}

JpegFacts Facts(uint32_t w, uint32_t h, int lh, int lv, uint64_t size) {
  JpegFacts f;
  f.exists = f.is_jpeg = f.header_read = f.segments_read = true;
  f.size = size;
  f.width = w;
  f.height = h;
  f.luma_h = lh;
  f.luma_v = lv;
  f.components = 3;
  f.precision = 8;
  return f;
}

TEST(UploadRulesTest, TheTableOfEachCameraType) {
  struct Case {
    int type;
    JpegFacts facts;
    uint8_t attribute;
  };
  JpegFacts exif = Facts(1280, 960, 2, 2, 500000);
  exif.camera_exif = true;
  JpegFacts cmyk = Facts(640, 480, 2, 1, 30000);
  cmyk.components = 4;
  JpegFacts progressive = Facts(640, 480, 2, 1, 30000);
  progressive.progressive = true;
  const Case cases[] = {
      // Type 1: the file size decides the mode, and refuses.
      {1, Facts(320, 240, 4, 1, 21503), 0},
      {1, Facts(320, 240, 4, 1, 21504), kRefused},
      {1, Facts(640, 480, 4, 1, 21504), 1},
      {1, Facts(640, 480, 4, 1, 64511), 1},
      {1, Facts(640, 480, 4, 1, 64512), 2},
      {1, Facts(321, 240, 4, 1, 131072), 3},
      {1, Facts(640, 480, 4, 1, 262143), 3},
      {1, Facts(640, 480, 4, 1, 262144), kRefused},
      {1, Facts(640, 480, 2, 1, 40000), 1 | kReencode},
      {1, Facts(640, 481, 4, 1, 40000), kRefused},
      // Type 2: 2 x 1 only; larger than 320 x 240 is mode 1.
      {2, Facts(640, 480, 2, 1, 40000), 1},
      {2, Facts(320, 240, 2, 2, 40000), 0 | kReencode},
      {2, Facts(1600, 1200, 2, 1, 40000), kRefused},
      // Type 3 (found by the probe) takes large pictures and 2 x 2.
      {3, Facts(1600, 1200, 2, 2, 900000), 1},
      {3, Facts(512, 384, 1, 1, 9000), 0 | kReencode},
      {3, Facts(2561, 1920, 2, 1, 9000), kRefused},
      // Type 4: as is only with the camera's Exif segment.
      {4, Facts(1600, 1200, 2, 1, 40000), kRefused},
      {4, Facts(1280, 960, 2, 2, 500000), 1 | kReencode},
      {4, exif, 1},
      // Anything the camera cannot decode as it is goes through re-encoding.
      {2, cmyk, 1 | kReencode},
      {2, progressive, 1 | kReencode},
  };
  for (const Case& c : cases)
    EXPECT_EQ(JudgeForCamera(c.facts, c.type).attribute, c.attribute)
        << "type " << c.type << " " << c.facts.width << "x" << c.facts.height << " "
        << c.facts.luma_h << "x" << c.facts.luma_v << " " << c.facts.size;
  JpegFacts unreadable = Facts(640, 480, 2, 1, 3000);
  unreadable.segments_read = false;
  EXPECT_EQ(JudgeForCamera(unreadable, 4).refusal, Refusal::kSegmentsUnreadable);
  EXPECT_EQ(JudgeForCamera(unreadable, 2).attribute, 1);
}

TEST(UploadRulesTest, FilesThatAreNotWhatTheySeem) {
  testing_support::ScratchDir dir;
  Bytes good = Picture(320, 240, 2, 1, 80);
  Bytes truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  Bytes twelve_bit = good;  // the frame header says 12 bits
  for (size_t i = 0; i + 4 < twelve_bit.size(); ++i)
    if (twelve_bit[i] == 0xFF && twelve_bit[i + 1] == 0xC0) {
      twelve_bit[i + 4] = 12;
      break;
    }
  struct Case {
    std::string name;
    Bytes bytes;
    uint8_t attribute;
    Refusal why;
  };
  const Case cases[] = {
      {"with blanks in its name.jpg", good, 0, Refusal::kNone},
      {"empty.jpg", {}, kRefused, Refusal::kUnreadable},
      {"text.jpg", Bytes{'h', 'e', 'l', 'l', 'o'}, kRefused, Refusal::kNotJpeg},
      {"truncated.jpg", truncated, kRefused, Refusal::kNotJpeg},
      {"twelve.jpg", twelve_bit, kRefused, Refusal::kNotTransferable},
      {"cmyk.jpg", Picture(320, 240, 1, 1, 80, 0, JCS_CMYK), 0 | kReencode, Refusal::kNone},
      {"grey.jpg", Picture(320, 240, 1, 1, 80, 0, JCS_GRAYSCALE), 0 | kReencode, Refusal::kNone},
  };
  for (const Case& c : cases) {
    const Acceptance a = AcceptForCamera(Write(dir, c.name, c.bytes), 2);
    EXPECT_EQ(a.attribute, c.attribute) << c.name;
    EXPECT_EQ(a.refusal, c.why) << c.name;
  }
  EXPECT_EQ(AcceptForCamera(dir / "missing.jpg", 2).refusal, Refusal::kUnreadable);
  // A picture with the program's camera Exif segment goes to type 4 as it is.
  std::string plain = Write(dir, "plain.jpg", good);
  EXPECT_EQ(AcceptForCamera(plain, 4).attribute, 0 | kReencode);
  ASSERT_FALSE(AddExifToJpeg(plain, LocalNow()));
  EXPECT_EQ(AcceptForCamera(plain, 4).attribute, 0);
}

// Type 1: one file as it is, one re-encoded to fit its class, one refused;
// the camera checks what it gets.
TEST(UploadFlowTest, TypeOneSendsAsIsReencodesAndRefuses) {
  PrivateTemp temp;
  testing_support::ScratchDir dir;
  const Bytes as_is = Picture(640, 480, 4, 1, 60);
  const Bytes two_by_one = Picture(640, 480, 2, 1, 60);
  const Bytes too_big_small = Picture(320, 240, 4, 1, 60, 20);
  ASSERT_GT(too_big_small.size(), 21503u);
  ASSERT_GT(two_by_one.size(), 64512u);  // class 2: fitted into 102400..131072 or above the original
  ASSERT_LT(two_by_one.size(), 131072u);
  auto files = Files({Write(dir, "a.jpg", as_is), Write(dir, "b b.jpg", two_by_one),
                      Write(dir, "c.jpg", too_big_small)});
  SimRig r(SimOf(1), testing::NamedPictures(2));
  settings::IniFileStore store(dir / "Lumvex01.ini");
  RecordingUi ui;
  EXPECT_EQ(RunUpload(r.link, store, files, ui), rc::kOk);

  const auto uploaded = Uploaded(r);
  ASSERT_EQ(uploaded.size(), 2u);
  EXPECT_EQ(uploaded[0], as_is);
  EXPECT_EQ(ui.refused, std::vector<std::string>{"c.jpg"});
  EXPECT_EQ(files[2].state, UploadFile::State::kRefused);
  ASSERT_TRUE(files[1].reencoded);
  EXPECT_EQ(files[1].sampling_sent, "4x1");
  EXPECT_EQ(files[1].bytes_sent, uploaded[1].size());
  EXPECT_EQ(files[1].mode_sent, TypeOneMode(640, 480, uploaded[1].size()));
  EXPECT_EQ(r.Folder().entries.back().mode, files[1].mode_sent);
  EXPECT_LE(uploaded[1].size(), 262143u);
  EXPECT_EQ(r.Folder().entries[2].mode, TypeOneMode(640, 480, as_is.size()));  // its own class
  EXPECT_TRUE(r.LogWith("refused").empty());
  EXPECT_EQ(r.reporter.messages, std::vector<int>{});
  // Progress: re-encoding and sending lines with the file's name; Cancel
  // offered for the first of the two sent files only.
  EXPECT_NE(std::find(ui.lines.begin(), ui.lines.end(),
                      std::string(kReencodingText) + " | File Name: b b.jpg"),
            ui.lines.end());
  EXPECT_EQ(ui.offers, (std::vector<bool>{true, false}));
  EXPECT_EQ(r.sim.stats().sessions_ended, 1);
  EXPECT_FALSE(r.line.is_open());
  EXPECT_EQ(temp.Left(), 0u);
  EXPECT_EQ(settings::Read(store, settings::kBaudrate), 384);
}

// Types 2 and 4 with faults on the line and in the camera: the files arrive
// whole; the second block of a 2000-byte file is zero-padded.
TEST(UploadFlowTest, SequencedTypesSendBlocksThroughFaults) {
  PrivateTemp temp;
  testing_support::ScratchDir dir;
  const Bytes small = Picture(64, 48, 2, 1, 75, 8);
  ASSERT_GT(small.size(), 1024u);
  ASSERT_LT(small.size(), 2048u);
  const Bytes two_by_two = Picture(640, 480, 2, 2, 85);
  using camsim::FaultKind;
  SimRig r(SimOf(2, {testing::Fault(FaultKind::kBusy, 5, 2), testing::Fault(FaultKind::kNoise, 21),
                     testing::Fault(FaultKind::kChecksum, 5, 4)}),
           testing::NamedPictures(1));
  auto files = Files({Write(dir, "small.jpg", small), Write(dir, "square.jpg", two_by_two)});
  RecordingUi ui;
  ASSERT_EQ(Connect(r), rc::kOk);
  EXPECT_EQ(UploadFiles(r.link, files, ui), rc::kOk);
  const auto uploaded = Uploaded(r);
  ASSERT_EQ(uploaded.size(), 2u);
  EXPECT_EQ(uploaded[0], small);
  EXPECT_TRUE(files[1].reencoded);
  EXPECT_EQ(files[1].sampling_sent, "2x1");
  EXPECT_EQ(files[1].mode_sent, 1);
  EXPECT_EQ(r.sim.stats().faults_committed, 3);
  EXPECT_TRUE(r.reporter.messages.empty());

  // The second block of the small file on the line: the rest of the file,
  // then zeros.
  const auto& w = r.line.written();
  const size_t tail = small.size() - 1024;
  bool seen = false;
  for (size_t i = 0; i + 1030 <= w.size() && !seen; ++i) {
    if (w[i] == 1 && w[i + 1] == 1 && w[i + 2] == 0xFE && w[i + 3] == 5) {
      EXPECT_TRUE(std::equal(small.begin() + 1024, small.end(), w.begin() + static_cast<long>(i + 4)));
      EXPECT_TRUE(std::all_of(w.begin() + static_cast<long>(i + 4 + tail), w.begin() + static_cast<long>(i + 1028),
                              [](uint8_t b) { return b == 0; }));
      seen = true;
    }
  }
  EXPECT_TRUE(seen);
  EndConnection(r.link);
  EXPECT_EQ(temp.Left(), 0u);
}

TEST(UploadFlowTest, TypesThreeAndFourBySizeAndExif) {
  PrivateTemp temp;
  testing_support::ScratchDir dir;
  const std::string large = Write(dir, "large.jpg", Picture(1600, 1200, 2, 2, 50));
  const std::string plain = Write(dir, "plain.jpg", Picture(640, 480, 2, 1, 80));
  // Type 3 takes 1600 x 1200 with 2 x 2 as it is; type 4 refuses it and
  // re-encodes the plain file with its Exif segment.
  {
    SimRig r(3);
    auto files = Files({large});
    RecordingUi ui;
    ASSERT_EQ(Connect(r), rc::kOk);
    EXPECT_EQ(UploadFiles(r.link, files, ui), rc::kOk);
    EXPECT_EQ(r.link.camera_type, 2);  // type 3 lasts for the test only
    ASSERT_EQ(Uploaded(r).size(), 1u);
    EXPECT_EQ(Uploaded(r)[0], ReadAll(large));
  }
  SimRig r(4);
  auto files = Files({large, plain});
  RecordingUi ui;
  ASSERT_EQ(Connect(r), rc::kOk);
  EXPECT_EQ(UploadFiles(r.link, files, ui), rc::kOk);
  EXPECT_EQ(ui.refused, std::vector<std::string>{"large.jpg"});
  ASSERT_EQ(Uploaded(r).size(), 1u);
  testing_support::ScratchDir out;
  const std::string sent = Write(out, "sent.jpg", Uploaded(r)[0]);
  EXPECT_EQ(AcceptForCamera(sent, 4).attribute, 1);  // with the camera's Exif now
  EXPECT_EQ(files[1].sampling_sent, "2x1");
  EXPECT_EQ(temp.Left(), 0u);
}

TEST(UploadFlowTest, CancelAfterAFileAndConnectionRules) {
  testing_support::ScratchDir dir;
  const std::string a = Write(dir, "a.jpg", Picture(320, 240, 2, 1, 80));
  for (bool confirm : {true, false}) {
    SimRig r(2);
    auto files = Files({a, a, a});
    RecordingUi ui;
    ui.cancel_on_offer = 1;
    ui.confirm = confirm;
    ASSERT_EQ(Connect(r), rc::kOk);
    EXPECT_EQ(UploadFiles(r.link, files, ui), confirm ? rc::kUserCancelled : rc::kOk);
    EXPECT_EQ(ui.asked, 1);
    EXPECT_EQ(Uploaded(r).size(), confirm ? 1u : 3u);
    EXPECT_FALSE(CancelRequested());
  }
  // 57600 runs as 38400 for this connection and stays configured; a type-1
  // camera refuses 115200; 101 files stop before the port is opened.
  settings::IniFileStore store(dir / "Lumvex01.ini");
  settings::WriteSpeedCode(store, speed_code::k57600);
  {
    SimRig r(2);
    auto files = Files({a});
    RecordingUi ui;
    EXPECT_EQ(RunUpload(r.link, store, files, ui), rc::kOk);
    EXPECT_EQ(r.LogWith("speed 38400").size(), 1u);
    EXPECT_EQ(r.link.speed_code, speed_code::k57600);
  }
  settings::WriteSpeedCode(store, speed_code::k115200);
  {
    SimRig r(1);
    auto files = Files({a});
    RecordingUi ui;
    EXPECT_EQ(RunUpload(r.link, store, files, ui), rc::kSpeedNotAllowed);
    EXPECT_EQ(r.reporter.messages, std::vector<int>{err::kBaudrateTooHigh});
    EXPECT_EQ(r.sim.stats().sessions_ended, 1);  // the marker end command
    EXPECT_TRUE(Uploaded(r).empty());
  }
  {
    SimRig r(2);
    std::vector<UploadFile> many = Files({a});
    many.resize(101, many[0]);
    RecordingUi ui;
    EXPECT_EQ(RunUpload(r.link, store, many, ui), rc::kBadValue);
    EXPECT_EQ(r.reporter.messages, std::vector<int>{err::kFileNameTooLong});
    EXPECT_TRUE(r.log.empty());
  }
}

TEST(UploadFlowTest, MemoryFullOpensTheMemoryListOfTheType) {
  testing_support::ScratchDir dir;
  const std::string a = Write(dir, "a.jpg", Picture(320, 240, 2, 1, 80));
  const std::string a1 = Write(dir, "a1.jpg", Picture(160, 120, 4, 1, 80));
  settings::IniFileStore store(dir / "Lumvex01.ini");
  for (int type : {1, 2, 4}) {
    camsim::SimOptions o = SimOf(type);
    camsim::CameraContent content = type == 4 ? camsim::DemoContent(4) : testing::NamedPictures(3);
    o.capacity_bytes = content.Bytes() + 100;
    SimRig r(o, std::move(content));
    auto files = Files({type == 1 ? a1 : a});
    RecordingUi ui;
    ui.list_takes_connection = type != 1;
    EXPECT_EQ(RunUpload(r.link, store, files, ui), rc::kMemoryFull) << type;
    // Types 1 and 2 say it again once the list is read, type 4 once.
    const std::vector<int> said(type == 4 ? 1 : 2, err::kCameraMemoryFull);
    EXPECT_EQ(r.reporter.messages, said) << type;
    EXPECT_EQ(ui.list_opened_with, type == 4 ? r.link.picture_count : 3) << type;
    // The grid of types 2 and 4 now owns the connection; type 1's list is
    // modal and the connection ends after it.
    EXPECT_EQ(r.line.is_open(), type != 1) << type;
  }
}

}  // namespace
}  // namespace fq::cam
