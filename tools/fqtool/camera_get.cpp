#include "camera_get.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

#include "base/cancel_flag.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "camera/block_loops.h"
#include "camera/camera_folders.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/download.h"
#include "camera/link_codes.h"
#include "camera/memory_list.h"
#include "camera/reply_checks.h"
#include "camera/transfer_folder.h"
#include "show/movie_file.h"
#include "camera_tool.h"
#include "tool_platform.h"

namespace fqtool {
namespace {

using namespace fq::cam;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr char kRecordName[] = ".fqtool-camera-record";

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the tool at once
}

int Usage() {
  std::fputs(
      "usage: fqtool camera get --port DEV --folder DIR (--all | --range LIST | --new) [--speed BPS]\n"
      "       fqtool camera thumbs --port DEV --folder DIR [--all | --range LIST] [--speed BPS]\n"
      "       LIST: 1-5,7 (types 1 and 2), 101/1-4,102/7 (type 4: folder/file)\n",
      stderr);
  return kExitUsage;
}

struct Range {
  int folder = 0;  // type 4
  int first = 0, last = 0;
};

bool ParseNumber(std::string_view s, int& out) {
  if (s.empty() || s.size() > 5) return false;
  out = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

bool ParseList(std::string_view text, std::vector<Range>& out) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    std::string_view item = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    Range r;
    size_t slash = item.find('/');
    if (slash != std::string_view::npos) {
      if (!ParseNumber(item.substr(0, slash), r.folder)) return false;
      item = item.substr(slash + 1);
    }
    size_t dash = item.find('-');
    if (dash == std::string_view::npos) {
      if (!ParseNumber(item, r.first)) return false;
      r.last = r.first;
    } else if (!ParseNumber(item.substr(0, dash), r.first) || !ParseNumber(item.substr(dash + 1), r.last) ||
               r.last < r.first) {
      return false;
    }
    out.push_back(r);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return !out.empty();
}

struct Options {
  std::string device, folder;
  int speed = speed_code::k38400;
  bool all = false, fresh = false;
  std::vector<Range> ranges;
};

bool ParseOptions(const std::vector<std::string>& args, Options& o, bool thumbs) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--port" && has_value) {
      o.device = args[++i];
    } else if (a == "--folder" && has_value) {
      o.folder = args[++i];
    } else if (a == "--speed" && has_value) {
      o.speed = SpeedCodeOf(args[++i]);
      if (o.speed < 0) return false;
    } else if (a == "--all") {
      o.all = true;
    } else if (a == "--new" && !thumbs) {
      o.fresh = true;
    } else if (a == "--range" && has_value) {
      if (!ParseList(args[++i], o.ranges)) return false;
    } else {
      return false;
    }
  }
  const int choices = int{o.all} + int{o.fresh} + int{!o.ranges.empty()};
  if (thumbs && choices == 0) o.all = true;
  return !o.device.empty() && !o.folder.empty() && (thumbs ? choices <= 1 : choices == 1);
}

// What the camera holds, as `camera list` names it.
struct Candidate {
  TransferItem item;
  std::string label;
};

int ListCandidates(CameraLink& link, std::vector<Candidate>& out) {
  char label[32];
  if (link.camera_type == 1) {
    for (const ListRow& row : Type1Rows(link.listed)) {
      std::snprintf(label, sizeof label, "%d", row.number);
      out.push_back({{row.number}, label});
    }
    return rc::kOk;
  }
  if (link.camera_type != 4) {
    for (int n = 1; n <= link.picture_count; ++n) {
      std::snprintf(label, sizeof label, "%d", n);
      out.push_back({{n}, label});
    }
    return rc::kOk;
  }
  CameraMedia media;
  if (int r = ReadMedia(link, media)) return r;
  if (!media.AnyPresent()) return rc::kOk;
  int r = ReadFolderList(link, media);
  if (r == rc::kNothing) return rc::kOk;
  if (r) return r;
  for (CameraFolder& f : media.folders) {
    if ((r = OpenFolder(link, f))) return r;
    for (size_t i = 0; i < f.files.size(); ++i) {
      std::snprintf(label, sizeof label, "%03d/%04d", f.number, f.files[i]);
      out.push_back({{static_cast<int>(i) + 1, f.number, f.files[i]}, label});
    }
  }
  return rc::kOk;
}

bool InRanges(const Candidate& c, const std::vector<Range>& ranges, int type) {
  for (const Range& r : ranges) {
    if (type == 4) {
      if (r.folder == c.item.folder && c.item.file >= r.first && c.item.file <= r.last) return true;
    } else if (c.item.number >= r.first && c.item.number <= r.last) {
      return true;
    }
  }
  return false;
}

// A picture's mark in the record of earlier copies: its size and a hash of
// its first block.
std::string KeyOf(uint32_t size, const uint8_t* first, size_t n) {
  uint64_t h = 14695981039346656037ull;
  for (size_t i = 0; i < n; ++i) h = (h ^ first[i]) * 1099511628211ull;
  char text[48];
  std::snprintf(text, sizeof text, "%u %016llx", size, static_cast<unsigned long long>(h));
  return text;
}

std::string KeyOfBytes(const std::vector<uint8_t>& bytes) {
  return KeyOf(static_cast<uint32_t>(bytes.size()), bytes.data(), std::min<size_t>(bytes.size(), kBlockSize));
}

// The size and first block of a camera picture (a movie: of its first part).
int CameraKey(CameraLink& link, const TransferItem& item, std::string& key) {
  int r = rc::kOk;
  if (link.camera_type == 1) {
    r = MarkerPictureSize(link, item.number);
  } else if (link.camera_type == 4) {
    r = SequencedEntryKind(link, item.folder, item.file);
    if (r == rc::kMovie) {
      r = SequencedMoviePartSize(link, item.folder, item.file, 1);
    } else if (r == rc::kStill || r == rc::kKindRefused) {
      r = SequencedPictureSizeOf(link, item.folder, item.file);
    }
  } else {
    r = SequencedPictureSize(link, item.number);
  }
  if (r) return r;
  const uint32_t size = link.picture_size;
  link.block_count = size ? 1 : 0;
  if ((r = AllocatePicture(link))) return r;
  r = link.camera_type == 1 ? FetchBlocksMarker(link) : FetchBlocksSequenced(link, BlockTarget::kPicture);
  if (r) return r;
  key = KeyOf(size, link.picture.data(), std::min<size_t>(size, kBlockSize));
  return rc::kOk;
}

std::set<std::string> ReadRecord(const std::string& path) {
  std::set<std::string> keys;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty()) keys.insert(line);
  return keys;
}

class ToolView final : public DownloadView {
 public:
  ToolView(CameraLink& link, std::string record) : link_(link), record_(std::move(record)) {}
  bool OpenProgress() override { return true; }
  void CloseProgress() override {
    if (shown_) std::fputc('\n', stderr);
    shown_ = false;
  }
  void SetLines(std::string_view, std::string_view detail) override {
    detail_ = detail;
    Interrupted();
  }
  void SetMeter(int range, int position) override {
    Interrupted();
    if (detail_.empty() || range <= 0) return;
    std::fprintf(stderr, "\r%s %3d%%", detail_.c_str(), position * 100 / range);
    shown_ = true;
  }
  void OfferCancel(bool) override { Interrupted(); }
  bool AskYes(int question) override {
    return question == fq::ask::kCancelTransfer || question == fq::ask::kCancelTransfer2 ||
           question == fq::ask::kTransferOnlyImages;
  }
  void ShowText(std::string_view text) override {
    CloseProgress();
    std::string line(text);
    for (char& c : line)
      if (c == '\n') c = ' ';
    std::fprintf(stderr, "fqtool: %s\n", line.c_str());
  }
  void MovieMessage(bool on) override {
    if (on) ShowTextPlain("making the movie");
  }
  bool NewAlbum() override { return true; }
  bool AddToAlbum(const std::string&, bool) override { return true; }
  fq::Status WriteMovie(std::span<const std::string> parts, uint8_t rate_mode, const std::string& target) override {
    movie_key_.clear();
    if (!parts.empty())
      if (auto first = fq::io::ReadWholeFile(parts[0])) movie_key_ = KeyOfBytes(*first);
    auto frames = fq::show::LoadMovieFrames(parts);
    if (!frames) return frames.failure();
    return fq::show::WritePlainMovie(target, *frames, fq::show::MovieFrameRate(rate_mode));
  }
  void Saved(const std::string& path, const TransferItem&) override {
    CloseProgress();
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    ++saved;
    const bool movie = path.size() > 4 && path.compare(path.size() - 4, 4, ".avi") == 0;
    const std::string key =
        movie ? movie_key_
              : KeyOf(link_.picture_size, link_.picture.data(), std::min<size_t>(link_.picture_size, kBlockSize));
    if (key.empty()) return;
    std::ofstream out(record_, std::ios::app);
    out << key << '\n';
  }
  int saved = 0;

 private:
  void Interrupted() {
    if (g_interrupted && !fq::CancelRequested() && !stopping_) {
      stopping_ = true;
      fq::SetCancelRequested(true);
    }
  }
  void ShowTextPlain(const char* text) {
    CloseProgress();
    std::fprintf(stderr, "fqtool: %s\n", text);
  }
  CameraLink& link_;
  std::string record_;
  std::string detail_;
  std::string movie_key_;
  bool shown_ = false;
  bool stopping_ = false;
};

// The connection of both commands: the link, then `work`, then the end.
template <class Work>
int WithCamera(const Options& o, Work work) {
  std::unique_ptr<SerialPort> port = MakeSerialPort();
  PrintingReporter reporter;
  NoMessagePump pump;
  CameraLink link(*port, SystemClock(), pump, reporter);
  link.port_name = o.device;
  link.speed_code = static_cast<uint8_t>(o.speed);
  if (OpenPort(link) != rc::kOk) return kExitFailure;
  int result = ConnectForDownload(link);
  int exit_code = kExitFailure;
  if (result == rc::kOk) {
    exit_code = work(link);
  } else if (result == rc::kNothing && link.camera_type != kNoCamera) {
    exit_code = 0;  // no pictures: nothing to do
  }
  EndConnection(link);
  ClosePort(link);
  return exit_code;
}

}  // namespace

int CameraGet(const std::vector<std::string>& args) {
  Options o;
  if (!ParseOptions(args, o, false)) return Usage();
  if (!fq::io::Fs().IsFolder(o.folder)) {
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(fq::err::kDriveNotReady)).c_str());
    return kExitFailure;
  }
  std::signal(SIGINT, OnInterrupt);
  const std::string record = JoinTransferPath(o.folder, kRecordName);
  const int code = WithCamera(o, [&](CameraLink& link) {
    std::vector<Candidate> all;
    if (ListCandidates(link, all)) return kExitFailure;
    std::vector<TransferItem> items;
    if (o.fresh) {
      const std::set<std::string> known = ReadRecord(record);
      for (const Candidate& c : all) {
        if (g_interrupted) return kExitFailure;
        std::string key;
        if (int r = CameraKey(link, c.item, key)) {
          std::fprintf(stderr, "fqtool: %s: camera result %d\n", c.label.c_str(), r);
          return kExitFailure;
        }
        if (!known.count(key)) items.push_back(c.item);
      }
    } else {
      for (const Candidate& c : all)
        if (o.all || InRanges(c, o.ranges, link.camera_type)) items.push_back(c.item);
    }
    if (items.empty()) return o.fresh ? 0 : (std::fputs("fqtool: no such pictures on the camera\n", stderr), kExitFailure);
    auto counter = CheckNumberSpace(o.folder, static_cast<int>(items.size()));
    if (!counter) {
      std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(counter.message())).c_str());
      return kExitFailure;
    }
    DownloadJob job;
    job.folder = o.folder;
    job.counter = *counter;
    job.items = items;
    ToolView view(link, record);
    const int r = DownloadSelected(link, job, view);
    if (r != rc::kOk) return kExitFailure;
    if (g_interrupted || view.saved != static_cast<int>(items.size())) {
      std::fputs("fqtool: stopped before all pictures were copied\n", stderr);
      return kExitFailure;
    }
    return 0;
  });
  std::signal(SIGINT, SIG_DFL);
  return code;
}

int CameraThumbs(const std::vector<std::string>& args) {
  Options o;
  if (!ParseOptions(args, o, true)) return Usage();
  if (!fq::io::Fs().IsFolder(o.folder)) {
    std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(fq::err::kDriveNotReady)).c_str());
    return kExitFailure;
  }
  return WithCamera(o, [&](CameraLink& link) {
    if (link.camera_type == 1) {
      std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(fq::err::kNotAvailableOnCamera)).c_str());
      return kExitFailure;
    }
    std::vector<Candidate> all;
    if (ListCandidates(link, all)) return kExitFailure;
    for (const Candidate& c : all) {
      if (!o.all && !InRanges(c, o.ranges, link.camera_type)) continue;
      Thumbnail t;
      if (FetchThumbnailBytes(link, c.item.number, c.item.folder, c.item.file, t)) return kExitFailure;
      if (!t.exists) {
        std::fprintf(stderr, "%s: no thumbnail\n", c.label.c_str());
        continue;
      }
      char name[48];
      if (link.camera_type == 4)
        std::snprintf(name, sizeof name, "thumb%03d-%04d.jpg", c.item.folder, c.item.file);
      else
        std::snprintf(name, sizeof name, "thumb%d.jpg", c.item.number);
      const std::string path = JoinTransferPath(o.folder, name);
      fq::io::ReplacingWriter out(path);
      fq::Status s = out.Open();
      if (s) s = out.Write(t.jpeg);
      if (s) s = out.Commit();
      if (!s) {
        std::fprintf(stderr, "fqtool: %s\n", std::string(fq::ErrorText(s.message())).c_str());
        return kExitFailure;
      }
      std::printf("%s\n", path.c_str());
    }
    return 0;
  });
}

}  // namespace fqtool
