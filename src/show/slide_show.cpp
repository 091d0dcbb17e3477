#include "show/slide_show.h"

#include <cstring>
#include <vector>

#include "base/file_io.h"
#include "image/jpeg_checks.h"

namespace fq::show {
namespace {

int Scaled(int64_t a, int64_t b, int64_t c) { return static_cast<int>(a * b / c); }

// Fitted to the screen, keeping the picture's proportions.
SlideRect Fit(int W, int H, int w, int h) {
  SlideRect r;
  if (w < h) {
    r.height = H;
    r.width = Scaled(H, w, h);
    if (r.width <= W) {
      r.x = (W - r.width) / 2;
      return r;
    }
    // A portrait picture on a screen narrower than the picture's
    // proportions: the width decides instead.
  }
  r.width = W;
  r.height = Scaled(W, h, w);
  r.x = 0;
  r.y = (H - r.height) / 2;
  if (r.height > H) {
    r.height = H;
    r.width = Scaled(H, w, h);
    r.x = (W - r.width) / 2;
    r.y = 0;
  }
  return r;
}

constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kMovieHeaderBytes = 16;
// Retries of a random draw that keeps giving the last picture before the
// following one is taken instead (a generator stuck on one value must not
// hang the show).
constexpr int kMaxDraws = 64;

}  // namespace

Result<ImageRecord> ScaleForSlide(const ImageRecord& picture, int width, int height) {
  if (width < 1 || height < 1 || width > kMaxImageDimension || height > kMaxImageDimension)
    return Failure{err::kCreateBitmap};
  const ImageRecord* source = &picture;
  ImageRecord expanded;
  const uint16_t bits = ImageBitCount(picture);
  if (ImageCompression(picture) != kBiRgb || !ImageIsInfoForm(picture) ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 24) || ImageHeight(picture) <= 0 ||
      !ImageHasAllRows(picture))
    return Failure{err::kCreateBitmap};
  if (bits == 1 || bits == 4) {
    auto wide = Expand8To24(picture);
    if (!wide) return wide.failure();
    expanded = std::move(wide).value();
    source = &expanded;
  }
  const ImageRecord& in = *source;
  const int sw = ImageWidth(in), sh = ImageHeight(in);
  const int out_bits = ImageBitCount(in);
  const uint32_t colors = out_bits == 8 ? ImageColorCount(in) : 0;
  auto made = ImageRecord::Create(width, height, static_cast<uint16_t>(out_bits), colors);
  if (!made) return made.failure();
  ImageRecord& out = *made;
  // Resolution and palette as the source's.
  std::memcpy(out.data() + 24, in.data() + 24, 8);
  if (colors) std::memcpy(out.data() + kInfoHeaderSize, in.data() + ImageHeaderSize(in), colors * 4);

  const size_t bpp = static_cast<size_t>(out_bits / 8);
  const uint64_t in_stride = ImageRowStride(sw, out_bits), out_stride = ImageRowStride(width, out_bits);
  std::vector<uint32_t> column(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x)
    column[static_cast<size_t>(x)] =
        static_cast<uint32_t>((2 * int64_t{x} + 1) * sw / (2 * int64_t{width})) * static_cast<uint32_t>(bpp);
  const uint8_t* in_bits = ImageBits(in);
  uint8_t* out_bits_p = ImageBits(out);
  // Rows are stored bottom-up in both; row y of the output takes the source
  // row under its centre, counted the same way.
  for (int y = 0; y < height; ++y) {
    const int64_t sy = (2 * int64_t{y} + 1) * sh / (2 * int64_t{height});
    const uint8_t* src = in_bits + static_cast<uint64_t>(sy) * in_stride;
    uint8_t* dst = out_bits_p + static_cast<uint64_t>(y) * out_stride;
    if (bpp == 3) {
      for (int x = 0; x < width; ++x, dst += 3) {
        const uint8_t* p = src + column[static_cast<size_t>(x)];
        dst[0] = p[0];
        dst[1] = p[1];
        dst[2] = p[2];
      }
    } else {
      for (int x = 0; x < width; ++x) dst[x] = src[column[static_cast<size_t>(x)]];
    }
  }
  return std::move(out);
}

SlideRect SlideDestination(int W, int H, int w, int h, int size_mode) {
  if (W <= 0 || H <= 0 || w <= 0 || h <= 0) return {};
  if (size_mode == kSizeOwn && w <= W && h <= H) return {(W - w) / 2, (H - h) / 2, w, h};
  return Fit(W, H, w, h);
}

int SlidePeriodMs(int speed) {
  if (speed < 0 || speed > 10) speed = 0;
  return (10 - speed) * 1000;
}

SlideOrder::SlideOrder(int count, bool random, Draw draw)
    : count_(count < 1 ? 1 : count), random_(random), draw_(std::move(draw)) {
  if (random_) shown_.assign(static_cast<size_t>(count_), false);
}

int SlideOrder::First(uint32_t ticks) {
  if (!random_) return current_ = 0;
  current_ = static_cast<int>(ticks % static_cast<uint32_t>(count_));
  shown_[static_cast<size_t>(current_)] = true;
  last_ = current_;
  return current_;
}

int SlideOrder::TakeRandom() {
  if (count_ == 1) return current_;
  int pick = last_;
  for (int i = 0; i < kMaxDraws && pick == last_; ++i)
    pick = static_cast<int>((draw_ ? draw_() : 0) % static_cast<uint32_t>(count_));
  if (pick == last_) pick = (last_ + 1) % count_;
  if (shown_[static_cast<size_t>(pick)]) {
    int lowest = -1;
    for (int i = 0; i < count_ && lowest < 0; ++i)
      if (!shown_[static_cast<size_t>(i)]) lowest = i;
    if (lowest < 0) {
      // Every picture has been shown: a new round starts with the first.
      shown_.assign(shown_.size(), false);
      lowest = 0;
    }
    pick = lowest;
  }
  shown_[static_cast<size_t>(pick)] = true;
  last_ = pick;
  return pick;
}

int SlideOrder::Next() {
  if (random_) return current_ = TakeRandom();
  return current_ = (current_ + 1) % count_;
}

std::optional<int> SlideOrder::Previous() {
  if (count_ == 1) return std::nullopt;
  if (random_) return current_ = TakeRandom();
  return current_ = (current_ + count_ - 1) % count_;
}

SlideKind SlideKindOf(const std::string& path) {
  if (IsJpegFile(path)) return SlideKind::kJpeg;
  auto f = io::Fs().OpenRead(path);
  if (!f) return SlideKind::kOther;
  uint8_t head[kMovieHeaderBytes] = {};
  const size_t n = f->Read(head, sizeof head);
  if (n >= kBmpFileHeaderBytes && head[0] == 'B' && head[1] == 'M') return SlideKind::kBmp;
  if (n >= kMovieHeaderBytes && std::memcmp(head, "RIFF", 4) == 0 &&
      std::memcmp(head + 8, "AVI", 3) == 0)
    return SlideKind::kMovie;
  return SlideKind::kOther;
}

}  // namespace fq::show
