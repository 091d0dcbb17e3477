#include "show/win/movie_picture.h"

#include <windows.h>
#include <vfw.h>

#include <span>
#include <utility>

#include "base/messages.h"
#include "show/movie_frame.h"

namespace fq::win {
namespace {

// The library is initialised for as long as one of these lives.
class AviLibrary {
 public:
  AviLibrary() { AVIFileInit(); }
  ~AviLibrary() { AVIFileExit(); }
  AviLibrary(const AviLibrary&) = delete;
  AviLibrary& operator=(const AviLibrary&) = delete;
};

class AviFile {
 public:
  AviFile() = default;
  ~AviFile() {
    if (f_) AVIFileRelease(f_);
  }
  AviFile(const AviFile&) = delete;
  AviFile& operator=(const AviFile&) = delete;
  PAVIFILE* out() { return &f_; }
  PAVIFILE get() const { return f_; }

 private:
  PAVIFILE f_ = nullptr;
};

class AviStream {
 public:
  AviStream() = default;
  ~AviStream() { reset(); }
  AviStream(AviStream&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  AviStream& operator=(AviStream&& o) noexcept {
    if (this != &o) {
      reset();
      s_ = std::exchange(o.s_, nullptr);
    }
    return *this;
  }
  AviStream(const AviStream&) = delete;
  AviStream& operator=(const AviStream&) = delete;
  PAVISTREAM* out() { return &s_; }
  PAVISTREAM get() const { return s_; }
  explicit operator bool() const { return s_ != nullptr; }
  void reset() {
    if (s_) AVIStreamRelease(s_);
    s_ = nullptr;
  }

 private:
  PAVISTREAM s_ = nullptr;
};

class FrameExtraction {
 public:
  explicit FrameExtraction(PAVISTREAM video)
      // Asking for the best display format: the decoder picks a form the
      // display shows directly (16, 24 or 32 bits, or a palette).
      : g_(AVIStreamGetFrameOpen(video, reinterpret_cast<LPBITMAPINFOHEADER>(
                                            static_cast<INT_PTR>(AVIGETFRAMEF_BESTDISPLAYFMT)))) {}
  ~FrameExtraction() {
    if (g_) AVIStreamGetFrameClose(g_);
  }
  FrameExtraction(const FrameExtraction&) = delete;
  FrameExtraction& operator=(const FrameExtraction&) = delete;
  PGETFRAME get() const { return g_; }

 private:
  PGETFRAME g_;
};

Failure NoPicture() { return Failure{err::kCreateBitmap}; }

}  // namespace

Result<ImageRecord> ReadMovieFrame(const std::string& path) {
  AviLibrary library;
  AviFile file;
  if (AVIFileOpenA(file.out(), path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0 ||
      !file.get())
    return Failure{err::kFileCannotBeOpened};

  AVIFILEINFOA info = {};
  if (AVIFileInfoA(file.get(), &info, sizeof info) != 0) return NoPicture();
  // The first video and the first audio stream; the sound is not needed for
  // a still, but a movie stands for both.
  AviStream video, audio;
  for (DWORD i = 0; i < info.dwStreams && !(video && audio); ++i) {
    AviStream stream;
    if (AVIFileGetStream(file.get(), stream.out(), 0, static_cast<LONG>(i)) != 0 || !stream)
      continue;
    AVISTREAMINFOA si = {};
    if (AVIStreamInfoA(stream.get(), &si, sizeof si) != 0) continue;
    if (si.fccType == streamtypeVIDEO && !video) video = std::move(stream);
    else if (si.fccType == streamtypeAUDIO && !audio) audio = std::move(stream);
  }
  if (!video) return NoPicture();

  FrameExtraction frames(video.get());
  if (!frames.get()) return NoPicture();
  const auto* packed = static_cast<const uint8_t*>(AVIStreamGetFrame(frames.get(), 0));
  if (!packed) return NoPicture();
  // The library states no length: the header says how far the frame goes,
  // and is checked before anything past it is read.
  auto layout = show::MeasureFrame(std::span<const uint8_t>(packed, kInfoHeaderSize));
  if (!layout) return layout.failure();
  return show::PictureFromFrame(std::span<const uint8_t>(packed, static_cast<size_t>(layout->total)));
}

std::optional<ImageRecord> PictureFromMovie(const std::string& path) {
  auto frame = ReadMovieFrame(path);
  if (frame) return std::move(frame).value();
  if (frame.message() == err::kFileCannotBeOpened) {
    // Shown as the video library's own report, with no owner.
    MessageBoxA(nullptr, kAviOpenErrorText, std::string(kAppCaption).c_str(), MB_OK | MB_TASKMODAL);
  }
  return std::nullopt;
}

}  // namespace fq::win
