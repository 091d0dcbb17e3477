// Bringing a record read from a file or taken from elsewhere to an
// uncompressed form: run-length pictures decoded, 16- and 32-bit pictures
// widened to 24 bits.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

#include "image/image_record.h"
#include "image/record_layout.h"

namespace fq {

namespace {

// ---------------------------------------------------------------------------
// Run-length decoding.

// The output picture and the write position. Every pixel is clipped to its
// row and to the picture, so no stream, however damaged, writes outside it.
class RunLengthCanvas {
 public:
  RunLengthCanvas(uint8_t* bits, uint64_t stride, int64_t width, int64_t height, int bit_count,
                  uint32_t colors)
      : bits_(bits), stride_(stride), width_(width), height_(height), bit_count_(bit_count),
        colors_(colors) {}

  bool done() const { return y_ >= height_; }

  void Put(uint8_t index) {
    if (x_ < width_) {
      // Indexes the palette does not have read as entry 0.
      if (index >= colors_) index = 0;
      uint8_t* row = bits_ + static_cast<uint64_t>(y_) * stride_;
      if (bit_count_ == 8) {
        row[x_] = index;
      } else {
        uint8_t& b = row[x_ >> 1];
        b = (x_ & 1) ? static_cast<uint8_t>((b & 0xF0) | index)
                     : static_cast<uint8_t>((b & 0x0F) | (index << 4));
      }
    }
    ++x_;
  }

  // A run of `count` pixels: for 4 bits the value holds two pixels, high
  // nibble first, alternating.
  void Run(int count, uint8_t value) {
    const int64_t visible = std::clamp<int64_t>(width_ - x_, 0, count);
    if (bit_count_ == 8) {
      for (int64_t i = 0; i < visible; ++i) Put(value);
    } else {
      const uint8_t pair[2] = {static_cast<uint8_t>(value >> 4), static_cast<uint8_t>(value & 0x0F)};
      for (int64_t i = 0; i < visible; ++i) Put(pair[i & 1]);
    }
    x_ += count - visible;
  }

  void EndOfRow() {
    x_ = 0;
    ++y_;
  }

  void Move(uint8_t dx, uint8_t dy) {
    x_ += dx;
    y_ += dy;
  }

 private:
  uint8_t* bits_;
  uint64_t stride_;
  int64_t width_, height_;
  int bit_count_;
  uint32_t colors_;
  int64_t x_ = 0, y_ = 0;
};

// Reads the stream of byte pairs until end of picture, until the picture is
// full, or until the input ends (a pair, escape or literal cut short by the
// end of the input ends decoding after what it held was written).
void DecodeStream(std::span<const uint8_t> in, RunLengthCanvas& out, int bit_count) {
  const size_t n = in.size();
  size_t pos = 0;
  while (!out.done() && n - pos >= 2) {
    const uint8_t first = in[pos];
    const uint8_t second = in[pos + 1];
    pos += 2;
    if (first > 0) {
      out.Run(first, second);
      continue;
    }
    switch (second) {
      case 0:
        out.EndOfRow();
        break;
      case 1:
        return;
      case 2:
        // Position delta: right by dx, up (toward later rows) by dy. The
        // pixels jumped over stay 0, as the output starts zero-filled.
        if (n - pos < 2) return;
        out.Move(in[pos], in[pos + 1]);
        pos += 2;
        break;
      default: {
        const size_t count = second;
        const size_t bytes = bit_count == 8 ? count : (count + 1) / 2;
        const size_t held = std::min(bytes, n - pos);
        for (size_t i = 0; i < count; ++i) {
          const size_t at = bit_count == 8 ? i : i / 2;
          if (at >= held) return;
          const uint8_t b = in[pos + at];
          out.Put(bit_count == 8 ? b : static_cast<uint8_t>((i & 1) ? (b & 0x0F) : (b >> 4)));
        }
        // Literals are padded to a 16-bit boundary.
        pos += bytes + (bytes & 1);
        if (pos > n) return;
        break;
      }
    }
  }
}

Result<Converted> DecodeRunLength(const ImageRecord& r, int bit_count) {
  const int32_t width = ImageWidth(r);
  const int32_t height = ImageHeight(r);
  // Run-length pictures are always stored bottom-up.
  if (!layout::ValidDimensions(width, height)) return Failure{err::kCreateBitmap};
  const uint32_t max_colors = 1u << bit_count;
  const uint32_t colors = std::min(ImageColorCount(r), max_colors);
  const uint32_t colors_used = std::min(GetU32(r.data() + 32), max_colors);
  auto out = ImageRecord::Create(width, height, static_cast<uint16_t>(bit_count), colors_used);
  if (!out) return out.failure();

  layout::InfoHeader h;
  h.width = width;
  h.height = height;
  h.bit_count = static_cast<uint16_t>(bit_count);
  h.image_size = static_cast<uint32_t>(ImageRowStride(width, bit_count) * static_cast<uint64_t>(height));
  h.x_pels_per_meter = layout::XPelsPerMeter(r);
  h.y_pels_per_meter = layout::YPelsPerMeter(r);
  h.colors_used = colors_used;
  h.colors_important = std::min(GetU32(r.data() + 36), colors);
  layout::WriteInfoHeader(out->data(), h);
  uint8_t* pal = out->data() + kInfoHeaderSize;
  layout::CopyPaletteAs4(r, pal, colors);

  const size_t offset = ImagePixelOffset(r);
  std::span<const uint8_t> in;
  if (offset > 0 && offset < r.size()) in = {r.data() + offset, r.size() - offset};
  RunLengthCanvas canvas(ImageBits(*out), ImageRowStride(width, bit_count), width, height,
                         bit_count, colors);
  DecodeStream(in, canvas, bit_count);
  return Converted::New(std::move(out).value());
}

// ---------------------------------------------------------------------------
// 16- and 32-bit pictures.

enum class Packing { k565, k555, k888 };

// The colour masks sit at byte 40: right after a 40-byte header, or inside
// a longer one.
std::optional<Packing> PackingOf(const ImageRecord& r) {
  const uint16_t bits = ImageBitCount(r);
  const uint32_t compression = ImageCompression(r);
  if (compression == kBiRgb) {
    if (bits == 16) return Packing::k555;
    if (bits == 32) return Packing::k888;
    return std::nullopt;
  }
  if (compression != kBiBitfields || (bits != 16 && bits != 32)) return std::nullopt;
  const uint32_t header = ImageHeaderSize(r);
  if ((header != kInfoHeaderSize && header < 52) || r.size() < 52) return std::nullopt;
  const uint32_t red = GetU32(r.data() + 40), green = GetU32(r.data() + 44),
                 blue = GetU32(r.data() + 48);
  if (bits == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x001F) return Packing::k565;
  if (bits == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F) return Packing::k555;
  if (bits == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF) return Packing::k888;
  return std::nullopt;
}

Result<Converted> WidenTo24(const ImageRecord& r, Packing packing) {
  const int32_t width = ImageWidth(r);
  const int32_t height = ImageHeight(r);
  const int64_t rows = std::abs(static_cast<int64_t>(height));
  if (!layout::ValidDimensions(width, rows)) return Failure{err::kCreateBitmap};
  auto out = ImageRecord::Create(width, static_cast<int32_t>(rows), 24);
  if (!out) return out.failure();
  const uint64_t out_stride = ImageRowStride(width, 24);
  layout::InfoHeader h;
  h.width = width;
  h.height = height;  // a top-down record stays top-down
  h.bit_count = 24;
  h.image_size = static_cast<uint32_t>(out_stride * static_cast<uint64_t>(rows));
  h.x_pels_per_meter = layout::XPelsPerMeter(r);
  h.y_pels_per_meter = layout::YPelsPerMeter(r);
  layout::WriteInfoHeader(out->data(), h);

  const layout::RowReader in(r);
  const size_t pixel_bytes = packing == Packing::k888 ? 4 : 2;
  uint8_t* dst_bits = out->data() + kInfoHeaderSize;
  for (int64_t y = 0; y < rows; ++y) {
    const std::span<const uint8_t> src = in.Row(y);
    uint8_t* dst = dst_bits + static_cast<uint64_t>(y) * out_stride;
    // Pixels the block does not hold stay black.
    const size_t present = std::min<size_t>(static_cast<size_t>(width), src.size() / pixel_bytes);
    const uint8_t* s = src.data();
    for (size_t x = 0; x < present; ++x, dst += 3) {
      if (packing == Packing::k888) {
        dst[0] = s[4 * x];
        dst[1] = s[4 * x + 1];
        dst[2] = s[4 * x + 2];
        continue;
      }
      const uint16_t v = GetU16(s + 2 * x);
      dst[0] = static_cast<uint8_t>((v & 0x1F) << 3);
      if (packing == Packing::k565) {
        dst[1] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
        dst[2] = static_cast<uint8_t>(((v >> 11) & 0x1F) << 3);
      } else {
        dst[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
        dst[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
      }
    }
  }
  return Converted::New(std::move(out).value());
}

}  // namespace

Result<Converted> NormalizeImage(const ImageRecord& r) {
  if (!ImageIsInfoForm(r)) return Converted::Same();
  const uint32_t compression = ImageCompression(r);
  const uint16_t bits = ImageBitCount(r);
  if (compression == kBiRle8 && bits == 8) return DecodeRunLength(r, 8);
  if (compression == kBiRle4 && bits == 4) return DecodeRunLength(r, 4);
  if (const auto packing = PackingOf(r)) return WidenTo24(r, *packing);
  return Converted::Same();
}

}  // namespace fq
