// Arbitrary bytes from the camera's side of the line, fed to the reply
// receive and check paths of the camera link on the in-memory line and a
// fake clock. The first byte picks the operation (low four bits) and in how
// many pieces the bytes arrive (high four bits: 31, 29 .. 1 pieces, 3 ms
// apart);
// the rest, at most 2200 bytes, is what the camera sends in answer to the
// first frame. The link waits with no message queue to look at, so the fake
// clock jumps from one arrival (or deadline) to the next.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "camera/block_loops.h"
#include "camera/camera_folders.h"
#include "camera/camera_link.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/download.h"
#include "camera/memory_line.h"
#include "camera/reply_checks.h"

namespace {

using namespace fq::cam;

class ReplayCamera final : public LineDevice {
 public:
  ReplayCamera(const uint8_t* data, size_t n, size_t pieces)
      : bytes_(data, data + n), piece_(std::max<size_t>(1, (n + pieces - 1) / pieces)) {}
  void OnReceive(MemoryLine& line, const uint8_t*, size_t) override {
    if (sent_) return;  // answers once; later attempts meet silence
    sent_ = true;
    uint64_t t = line.clock().NowMicros();
    for (size_t i = 0; i < bytes_.size(); i += piece_, t += 3000) {
      size_t k = std::min(piece_, bytes_.size() - i);
      line.Send(bytes_.data() + i, k, t);
    }
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t piece_;
  bool sent_ = false;
};

class Quiet final : public Reporter {
 public:
  void ShowMessage(int) override {}
};

}  // namespace

// Two long sequenced frames (the most any operation here reads) and some
// noise: longer replies teach nothing more and only cost time.
constexpr size_t kLongestReply = 2200;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size - 1 > kLongestReply) return 0;
  const uint8_t op = data[0];
  const size_t pieces = 1 + (15 - (op >> 4)) * 2;  // 31 (short replies nearly byte by byte) .. 1
  FakeClock clock;
  ReplayCamera camera(data + 1, size - 1, pieces);
  LineOptions options;
  options.receive_queue = 4096;
  MemoryLine line(clock, camera, options);
  Quiet reporter;
  NoMessagePump pump;
  CameraLink link(line.port(), clock, pump, reporter);
  link.port.Open("COM1");
  switch (op & 0x0F) {
    case 0: PrepareMarker(link, 7); (void)SendAndReceive(link, 50); (void)CheckMarkerAck(link); break;
    case 1: (void)Identify(link); break;
    case 2: (void)MarkerPictureList(link); break;
    case 3: (void)MarkerPictureSize(link, 1); break;
    case 4:
      link.block_count = 2;
      if (AllocatePicture(link) == 0) (void)MarkerBlockOnce(link, 1, true);
      break;
    case 5: { int count = 0; (void)SequencedPictureCount(link, count); break; }
    case 6: { std::vector<int> f; (void)SequencedFolderPage(link, f); break; }
    case 7: { MediaStatus m; (void)SequencedMediaStatus(link, m); break; }
    case 8: (void)SequencedEntryKind(link, 100, 1); break;
    case 9:
      link.block_count = 2;
      if (AllocatePicture(link) == 0) (void)FetchBlocksSequenced(link, BlockTarget::kThumbnail);
      break;
    case 10: (void)SequencedThumbnailSize(link, 3); break;
    case 11: { int next = 0; (void)SequencedNextFile(link, 100, 1, next); break; }
    case 12: link.camera_type = 2; (void)SequencedTypeProbe(link); break;
    case 13: { uint16_t v = 0; (void)SequencedReadClockItem(link, 192, 0, v); break; }
    case 14: (void)ConnectForDownload(link); break;
    default:
      // The replies of the download's own reading: media and folders, a
      // folder's files, thumbnails, the movie description.
      switch (size % 4) {
        case 1: {
          link.camera_type = 4;
          CameraMedia media;
          if (ReadMedia(link, media) == 0) (void)ReadFolderList(link, media);
          break;
        }
        case 2: {
          link.camera_type = 4;
          CameraFolder folder;
          folder.number = 100;
          (void)OpenFolder(link, folder);
          break;
        }
        case 3: {
          (void)ParseMovieDescription(std::span<const uint8_t>(data + 1, size - 1));
          link.camera_type = 2;
          Thumbnail t;
          (void)FetchThumbnailBytes(link, 1, 0, 0, t);
          break;
        }
        default:
          PrepareSequenced(link, 8, 0, 16);
          (void)SendBytewiseAndReceive(link, 50);
          (void)CheckSequencedAck(link);
          break;
      }
      break;
  }
  return 0;
}
