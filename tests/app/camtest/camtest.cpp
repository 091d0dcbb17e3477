// camtest: the camera link of the program over a real Win32 serial port.
// Opens the port through the Win32 port class, runs the download
// connection sequence (speed command at 9600, line speed, identification,
// start, picture list or count), lists what the camera holds, ends the
// connection and closes the port.
//
//   camtest.exe [--port COM1] [--speed 9600|19200|38400|57600|115200]
//
// Prints "camera type N", "pictures N" and one line per picture, then
// "ended". Exits 0 when everything went right, otherwise with the link's
// result code (printed as "result N"). Messages the link would show in a
// box are printed as "message N" instead, so nothing waits for a click.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "base/messages.h"
#include "camera/win/link_hooks.h"
#include "camera/win/win32_port.h"

namespace {

using namespace fq::cam;

class PrintingReporter final : public Reporter {
 public:
  void ShowMessage(int index) override {
    std::printf("message %d: %s\n", index, std::string(fq::ErrorText(index)).c_str());
    std::fflush(stdout);
    ++shown;
  }
  int shown = 0;
};

int SpeedCodeOf(const std::string& bps) {
  for (int code : {0, 1, 2, 3, 13})
    if (std::to_string(LineSpeedOf(code)) == bps) return code;
  return -1;
}

int ListSizes(CameraLink& link) {
  std::printf("pictures %d\n", link.picture_count);
  for (int n = 1; n <= link.picture_count; ++n) {
    int r = SequencedPictureSize(link, n);
    if (r) return r;
    std::printf("%d size %u\n", n, link.picture_size);
  }
  return rc::kOk;
}

// Type 4: the folders of the current medium and their entries.
int ListFolders(CameraLink& link) {
  MediaStatus media;
  if (int r = SequencedMediaStatus(link, media)) return r;
  std::printf("media %d %d current %d\n", media.medium1, media.medium2, media.current);
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
  int pictures = 0;
  for (int folder : folders) {
    if (folder < 0) continue;
    int count = 0;
    int r = SequencedFolderCount(link, folder, count);
    if (r == rc::kNothing) continue;
    if (r) return r;
    std::printf("folder %03d: %d\n", folder, count);
    int file = 0;
    for (int i = 0; i < count; ++i) {
      int next = 0;
      if ((r = SequencedNextFile(link, folder, file, next))) return r;
      file = next;
      int kind = SequencedEntryKind(link, folder, file);
      if (kind == rc::kMovie) {
        std::printf("%03d/%04d movie\n", folder, file);
      } else if (kind == rc::kStill) {
        if ((r = SequencedPictureSizeOf(link, folder, file))) return r;
        std::printf("%03d/%04d still size %u\n", folder, file, link.picture_size);
      } else {
        return kind;
      }
      ++pictures;
    }
  }
  std::printf("pictures %d\n", pictures);
  return rc::kOk;
}

int List(CameraLink& link) {
  switch (link.camera_type) {
    case 1:
      std::printf("pictures %d\n", link.picture_count);
      for (const ListedPicture& p : link.listed) std::printf("%d mode %d\n", p.number, p.mode);
      return rc::kOk;
    case 2:
    case 3:
      return ListSizes(link);
    default:
      return ListFolders(link);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string port_name = "COM1";
  int speed = speed_code::k38400;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--port" && i + 1 < argc) {
      port_name = argv[++i];
    } else if (a == "--speed" && i + 1 < argc) {
      speed = SpeedCodeOf(argv[++i]);
      if (speed < 0) {
        std::fprintf(stderr, "camtest: unknown speed\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "usage: camtest [--port COMn] [--speed BPS]\n");
      return 2;
    }
  }

  fq::win::Win32Port port;
  fq::win::LinkPump pump;
  PrintingReporter reporter;
  CameraLink link(port, fq::win::LinkClock(), pump, reporter);
  link.port_name = port_name;
  link.speed_code = static_cast<uint8_t>(speed);

  int result = OpenPort(link);
  if (result != rc::kOk) {
    std::printf("open %s failed\nresult %d\n", port_name.c_str(), result);
    return result;
  }
  std::printf("opened %s\n", port_name.c_str());
  std::fflush(stdout);

  result = ConnectForDownload(link);
  if (link.camera_type != kNoCamera) std::printf("camera type %d\n", link.camera_type);
  if (result == rc::kOk) result = List(link);
  std::fflush(stdout);

  EndConnection(link);
  ClosePort(link);
  std::printf("ended\n");
  if (result == rc::kOk && port.IsOpen()) result = -1;
  std::printf("result %d\n", result);
  std::fflush(stdout);
  return result;
}
