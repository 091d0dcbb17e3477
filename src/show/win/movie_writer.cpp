#include "show/win/movie_writer.h"

#include <vfw.h>

#include <vector>

#include "base/file_io.h"
#include "image/image_record.h"
#include "show/movie_file.h"

namespace fq::win {
namespace {

constexpr DWORD kLowestVersion = 0x0001000A;  // 1.10
constexpr DWORD kOptionFlags = AVICOMPRESSF_DATARATE | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;

// The library's objects, released in reverse order of making.
struct Library {
  Library() { AVIFileInit(); }
  ~Library() { AVIFileExit(); }
};
struct FileRef {
  PAVIFILE p = nullptr;
  ~FileRef() {
    if (p) AVIFileRelease(p);
  }
};
struct StreamRef {
  PAVISTREAM p = nullptr;
  ~StreamRef() { Reset(); }
  void Reset() {
    if (p) AVIStreamRelease(p);
    p = nullptr;
  }
};

enum class Attempt { kWritten, kRefused, kCancelled, kFailed };

struct Run {
  HWND owner;
  const std::vector<ImageRecord>& frames;
  uint32_t rate;
  const std::string& path;
  int failure = err::kCannotCreateFile;
};

// One pass of the options loop: the file, its stream, the user's choice,
// the stream the frames go into.
Attempt WriteOnce(Run& run) {
  const ImageRecord& first = run.frames[0];
  const LONG width = ImageWidth(first), height = ImageHeight(first);
  FileRef file;
  if (AVIFileOpenA(&file.p, run.path.c_str(), OF_CREATE | OF_WRITE, nullptr) != 0) return Attempt::kFailed;
  AVISTREAMINFOA info{};
  info.fccType = streamtypeVIDEO;
  info.fccHandler = 0;
  info.dwScale = 1;
  info.dwRate = run.rate;
  SetRect(&info.rcFrame, 0, 0, width, height);
  StreamRef stream;
  if (AVIFileCreateStreamA(file.p, &stream.p, &info) != 0) return Attempt::kFailed;

  AVICOMPRESSOPTIONS options{};
  options.fccType = streamtypeVIDEO;
  options.fccHandler = 0;
  options.dwKeyFrameEvery = static_cast<DWORD>(-1);
  options.dwQuality = static_cast<DWORD>(-1);
  options.dwBytesPerSecond = 0;
  options.dwFlags = kOptionFlags;
  options.dwInterleaveEvery = 1;
  LPAVICOMPRESSOPTIONS option_list[1] = {&options};
  if (!AVISaveOptions(run.owner, 0, 1, &stream.p, option_list)) return Attempt::kCancelled;

  StreamRef compressed;
  PAVISTREAM target = stream.p;
  if (AVIMakeCompressedStream(&compressed.p, stream.p, &options, nullptr) == 0) {
    target = compressed.p;
  } else {
    compressed.p = nullptr;  // no compressor for the choice: the frames go as they are
  }
  const size_t format_bytes = ImagePixelOffset(first);
  std::vector<uint8_t> format(first.data(), first.data() + format_bytes);
  HRESULT set = AVIStreamSetFormat(target, 0, format.data(), static_cast<LONG>(format.size()));
  if (set != 0) {
    AVISaveOptionsFree(1, option_list);
    if (target == compressed.p) return Attempt::kRefused;
    return Attempt::kFailed;
  }
  const uint64_t frame_bytes = show::MovieFrameBytes(width, height);
  for (size_t i = 0; i < run.frames.size(); ++i) {
    if (AVIStreamWrite(target, static_cast<LONG>(i), 1, const_cast<uint8_t*>(ImageBits(run.frames[i])),
                       static_cast<LONG>(frame_bytes), AVIIF_KEYFRAME, nullptr, nullptr) != 0) {
      AVISaveOptionsFree(1, option_list);
      run.failure = err::kDiskFull;
      return Attempt::kFailed;
    }
  }
  AVISaveOptionsFree(1, option_list);
  return Attempt::kWritten;
}

}  // namespace

Status WriteMovieFile(HWND owner, std::span<const std::string> frame_paths, uint8_t rate_mode,
                      const std::string& path) {
  if (VideoForWindowsVersion() < kLowestVersion) {
    MessageBeep(MB_ICONHAND);
    MessageBoxA(owner, kVideoTooOldText, kVideoErrorCaption, MB_ICONHAND | MB_OK);
    return Failure{err::kUnexpected};
  }
  auto frames = show::LoadMovieFrames(frame_paths);
  if (!frames) return frames.failure();
  if (frames->empty()) return Failure{err::kCreateBitmap};
  Run run{owner, *frames, show::MovieFrameRate(rate_mode), path};
  for (;;) {
    Attempt a;
    {
      Library library;
      a = WriteOnce(run);
    }
    switch (a) {
      case Attempt::kWritten:
        return {};
      case Attempt::kRefused:
        MessageBoxA(nullptr, kChangeOptionsText, "Fotaquill", MB_OK);
        continue;
      case Attempt::kCancelled:
        io::Fs().Remove(path);
        return Failure{kUserCancelledMovie};
      case Attempt::kFailed:
        io::Fs().Remove(path);
        return Failure{run.failure};
    }
  }
}

}  // namespace fq::win
