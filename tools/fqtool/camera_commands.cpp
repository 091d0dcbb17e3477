#include "camera_commands.h"

#include "camera_ops.h"
#include "camera_get.h"

#include <cstdio>
#include <string_view>

#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera_tool.h"
#include "tool_platform.h"

namespace fqtool {
namespace {

using namespace fq::cam;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fputs("usage: fqtool camera identify|list --port DEV [--speed 9600|19200|38400|57600|115200]\n",
             stderr);
  return kExitUsage;
}

int ListTypeFour(CameraLink& link) {
  MediaStatus media;
  if (int r = SequencedMediaStatus(link, media)) return r;
  std::printf("media %d %d current %d\n", media.medium1, media.medium2, media.current);
  if (media.medium1 != 1 && media.medium2 != 1) return rc::kOk;
  int total = 0;
  if (int r = SequencedFolderTotal(link, total)) return r;
  std::vector<int> folders;
  // A page that does not bring the folders the count announced, a
  // malformed entry, or file numbers that do not rise are a data error, as
  // in the download's own reading: never a shorter list that looks whole.
  auto data_error = [&link] {
    link.Show(fq::err::kDataError);
    return rc::kBadHeader;
  };
  for (int page = 0; static_cast<int>(folders.size()) < total; ++page) {
    std::vector<int> entries;
    if (int r = SequencedFolderPage(link, entries)) return r;
    if (entries.empty()) return data_error();
    for (int f : entries)
      if (static_cast<int>(folders.size()) < total) folders.push_back(f);
  }
  for (int folder : folders) {
    if (folder < 1) return data_error();
    int count = 0;
    int r = SequencedFolderCount(link, folder, count);
    if (r == rc::kNothing) continue;
    if (r) return r;
    std::printf("folder %03d: %d pictures\n", folder, count);
    int file = 0;
    for (int i = 0; i < count; ++i) {
      int next = 0;
      if (int e = SequencedNextFile(link, folder, file, next)) return e == rc::kNothing ? 0 : e;
      if (next <= file) return data_error();
      file = next;
      int kind = SequencedEntryKind(link, folder, file);
      std::printf("%03d/%04d %s\n", folder, file, kind == rc::kMovie ? "movie" : "still");
    }
  }
  return rc::kOk;
}

int List(CameraLink& link) {
  switch (link.camera_type) {
    case 1:
      std::printf("pictures %d\n", link.picture_count);
      for (const ListedPicture& p : link.listed)
        std::printf("%d mode %d\n", p.number, p.mode);
      return rc::kOk;
    case 2:
    case 3:
      std::printf("pictures %d\n", link.picture_count);
      for (int n = 1; n <= link.picture_count; ++n) {
        int r = SequencedPictureSize(link, n);
        // The size command names pictures up to 255 only; the refusal of
        // the first one beyond has been shown, and the rest are the same.
        if (r == rc::kListReported) return rc::kOk;
        if (r && r != rc::kZeroSize) return r;
        std::printf("%d size %u\n", n, r ? 0u : link.picture_size);
      }
      return rc::kOk;
    default:
      return ListTypeFour(link);
  }
}

}  // namespace

int CameraCommand(const std::vector<std::string>& args) {
  if (!args.empty() && IsCameraOperation(args[0])) return CameraOperation(args);
  if (!args.empty() && args[0] == "get") return CameraGet(args);
  if (!args.empty() && args[0] == "thumbs") return CameraThumbs(args);
  if (args.empty() || (args[0] != "identify" && args[0] != "list")) return Usage();
  std::string device;
  int speed = speed_code::k38400;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--port" && i + 1 < args.size()) {
      device = args[++i];
    } else if (args[i] == "--speed" && i + 1 < args.size()) {
      speed = SpeedCodeOf(args[++i]);
      if (speed < 0) return Usage();
    } else {
      return Usage();
    }
  }
  if (device.empty()) return Usage();

  std::unique_ptr<SerialPort> port = MakeSerialPort();
  PrintingReporter reporter;
  NoMessagePump pump;
  CameraLink link(*port, SystemClock(), pump, reporter);
  link.port_name = device;
  link.speed_code = static_cast<uint8_t>(speed);
  if (OpenPort(link) != rc::kOk) return kExitFailure;
  int result = ConnectForDownload(link);
  if (result == rc::kOk || (result == rc::kNothing && link.camera_type != kNoCamera)) {
    std::printf("camera type %d\n", link.camera_type);
    if (args[0] == "list" && result == rc::kOk) result = List(link);
    else if (result == rc::kNothing) std::printf("pictures 0\n"), result = rc::kOk;
  }
  EndConnection(link);
  ClosePort(link);
  if (result != rc::kOk) {
    std::fprintf(stderr, "fqtool: camera result %d\n", result);
    return kExitFailure;
  }
  return 0;
}

}  // namespace fqtool
