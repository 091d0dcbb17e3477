// fqtool camera put|delete|clock|detect: the program's upload, deletion,
// camera clock and port search on a serial device, with one verdict per
// file or picture on standard output and the program's messages on
// standard error.
#include "camera_ops.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <sstream>
#include <string_view>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "camera/camera_clock.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/delete_flows.h"
#include "camera/link_codes.h"
#include "camera/port_setup.h"
#include "camera/upload.h"
#include "camera_tool.h"
#include "tool_platform.h"

namespace fqtool {
namespace {

using namespace fq::cam;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs(
      "usage: fqtool camera put FILE... --port DEV [--speed BPS]\n"
      "       fqtool camera delete --range 3,5-7|101/3,...|--all --port DEV [--speed BPS]\n"
      "       fqtool camera clock [--set 'YYYY-MM-DD HH:MM'|--now] --port DEV [--speed BPS]\n"
      "       fqtool camera detect [--ports DEV,DEV,...]\n",
      stderr);
  return kExitUsage;
}

std::vector<std::string> Split(const std::string& text, char by) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, by))
    if (!part.empty()) out.push_back(part);
  return out;
}

struct Options {
  std::string port;
  int speed = speed_code::k38400;
  std::vector<std::string> words;  // what is not an option
  std::string range, set;
  bool all = false, now = false;
  std::vector<std::string> ports;
};

bool Parse(const std::vector<std::string>& args, Options& o) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    const std::string* v = nullptr;
    if (a == "--port") {
      if (!(v = value())) return false;
      o.port = *v;
    } else if (a == "--speed") {
      if (!(v = value()) || (o.speed = SpeedCodeOf(*v)) < 0) return false;
    } else if (a == "--range") {
      if (!(v = value())) return false;
      o.range = *v;
    } else if (a == "--set") {
      if (!(v = value())) return false;
      o.set = *v;
    } else if (a == "--ports") {
      if (!(v = value())) return false;
      o.ports = Split(*v, ',');
    } else if (a == "--all") {
      o.all = true;
    } else if (a == "--now") {
      o.now = true;
    } else if (a.rfind("--", 0) == 0) {
      return false;
    } else {
      o.words.push_back(a);
    }
  }
  return true;
}

// Everything around a link on a device.
struct Session {
  explicit Session(const Options& o)
      : port(MakeSerialPort()), link(*port, SystemClock(), pump, reporter) {
    link.port_name = o.port;
    link.speed_code = static_cast<uint8_t>(o.speed);
  }
  std::unique_ptr<SerialPort> port;
  PrintingReporter reporter;
  NoMessagePump pump;
  CameraLink link;
};

// ---- put ----

const char* RefusalText(Refusal r) {
  switch (r) {
    case Refusal::kUnreadable: return "File cannot be opened.";
    case Refusal::kNotJpeg: return "This is not a Jpeg file.";
    case Refusal::kNotTransferable: return "This JPEG file cannot be transferred to the Camera.";
    case Refusal::kSegmentsUnreadable: return "This is not JPEG File.";
    default: return "";
  }
}

class ConsoleUploadUi final : public UploadUi {
 public:
  void Refused(const UploadFile& f, Refusal why) override {
    std::printf("%s: refused: %s\n", f.path.c_str(), RefusalText(why));
  }
  void Progress(bool) override {}
  void Lines(std::string_view, std::string_view) override {}
  fq::UploadMeter& Meter() override { return meter_; }
  void SetMeterRange(int range) override { meter_.SetRange(range); }
  void OfferCancel(bool more) override {
    if (!more) fq::SetCancelRequested(false);
  }
  bool ConfirmCancel() override { return true; }
  void Finished(const UploadFile& f) override {
    if (f.state != UploadFile::State::kSent) {
      std::printf("%s: failed\n", f.path.c_str());
      return;
    }
    std::printf("%s: sent %s, mode %d, %llu bytes, sampling %s\n", f.path.c_str(),
                f.reencoded ? "re-encoded" : "as is", f.mode_sent,
                static_cast<unsigned long long>(f.bytes_sent), f.sampling_sent.c_str());
  }

 private:
  SilentMeter meter_;
};

int Put(const Options& o) {
  if (o.words.empty() || o.port.empty()) return Usage();
  std::vector<UploadFile> files(o.words.size());
  for (size_t i = 0; i < files.size(); ++i) files[i].path = o.words[i];
  Session s(o);
  ConsoleUploadUi ui;
  const int result = UploadOverLink(s.link, files, ui, nullptr);
  for (const UploadFile& f : files)
    if (f.state == UploadFile::State::kWaiting) std::printf("%s: not sent\n", f.path.c_str());
  if (result == rc::kMemoryFull) std::printf("camera memory is full\n");
  if (result != rc::kOk && result != rc::kBadValue)
    std::fprintf(stderr, "fqtool: camera result %d\n", result);
  bool all_sent = result == rc::kOk;
  for (const UploadFile& f : files) all_sent = all_sent && f.state == UploadFile::State::kSent;
  return all_sent ? 0 : kExitFailure;
}

// ---- delete ----

class ConsoleDeleteUi final : public DeleteUi {
 public:
  void Status(bool) override {}
  void Line303(std::string_view) override {}
  void Line304(std::string_view) override {}
  void OfferCancel(bool) override {}
  bool Confirm(int) override { return false; }
  DeleteAnswer AskDelete(int) override { return DeleteAnswer::kYes; }
  DeleteAnswer AskDeleteInDialog(int, bool) override { return DeleteAnswer::kDeleteAll; }
};

// "3,5-7" as numbers; false on anything else.
bool ParseNumbers(const std::string& text, std::vector<int>& out) {
  for (const std::string& part : Split(text, ',')) {
    int a = 0, b = 0;
    char dash = 0, extra = 0;
    const int n = std::sscanf(part.c_str(), "%d%c%d%c", &a, &dash, &b, &extra);
    if (n == 1 && a > 0) {
      out.push_back(a);
    } else if (n == 3 && dash == '-' && a > 0 && b >= a && b - a < 10000) {
      for (int k = a; k <= b; ++k) out.push_back(k);
    } else {
      return false;
    }
  }
  return !out.empty();
}

// "101/3,101/5" as folder and file.
bool ParseFolderFiles(const std::string& text, std::vector<GridPicture>& out) {
  for (const std::string& part : Split(text, ',')) {
    int folder = 0, file = 0;
    char extra = 0;
    if (std::sscanf(part.c_str(), "%d/%d%c", &folder, &file, &extra) != 2 || folder < 100 ||
        folder > 999 || file < 1 || file > 9999)
      return false;
    out.push_back({folder * 10000 + file, folder, file});
  }
  return !out.empty();
}

// Every still and movie of the current medium of a type-4 camera.
int AllOfTypeFour(CameraLink& link, std::vector<GridPicture>& out) {
  MediaStatus media;
  if (int r = SequencedMediaStatus(link, media)) return r;
  if (media.medium1 != 1 && media.medium2 != 1) return rc::kOk;
  int total = 0;
  if (int r = SequencedFolderTotal(link, total)) return r;
  std::vector<int> folders;
  while (static_cast<int>(folders.size()) < total) {
    std::vector<int> page;
    if (int r = SequencedFolderPage(link, page)) return r;
    if (page.empty()) break;
    for (int f : page)
      if (static_cast<int>(folders.size()) < total) folders.push_back(f);
  }
  for (int folder : folders) {
    if (folder < 0) continue;
    int count = 0;
    int r = SequencedFolderCount(link, folder, count);
    if (r == rc::kNothing) continue;
    if (r) return r;
    int file = 0;
    for (int i = 0; i < count; ++i) {
      int next = 0;
      if (int e = SequencedNextFile(link, folder, file, next)) return e == rc::kNothing ? 0 : e;
      file = next;
      out.push_back({folder * 10000 + file, folder, file});
    }
  }
  return rc::kOk;
}

std::string PictureName(const GridPicture& p) {
  if (p.folder == 0) return std::to_string(p.number);
  char text[16];
  std::snprintf(text, sizeof text, "%03d/%04d", p.folder, p.file);
  return text;
}

int Delete(const Options& o) {
  if (o.port.empty() || (o.all == !o.range.empty())) return Usage();
  std::vector<int> numbers;
  std::vector<GridPicture> folder_files;
  const bool by_folder = !o.range.empty() && o.range.find('/') != std::string::npos;
  if (!o.range.empty() && !(by_folder ? ParseFolderFiles(o.range, folder_files)
                                      : ParseNumbers(o.range, numbers)))
    return Usage();
  Session s(o);
  CameraLink& link = s.link;
  if (OpenPort(link) != rc::kOk) return kExitFailure;
  int result = ConnectForDownload(link);
  if (result != rc::kOk) {
    if (result == rc::kNothing) std::printf("pictures 0\n");
    EndConnection(link);
    ClosePort(link);
    return kExitFailure;
  }
  if ((link.camera_type == 4) != (o.all || by_folder)) {
    if (!o.all) {
      std::fprintf(stderr, "fqtool: a type-%d camera names its pictures %s\n", link.camera_type,
                   link.camera_type == 4 ? "FOLDER/FILE" : "by number");
      EndConnection(link);
      ClosePort(link);
      return kExitUsage;
    }
  }
  ConsoleDeleteUi ui;
  std::vector<GridPicture> wanted;
  std::vector<int> deleted;
  if (link.camera_type == 1) {
    std::vector<int> chosen = numbers;
    for (const ListedPicture& p : TypeOneRows(link))
      if (o.all) chosen.push_back(p.number);
    for (int n : chosen) wanted.push_back({n});
    result = DeleteAll(link, chosen, ui, deleted);
  } else {
    if (link.camera_type == 4) {
      if (o.all) result = AllOfTypeFour(link, folder_files);
      wanted = folder_files;
    } else {
      for (int n = 1; o.all && n <= link.picture_count; ++n) wanted.push_back({n});
      for (int n : numbers) wanted.push_back({n});
    }
    if (result == rc::kOk) result = DeleteSelected(link, wanted, ui, deleted);
  }
  std::sort(wanted.begin(), wanted.end(),
            [](const GridPicture& a, const GridPicture& b) { return a.number > b.number; });
  wanted.erase(std::unique(wanted.begin(), wanted.end(),
                           [](const GridPicture& a, const GridPicture& b) { return a.number == b.number; }),
               wanted.end());
  bool all_deleted = result == rc::kOk;
  for (const GridPicture& p : wanted) {
    const bool gone = std::find(deleted.begin(), deleted.end(), p.number) != deleted.end();
    std::printf("%s %s\n", gone ? "deleted" : "kept", PictureName(p).c_str());
    all_deleted = all_deleted && gone;
  }
  if (result != rc::kOk) std::fprintf(stderr, "fqtool: camera result %d\n", result);
  EndConnection(link);
  ClosePort(link);
  return all_deleted ? 0 : kExitFailure;
}

// ---- clock ----

std::string Shown(const ClockEntry& e) {
  return e.year + "-" + e.month + "-" + e.day + " " + e.hour + ":" + e.minute + (e.pm ? " PM" : " AM");
}

int Clock(const Options& o) {
  if (o.port.empty() || (!o.set.empty() && o.now)) return Usage();
  ClockEntry wanted;
  if (!o.set.empty()) {
    int y, mo, d, h, mi;
    char extra = 0;
    if (std::sscanf(o.set.c_str(), "%d-%d-%d %d:%d%c", &y, &mo, &d, &h, &mi, &extra) != 5 || h < 0 ||
        h > 23 || y < 0 || mo < 0 || d < 0 || mi < 0)
      return Usage();
    wanted = EntryOf(y, mo, d, h, mi);
  } else if (o.now) {
    const std::tm local = fqtool::LocalTime(std::time(nullptr));
    wanted = EntryOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  }
  Session s(o);
  CameraLink& link = s.link;
  if (OpenPort(link) != rc::kOk) return kExitFailure;
  int result = ConnectForSetup(link);
  if (result != rc::kOk) {
    if (link.camera_type == 1) {
      s.reporter.ShowMessage(fq::err::kNotAvailableOnCamera);
      EndConnectionMarker(link);
    }
    ClosePort(link);
    return kExitFailure;
  }
  ClockEntry read;
  result = ReadCameraClock(link, read);
  if (result == rc::kOk) std::printf("clock %s\n", Shown(read).c_str());
  int exit = result == rc::kOk ? 0 : kExitFailure;
  if (result == rc::kOk && (!o.set.empty() || o.now)) {
    ClockField bad = ClockField::kNone;
    result = SetCameraClock(link, wanted, bad);
    static const char* kNames[] = {"", "year", "month", "day", "hour", "minute"};
    if (bad != ClockField::kNone) {
      std::printf("refused: %s\n", kNames[static_cast<int>(bad)]);
      exit = kExitFailure;
    } else if (result != rc::kOk) {
      exit = kExitFailure;
    } else {
      std::printf("set %s\n", Shown(wanted).c_str());
    }
  }
  EndConnectionSequenced(link);
  ClosePort(link);
  return exit;
}

// ---- detect ----

int Detect(const Options& o) {
  std::vector<std::string> ports = o.ports.empty() ? DefaultSearchPorts() : o.ports;
  Options opened = o;
  opened.port = ports.front();
  Session s(opened);
  const int found = FindCameraPort(s.link, ports);
  if (!found) {
    std::printf("no camera\n");
    return kExitFailure;
  }
  std::printf("camera on %s (port %d)\n", ports[static_cast<size_t>(found - 1)].c_str(), found);
  return 0;
}

}  // namespace

bool IsCameraOperation(const std::string& word) {
  return word == "put" || word == "delete" || word == "clock" || word == "detect";
}

int CameraOperation(const std::vector<std::string>& args) {
  Options o;
  if (args.empty() || !Parse(args, o)) return Usage();
  if (args[0] == "put") return Put(o);
  if (!o.words.empty()) return Usage();
  if (args[0] == "delete") return Delete(o);
  if (args[0] == "clock") return Clock(o);
  if (args[0] == "detect") return Detect(o);
  return Usage();
}

}  // namespace fqtool
