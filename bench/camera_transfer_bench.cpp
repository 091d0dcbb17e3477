// Whole camera transfers through the program's own code, measured in line
// time: the download loop (what `fqtool camera get` runs) and the upload
// flow (what `fqtool camera put` runs) against the camera simulator on the
// in-memory line with rate emulation and the fake clock, and the port
// search over simulated ports. Also the two pieces of work around a
// transfer that take machine time, timed on the wall clock for
// bench/camera_run.sh to set beside their peers: the type-1 size fitting
// of upload pictures and the assembly of a downloaded movie.
//
//   camera_transfer_bench download PICTURE_DIR [SCRATCH_DIR]
//   camera_transfer_bench upload FOUR_BY_ONE_DIR TWO_BY_ONE_DIR
//   camera_transfer_bench search
//   camera_transfer_bench fit [--quiet] OUT_DIR FILE...
//   camera_transfer_bench movie OUT.avi RATE_BYTE FRAME...
//
// Line time: the clock moves only by the line's bytes (10 bit times each at
// the speed in use), the simulated camera's answer delay, the 200 µs gap
// between the bytes of a paced marker frame, and the waits the program
// itself takes. The machine time the program spends between bytes is not
// in it (it is reported apart, as wall time).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/temp_file.h"
#include "camera/camera_folders.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/download.h"
#include "camera/frames.h"
#include "camera/link_codes.h"
#include "camera/memory_line.h"
#include "camera/memory_list.h"
#include "camera/port_setup.h"
#include "camera/transfer_folder.h"
#include "camera/upload.h"
#include "camsim/camera_simulator.h"
#include "camsim/picture_store.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "image/jpeg_quality.h"
#include "show/movie_file.h"

namespace {

using namespace fq::cam;
namespace fs = std::filesystem;
namespace camsim = fq::camsim;

constexpr uint64_t kByteGapMicros = 200;  // between the bytes of a paced marker frame

double WallSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Microseconds the emulated line takes for one byte (as MemoryLine has it).
double ByteMicros(uint32_t bps) { return std::ceil(10'000'000.0 / bps); }

// The link's clock: the line's fake clock, with the time the program lets
// pass by its own pauses (busy waits, pumped waits) counted apart.
class CountingClock final : public Clock {
 public:
  explicit CountingClock(Clock& inner) : inner_(inner) {}
  uint64_t NowMicros() override { return inner_.NowMicros(); }
  void Sleep(uint64_t micros) override {
    paused += micros;
    inner_.Sleep(micros);
  }
  uint64_t paused = 0;

 private:
  Clock& inner_;
};

// The program's end of the line as a real port behaves:
// - a paced marker frame (one byte a write, at 57600 and 115200) has the
//   200 µs gap before each byte after the first (the link spins it out on
//   the clock, which a fake clock does not move);
// - a write returns once what it leaves behind fits the port's transmit
//   queue (6000 bytes, the size the program asks of the Windows port). The
//   in-memory line alone takes any number of bytes at once, so a long
//   upload would start its wait for the acknowledgement while most of the
//   file is still to go out.
// Counts the bytes each way and the gaps.
class WirePort final : public SerialPort {
 public:
  static constexpr uint64_t kTransmitQueue = 6000;

  WirePort(SerialPort& inner, Clock& clock) : inner_(inner), clock_(clock) {}
  void Attach(CameraLink& link) { link_ = &link; }
  int Open(const std::string& n) override {
    bps_ = 9600;
    return inner_.Open(n);
  }
  int SetSpeed(uint32_t b) override {
    int r = inner_.SetSpeed(b);
    if (r == 0) bps_ = b;
    return r;
  }
  bool Purge() override {
    pos_ = 0;
    return inner_.Purge();
  }
  size_t Write(const uint8_t* d, size_t n) override {
    if (link_ && link_->bytewise && n == 1 && link_->send[0] == 'O' && pos_++ > 0) {
      clock_.Sleep(kByteGapMicros);
      ++gaps;
    }
    written += n;
    const size_t k = inner_.Write(d, n);
    // Wait while more than the queue holds is still to go out.
    const uint64_t bt = static_cast<uint64_t>(ByteMicros(bps_));
    const uint64_t now = clock_.NowMicros();
    free_at_ = std::max(free_at_, now) + k * bt;
    const uint64_t queued = free_at_ - now;
    if (queued > kTransmitQueue * bt) clock_.Sleep(queued - kTransmitQueue * bt);
    return k;
  }
  bool Status(LineStatus& s) override { return inner_.Status(s); }
  size_t Read(uint8_t* d, size_t n) override {
    size_t k = inner_.Read(d, n);
    read += k;
    return k;
  }
  bool WaitForInput(uint64_t us) override { return inner_.WaitForInput(us); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }

  uint64_t written = 0, read = 0, gaps = 0;

 private:
  SerialPort& inner_;
  Clock& clock_;
  CameraLink* link_ = nullptr;
  size_t pos_ = 0;
  uint32_t bps_ = 9600;
  uint64_t free_at_ = 0;
};

class QuietReporter final : public Reporter {
 public:
  void ShowMessage(int index) override { shown.push_back(index); }
  std::vector<int> shown;
};

// What one transfer measured.
struct Measure {
  uint64_t micros = 0;       // line time of the measured part
  uint64_t payload = 0;      // picture bytes saved or sent
  double ideal_micros = 0;   // the frames the brief counts, one after the other
  uint64_t paused = 0;       // the program's own pauses
  uint64_t answer_wait = 0;  // the camera's answer delays (replies × delay)
  double wire_micros = 0;    // every byte on the line (and the gaps)
};

// The whole camera rig: simulator, line, wire counter, link.
struct Rig {
  Rig(int type, camsim::CameraContent content, uint64_t answer_delay_us)
      : sim(Options(type, answer_delay_us), std::move(content)),
        line(clock, sim, LineOptionsWithRate()),
        wire(line.port(), clock),
        link_clock(clock),
        link(wire, link_clock, pump, reporter) {
    wire.Attach(link);
    if (std::getenv("FQ_BENCH_SIM_LOG"))
      sim.log = [this](const std::string& s) {
        std::fprintf(stderr, "%10.3f ms  %s\n", clock.NowMicros() / 1e3, s.c_str());
      };
  }
  static camsim::SimOptions Options(int type, uint64_t delay) {
    camsim::SimOptions o;
    o.type = type;
    o.reply_delay_us = delay;
    o.check_uploads = true;
    return o;
  }
  static LineOptions LineOptionsWithRate() {
    LineOptions o;
    o.emulate_rate = true;
    return o;
  }
  // Replies the camera has sent so far (each waited its answer delay).
  int Replies() const {
    int n = 0;
    for (const auto& [code, count] : sim.stats().marker_commands) n += count;
    for (const auto& [code, count] : sim.stats().sequenced_commands) n += count;
    return n;
  }
  // Line time of the bytes counted so far, the paced gaps included.
  double WireMicros(uint32_t bps) const {
    const double bt = ByteMicros(bps);
    return double(wire.written + wire.read) * bt + double(wire.gaps) * (double(kByteGapMicros) - std::min(bt, double(kByteGapMicros)));
  }

  FakeClock clock;
  camsim::CameraSimulator sim;
  MemoryLine line;
  WirePort wire;
  CountingClock link_clock;
  QuietReporter reporter;
  NoMessagePump pump;
  CameraLink link;
};

// A request of `n` bytes: paced marker frames take the gap per byte.
double RequestMicros(size_t n, uint32_t bps, bool paced) {
  const double bt = ByteMicros(bps);
  if (!paced || n == 0) return n * bt;
  return double(n - 1) * std::max(bt, double(kByteGapMicros)) + bt;
}

// ---- Download ----

class SilentView final : public DownloadView {
 public:
  bool OpenProgress() override { return true; }
  void CloseProgress() override {}
  void SetLines(std::string_view, std::string_view) override {}
  void SetMeter(int, int) override {}
  void OfferCancel(bool) override {}
  bool AskYes(int) override { return false; }
  void ShowText(std::string_view text) override { texts.emplace_back(text); }
  void MovieMessage(bool) override {}
  bool NewAlbum() override { return true; }
  bool AddToAlbum(const std::string&, bool) override { return true; }
  fq::Status WriteMovie(std::span<const std::string> parts, uint8_t rate_mode,
                        const std::string& target) override {
    auto frames = fq::show::LoadMovieFrames(parts);
    if (!frames) return frames.failure();
    return fq::show::WritePlainMovie(target, *frames, fq::show::MovieFrameRate(rate_mode));
  }
  void Saved(const std::string& path, const TransferItem&) override { saved.push_back(path); }
  std::vector<std::string> saved;
  std::vector<std::string> texts;
};

// What the camera holds, as `fqtool camera get --all` lists it.
int ListAll(CameraLink& link, std::vector<TransferItem>& out) {
  if (link.camera_type == 1) {
    for (const ListRow& row : Type1Rows(link.listed)) out.push_back({row.number});
    return rc::kOk;
  }
  if (link.camera_type != 4) {
    for (int n = 1; n <= link.picture_count; ++n) out.push_back({n});
    return rc::kOk;
  }
  CameraMedia media;
  if (int r = ReadMedia(link, media)) return r;
  if (int r = ReadFolderList(link, media)) return r;
  for (CameraFolder& f : media.folders) {
    if (int r = OpenFolder(link, f)) return r;
    for (size_t i = 0; i < f.files.size(); ++i)
      out.push_back({static_cast<int>(i) + 1, f.number, f.files[i]});
  }
  return rc::kOk;
}

// The frames of the batch, one after the other: per picture the size
// request and reply (type 4: and the entry kind before it), per block the
// request and the reply (type 1: the last reply carries only the rest of
// the picture). Paced marker requests take the gap per byte.
double DownloadIdeal(int type, uint32_t bps, const std::vector<const camsim::StoredEntry*>& pictures) {
  const double bt = ByteMicros(bps);
  const bool paced = type == 1 && (bps == 57600 || bps == 115200);
  double t = 0;
  for (const camsim::StoredEntry* e : pictures) {
    const size_t size = e->data.size();
    const size_t blocks = (size + kBlockSize - 1) / kBlockSize;
    if (type == 1) {
      t += RequestMicros(kMarkerHeaderSize + 1, bps, paced) + (kMarkerHeaderSize + 4) * bt;
      t += blocks * RequestMicros(kMarkerHeaderSize + 2, bps, paced);
      t += double(blocks * kMarkerHeaderSize + size) * bt;  // the last reply carries the rest only
    } else {
      t += 2.0 * SequencedLength(kind::kShort) * bt;
      // Type 4 asks for the entry's kind first; the reply is a medium frame.
      if (type == 4) t += double(SequencedLength(kind::kShort) + SequencedLength(kind::kMedium)) * bt;
      t += blocks * (SequencedLength(kind::kShort) + SequencedLength(kind::kLong)) * bt;
    }
  }
  return t;
}

bool EqualsFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  auto got = fq::io::ReadWholeFile(path);
  return got && *got == bytes;
}

void PrintHeader(const char* what) {
  std::printf("| %s | bit/s | pictures | bytes | line time (s) | B/s | of capacity | of the frames' ideal | ideal of capacity | other frames | answer delays | program pauses | rest | files equal |\n",
              what);
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
}

void PrintRow(int type, uint32_t bps, size_t pictures, const Measure& m, bool equal) {
  const double secs = m.micros / 1e6;
  const double rate = m.payload / secs;
  const double capacity = bps / 10.0;
  const double ideal_rate = m.payload / (m.ideal_micros / 1e6);
  const double t = double(m.micros);
  const double other = m.wire_micros - m.ideal_micros;
  const double rest = t - m.wire_micros - double(m.answer_wait) - double(m.paused);
  std::printf("| %d | %u | %zu | %llu | %.2f | %.0f | %.1f %% | %.1f %% | %.1f %% | %.2f %% | %.2f %% | %.2f %% | %.2f %% | %s |\n",
              type, bps, pictures, static_cast<unsigned long long>(m.payload), secs, rate,
              100 * rate / capacity, 100 * rate / ideal_rate, 100 * ideal_rate / capacity,
              100 * other / t, 100 * double(m.answer_wait) / t, 100 * double(m.paused) / t,
              100 * rest / t, equal ? "yes" : "NO");
}

int Download(const std::string& pictures_dir, const std::string& scratch, uint64_t delay_us) {
  PrintHeader("type");
  int failures = 0;
  for (int type : {1, 2, 4}) {
    for (uint8_t code : {speed_code::k38400, speed_code::k115200}) {
      const uint32_t bps = LineSpeedOf(code);
      Rig rig(type, camsim::LoadFolder(pictures_dir, type), delay_us);
      rig.link.port_name = "COM1";
      rig.link.speed_code = code;
      const fs::path out = fs::path(scratch) / ("get" + std::to_string(type) + "_" + std::to_string(bps));
      fs::remove_all(out);
      fs::create_directories(out);
      std::vector<TransferItem> items;
      int r = OpenPort(rig.link);
      if (r == rc::kOk) r = ConnectForDownload(rig.link);
      if (r == rc::kOk) r = ListAll(rig.link, items);
      auto counter = CheckNumberSpace(out.string(), static_cast<int>(items.size()));
      if (r != rc::kOk || !counter || items.empty()) {
        std::fprintf(stderr, "type %d at %u: connection failed (%d)\n", type, bps, r);
        ++failures;
        continue;
      }
      DownloadJob job;
      job.folder = out.string();
      job.counter = *counter;
      job.items = items;
      SilentView view;
      const uint64_t paused0 = rig.link_clock.paused;
      const uint64_t t0 = rig.clock.NowMicros();
      const int replies0 = rig.Replies();
      const double wire0 = rig.WireMicros(bps);
      const double wall0 = WallSeconds();
      r = DownloadSelected(rig.link, job, view);
      const double wall = WallSeconds() - wall0;
      Measure m;
      m.micros = rig.clock.NowMicros() - t0;
      m.paused = rig.link_clock.paused - paused0;
      m.answer_wait = uint64_t(rig.Replies() - replies0) * delay_us;
      m.wire_micros = rig.WireMicros(bps) - wire0;
      EndConnection(rig.link);
      ClosePort(rig.link);
      // The pictures as the camera holds them, in the order fetched.
      std::vector<const camsim::StoredEntry*> held;
      for (const auto& f : rig.sim.content().media[0].folders)
        for (const auto& e : f.entries) held.push_back(&e);
      bool equal = r == rc::kOk && view.saved.size() == held.size() && rig.reporter.shown.empty();
      for (size_t i = 0; equal && i < held.size(); ++i) {
        equal = EqualsFile(view.saved[i], held[i]->data);
        m.payload += held[i]->data.size();
      }
      m.ideal_micros = DownloadIdeal(type, bps, held);
      if (!equal) ++failures;
      PrintRow(type, bps, held.size(), m, equal);
      std::fprintf(stderr, "download type %d at %u: %.2f s of line time in %.3f s of machine time\n", type,
                   bps, m.micros / 1e6, wall);
    }
  }
  return failures;
}

// ---- Upload ----

class QuietUploadUi final : public UploadUi {
 public:
  void Refused(const UploadFile& f, Refusal) override { refused.push_back(f.path); }
  void Progress(bool) override {}
  void Lines(std::string_view, std::string_view) override {}
  fq::UploadMeter& Meter() override { return meter_; }
  void SetMeterRange(int range) override { meter_.SetRange(range); }
  void OfferCancel(bool) override {}
  bool ConfirmCancel() override { return false; }
  std::vector<std::string> refused;

 private:
  SilentMeter meter_;
};

std::vector<std::string> JpegsIn(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".jpg") out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

int Upload(const std::string& four_by_one, const std::string& two_by_one, uint64_t delay_us) {
  PrintHeader("type");
  int failures = 0;
  struct Case {
    int type;
    uint8_t code;
  };
  for (Case c : {Case{1, speed_code::k38400}, Case{2, speed_code::k38400}, Case{2, speed_code::k115200},
                 Case{3, speed_code::k38400}, Case{3, speed_code::k115200}, Case{4, speed_code::k38400},
                 Case{4, speed_code::k115200}}) {
    const uint32_t bps = LineSpeedOf(c.code);
    camsim::CameraContent empty;
    empty.media[0].folders.emplace_back();
    Rig rig(c.type, std::move(empty), delay_us);
    std::vector<std::vector<uint8_t>> stored;
    rig.sim.on_upload = [&](const camsim::StoredEntry& e, const camsim::StoredFolder&, int) {
      stored.push_back(e.data);
    };
    rig.link.port_name = "COM1";
    rig.link.speed_code = c.code;
    std::vector<UploadFile> files;
    for (const std::string& p : JpegsIn(c.type == 1 ? four_by_one : two_by_one)) {
      UploadFile f;
      f.path = p;
      files.push_back(std::move(f));
    }
    QuietUploadUi ui;
    int r = OpenPort(rig.link);
    if (r == rc::kOk) r = ConnectForUpload(rig.link);
    if (r != rc::kOk) {
      std::fprintf(stderr, "upload type %d at %u: connection failed (%d)\n", c.type, bps, r);
      ++failures;
      continue;
    }
    const uint64_t paused0 = rig.link_clock.paused;
    const uint64_t t0 = rig.clock.NowMicros();
    const int replies0 = rig.Replies();
    const double wire0 = rig.WireMicros(bps);
    r = UploadFiles(rig.link, files, ui);
    Measure m;
    m.micros = rig.clock.NowMicros() - t0;
    m.paused = rig.link_clock.paused - paused0;
    m.answer_wait = uint64_t(rig.Replies() - replies0) * delay_us;
    m.wire_micros = rig.WireMicros(bps) - wire0;
    EndConnection(rig.link);
    ClosePort(rig.link);
    const double bt = ByteMicros(bps);
    bool equal = r == rc::kOk && stored.size() == files.size() && ui.refused.empty() &&
                 rig.reporter.shown.empty();
    for (size_t i = 0; i < files.size(); ++i) {
      const UploadFile& f = files[i];
      m.payload += f.bytes_sent;
      if (c.type == 1)
        m.ideal_micros += double(kMarkerHeaderSize + f.bytes_sent + kMarkerHeaderSize + 1) * bt;
      else
        m.ideal_micros += double((f.bytes_sent + kBlockSize - 1) / kBlockSize) *
                          (SequencedLength(kind::kLong) + SequencedLength(kind::kShort)) * bt;
      // Files sent as they are reach the camera byte for byte.
      if (equal && !f.reencoded) equal = EqualsFile(f.path, stored[i]);
      if (equal && f.reencoded) equal = stored[i].size() == f.bytes_sent;
    }
    if (!equal) {
      ++failures;
      std::fprintf(stderr, "upload type %d at %u: result %d, %zu stored, %zu refused, %zu messages%s\n", c.type,
                   bps, r, stored.size(), ui.refused.size(), rig.reporter.shown.size(),
                   rig.reporter.shown.empty() ? "" : (" (first " + std::to_string(rig.reporter.shown[0]) + ")").c_str());
    }
    PrintRow(c.type, bps, files.size(), m, equal);
  }
  return failures;
}

// ---- Port search ----

// Ports by name, each the end of its own line; a name without a line
// cannot be opened. Notes when each port was opened.
class PortsByName final : public SerialPort {
 public:
  explicit PortsByName(Clock& clock) : clock_(clock) {}
  void Add(const std::string& name, SerialPort& port) { ports_[name] = &port; }
  int Open(const std::string& name) override {
    Close();
    opened_at[name] = clock_.NowMicros();
    auto it = ports_.find(name);
    if (it == ports_.end()) return rc::kPortOpen;
    current_ = it->second;
    return current_->Open(name);
  }
  int SetSpeed(uint32_t b) override { return current_ ? current_->SetSpeed(b) : rc::kStateRead; }
  bool Purge() override { return current_ && current_->Purge(); }
  size_t Write(const uint8_t* d, size_t n) override { return current_ ? current_->Write(d, n) : 0; }
  bool Status(LineStatus& s) override { return current_ && current_->Status(s); }
  size_t Read(uint8_t* d, size_t n) override { return current_ ? current_->Read(d, n) : 0; }
  bool WaitForInput(uint64_t us) override { return current_ && current_->WaitForInput(us); }
  void Close() override {
    if (current_) current_->Close();
    current_ = nullptr;
  }
  bool IsOpen() const override { return current_ && current_->IsOpen(); }
  std::map<std::string, uint64_t> opened_at;

 private:
  Clock& clock_;
  std::map<std::string, SerialPort*> ports_;
  SerialPort* current_ = nullptr;
};

int Search() {
  // The deadlines of a port that stays silent: the speed command, 1000 ms,
  // two attempts.
  constexpr double kSilentPortDeadlineMs = 2 * 1000;
  int failures = 0;
  std::printf("| camera | found on | search (ms) | COM1 silent (ms) | COM2 missing (ms) | COM3 camera (ms) | deadlines of the silent port (ms) | COM3 frames' ideal at 9600 (ms) |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|\n");
  for (int type : {1, 2, 4}) {
    FakeClock clock;
    camsim::SimOptions silent_options;
    silent_options.device = camsim::SimOptions::Device::kSilent;
    camsim::CameraSimulator silent(silent_options, camsim::DemoContent(2));
    camsim::SimOptions camera_options;
    camera_options.type = type;
    camsim::CameraSimulator camera(camera_options, camsim::DemoContent(type));
    LineOptions rate;
    rate.emulate_rate = true;
    MemoryLine l1(clock, silent, rate), l3(clock, camera, rate);
    PortsByName ports(clock);
    ports.Add("COM1", l1.port());
    ports.Add("COM3", l3.port());
    QuietReporter reporter;
    NoMessagePump pump;
    CameraLink link(ports, clock, pump, reporter);
    const uint64_t t0 = clock.NowMicros();
    const int found = FindCameraPort(link, DefaultSearchPorts());
    const uint64_t end = clock.NowMicros();
    if (found != 3 || !reporter.shown.empty()) ++failures;
    // COM3's frames: speed command and acknowledgement, identification and
    // reply, end command and acknowledgement (marker frames at 9600 bit/s).
    const double bt = ByteMicros(9600);
    const size_t com3_bytes = (kMarkerHeaderSize + 1) + (kMarkerHeaderSize + 1) + kMarkerHeaderSize +
                              (kMarkerHeaderSize + 4) +
                              (type == 1 ? kMarkerHeaderSize + (kMarkerHeaderSize + 1)
                                         : 2 * SequencedLength(kind::kShort));
    const uint64_t at2 = ports.opened_at["COM2"], at3 = ports.opened_at["COM3"];
    std::printf("| type %d | COM%d | %.1f | %.1f | %.1f | %.1f | %.0f | %.1f |\n", type, found, (end - t0) / 1e3,
                (at2 - t0) / 1e3, (at3 - at2) / 1e3, (end - at3) / 1e3, kSilentPortDeadlineMs,
                com3_bytes * bt / 1e3);
  }
  return failures;
}

// ---- Size fitting (type 1) ----

class NullLink {
 public:
  NullLink() : line(clock, device), link(line.port(), clock, pump, reporter) { link.camera_type = 1; }
  struct Nothing final : LineDevice {
    void OnReceive(MemoryLine&, const uint8_t*, size_t) override {}
  };
  FakeClock clock;
  Nothing device;
  MemoryLine line;
  QuietReporter reporter;
  NoMessagePump pump;
  CameraLink link;
};

// The qualities the fitting takes for a picture, found again by the same
// steps one at a time (the picture decoded once, each pass an encoding of
// it with quarter-width chroma), with the size of each pass.
struct Passes {
  std::vector<int> qualities;
  std::vector<uint64_t> sizes;
  bool landed = false;
  std::vector<uint8_t> last;
};

Passes ReplayFitting(const std::string& path) {
  Passes p;
  auto original = fq::io::ReadWholeFile(path);
  if (!original) return p;
  const uint64_t existing = original->size();
  const int cls = fq::SizeClassOfLength(existing);
  auto picture = fq::LoadJpeg(path);
  auto bmp = fq::temp::TempFile::Create();
  auto jpeg = fq::temp::TempFile::CreateJpeg();
  if (!picture || !bmp || !jpeg || !fq::WriteBitmapFile(bmp->path(), picture->record)) return p;
  int quality = cls == 2 ? 95 : cls == 1 ? 80 : 55;
  int step = 0;
  for (int attempt = 0;; ++attempt) {
    if (!fq::BitmapFileToJpeg(bmp->path(), jpeg->path(), fq::kSampling4x1, quality)) return p;
    auto bytes = fq::io::ReadWholeFile(jpeg->path());
    if (!bytes) return p;
    p.qualities.push_back(quality);
    p.sizes.push_back(bytes->size());
    p.last = *bytes;
    fq::QualityStep next = fq::NextQuality(cls, quality, step, existing, bytes->size());
    p.landed = next.done && next.quality != 0;
    if (next.done || attempt >= 10) break;
    quality = next.quality;
    step = next.step;
  }
  return p;
}

int Fit(bool quiet, const std::string& out_dir, const std::vector<std::string>& files) {
  NullLink rig;
  QuietUploadUi ui;
  int failures = 0, landed = 0, passes = 0;
  double total = 0;
  if (!quiet) std::printf("file class bytes passes qualities final_bytes landed ms\n");
  for (const std::string& path : files) {
    int type_used = 1;
    const double t0 = WallSeconds();
    auto copy = ReencodeForCamera(rig.link, path, ui, type_used);
    const double took = WallSeconds() - t0;
    total += took;
    if (!copy) {
      std::fprintf(stderr, "%s: not re-encoded\n", path.c_str());
      ++failures;
      continue;
    }
    if (quiet) continue;
    auto made = fq::io::ReadWholeFile(copy->path());
    const std::string name = fs::path(path).filename().string();
    if (made) {
      std::error_code ec;
      fs::copy_file(copy->path(), fs::path(out_dir) / name, fs::copy_options::overwrite_existing, ec);
      if (ec) ++failures;
    }
    // The same passes found one at a time must end in the same bytes.
    Passes p = ReplayFitting(path);
    if (!made || p.last != *made) {
      std::fprintf(stderr, "%s: the replayed passes end elsewhere\n", path.c_str());
      ++failures;
    }
    std::string qualities;
    for (int q : p.qualities) qualities += (qualities.empty() ? "" : ",") + std::to_string(q);
    const uint64_t bytes = fs::file_size(path);
    std::printf("%s %d %llu %zu %s %llu %s %.1f\n", name.c_str(), fq::SizeClassOfLength(bytes),
                static_cast<unsigned long long>(bytes), p.qualities.size(), qualities.c_str(),
                static_cast<unsigned long long>(made ? made->size() : 0), p.landed ? "yes" : "no",
                took * 1e3);
    landed += p.landed;
    passes += static_cast<int>(p.qualities.size());
  }
  if (!quiet)
    std::fprintf(stderr, "fitting: %zu pictures, %d passes, %d landed in their window, %.1f ms in all\n",
                 files.size(), passes, landed, total * 1e3);
  return failures;
}

// ---- Movie ----

int Movie(const std::string& out, int rate_byte, const std::vector<std::string>& frames) {
  auto decoded = fq::show::LoadMovieFrames(frames);
  if (!decoded) {
    std::fprintf(stderr, "frames not decoded\n");
    return 1;
  }
  const fq::Status s =
      fq::show::WritePlainMovie(out, *decoded, fq::show::MovieFrameRate(static_cast<uint8_t>(rate_byte)));
  if (!s) {
    std::fprintf(stderr, "movie not written\n");
    return 1;
  }
  return 0;
}

int Usage() {
  std::fputs(
      "usage: camera_transfer_bench download PICTURE_DIR SCRATCH_DIR [ANSWER_DELAY_US]\n"
      "       camera_transfer_bench upload FOUR_BY_ONE_DIR TWO_BY_ONE_DIR [ANSWER_DELAY_US]\n"
      "       camera_transfer_bench search\n"
      "       camera_transfer_bench fit [--quiet] OUT_DIR FILE...\n"
      "       camera_transfer_bench movie OUT.avi RATE_BYTE FRAME...\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.empty()) return Usage();
  auto delay = [&](size_t i) -> uint64_t { return a.size() > i ? std::stoull(a[i]) : 2000; };
  if (a[0] == "download" && a.size() >= 3) return Download(a[1], a[2], delay(3)) ? 1 : 0;
  if (a[0] == "upload" && a.size() >= 3) return Upload(a[1], a[2], delay(3)) ? 1 : 0;
  if (a[0] == "search") return Search() ? 1 : 0;
  if (a[0] == "fit" && a.size() >= 3) {
    const bool quiet = a[1] == "--quiet";
    const size_t first = quiet ? 2 : 1;
    if (a.size() < first + 2) return Usage();
    return Fit(quiet, a[first], std::vector<std::string>(a.begin() + first + 1, a.end())) ? 1 : 0;
  }
  if (a[0] == "movie" && a.size() >= 4)
    return Movie(a[1], std::stoi(a[2]), std::vector<std::string>(a.begin() + 3, a.end()));
  return Usage();
}
