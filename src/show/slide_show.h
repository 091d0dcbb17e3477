// The slide show's rules that need no window: which picture comes next in
// album or random order, where a picture goes on the screen, how often the
// picture changes, and what kind of file a picture is.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"
#include "image/image_record.h"

namespace fq::show {

// Where a w × h picture is drawn on a W × H screen.
struct SlideRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const SlideRect&, const SlideRect&) = default;
};

inline constexpr int kSizeFullScreen = 0;  // fitted to the screen
inline constexpr int kSizeOwn = 1;         // own size, reduced only when larger

// Full screen: landscape and square pictures take the screen's width (or,
// when that makes them too tall, its height, centred horizontally at the
// top); portrait ones take its height, centred horizontally at the top.
// Own size: a picture that fits is centred at its own size, any other is
// fitted as in full screen. Sizes are computed in 64 bits.
SlideRect SlideDestination(int screen_width, int screen_height, int picture_width,
                           int picture_height, int size_mode);

// The picture at the destination's size as the colour-on-colour stretch
// makes it: each destination pixel takes the source pixel under its centre
// (rows and columns are dropped or repeated, never blended). 8-bit
// pictures keep their palette; 1- and 4-bit ones come out at 24 bits.
// Sizes 1..kMaxImageDimension. Failures: kCreateBitmap, kMemory.
Result<ImageRecord> ScaleForSlide(const ImageRecord& picture, int width, int height);

// Milliseconds between pictures for a speed of 0 (10 s) to 10; 0 for speed
// 10 means the shortest period the system allows. Speeds outside 0..10 are
// never stored by the show's reader; they count as 0 here too.
int SlidePeriodMs(int speed);

// The order in which the pictures of a show come.
class SlideOrder {
 public:
  // One number per draw, from a generator the caller chooses (the window
  // layer adds the milliseconds since the system started).
  using Draw = std::function<uint32_t()>;

  // `count` pictures (at least 1); random order draws with `draw`.
  SlideOrder(int count, bool random, Draw draw);

  // The first picture: index 0 in album order; in random order `ticks`
  // modulo the count, marked as shown.
  int First(uint32_t ticks);
  // The picture after the current one: the next index, wrapping, in album
  // order; in random order a drawn index other than the last one, or, when
  // that was shown already, the lowest one not yet shown — and once every
  // picture has been shown, the marks are cleared and index 0 comes again.
  int Next();
  // The picture before the current one (album order, wrapping), the next
  // one in random order; nothing with a single picture.
  std::optional<int> Previous();

  int current() const { return current_; }
  int count() const { return count_; }
  bool random() const { return random_; }

 private:
  int TakeRandom();

  int count_;
  bool random_;
  Draw draw_;
  int current_ = 0;
  int last_ = 0;              // random order: the index shown last
  std::vector<bool> shown_;   // random order: one mark per picture
};

// What a picture file of a show is, by its content.
enum class SlideKind { kBmp, kJpeg, kMovie, kOther };
// Tested as files are opened anywhere in the program: JPEG first, then the
// bitmap file header, then the movie container; anything else (albums and
// calendars among them, and files that cannot be read) is kOther.
SlideKind SlideKindOf(const std::string& path);

}  // namespace fq::show
