// Small JPEG helpers for the camera simulator: pictures it makes itself when
// it has nothing to serve, thumbnails of what it serves, and the pixel size
// read from a picture's frame header. Written straight against libjpeg so
// that the simulator depends on nothing of the program's own picture code.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace fq::camsim {

// A baseline JPEG of `width` × `height` (chroma halved horizontally): a
// colour gradient whose hue depends on `index`, with `index` bright squares
// along the top so that pictures can be told apart at a glance. Empty on
// failure.
std::vector<uint8_t> MakeDemoPicture(int width, int height, int index, int quality = 80);

// A thumbnail of a JPEG picture: decoded at the largest scale of 1/1, 1/2,
// 1/4 or 1/8 that fits 160 × 120 (or 1/8 when none does) and encoded again
// at quality 75. Empty when the picture cannot be decoded.
std::vector<uint8_t> MakeThumbnail(std::span<const uint8_t> jpeg);
// The picture's APP1 "Exif" segment (marker to end), or nothing; the
// thumbnail carries a copy of it.
std::span<const uint8_t> ExifSegment(std::span<const uint8_t> jpeg);

struct PixelSize {
  int width = 0;
  int height = 0;
};
// Width and height from the first frame header (SOF0..SOF15 except the
// DHT/JPG/DAC markers); nothing when the bytes are not a JPEG or have none.
std::optional<PixelSize> ReadJpegSize(std::span<const uint8_t> jpeg);

// What the camera looks at in a picture sent to it: the first frame
// header's size, components, the first component's sampling factors, and
// whether it is a baseline (or extended sequential) Huffman frame.
struct FrameLayout {
  int width = 0, height = 0;
  int components = 0;
  int luma_h = 0, luma_v = 0;
  int precision = 0;
  bool sequential = false;  // SOF0 or SOF1
};
std::optional<FrameLayout> ReadFrameLayout(std::span<const uint8_t> jpeg);

// True when the bytes start with the start-of-image marker.
inline bool LooksLikeJpeg(std::span<const uint8_t> b) {
  return b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}

}  // namespace fq::camsim
