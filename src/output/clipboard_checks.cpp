#include "output/clipboard_checks.h"

#include <cstring>
#include <optional>

#include "image/bmp_file.h"

namespace fq::clip {
namespace {

constexpr size_t kHeaderSizeField = 4;
constexpr size_t kBitCountAt = 14;
constexpr size_t kCompressionAt = 16;
constexpr size_t kColorsUsedAt = 32;
constexpr size_t kCoreBitCountAt = 10;
// The most pixels a run-length picture from the clipboard may unpack to.
constexpr int64_t kMaxPackedPixels = int64_t{4096} * 4096;
// An end-of-row code (two bytes) covers at most a row; no real run-length
// picture packs more pixels into a byte than this.
constexpr int64_t kMaxPixelsPerPackedByte = 1024;

// Where the pixels start in a packed block: after the header, the colour
// masks a 40-byte header with bit fields keeps behind it, and the colour
// table. Nothing when the header cannot say.
std::optional<uint64_t> PixelOffset(std::span<const uint8_t> block) {
  if (block.size() < kHeaderSizeField) return std::nullopt;
  const uint32_t header = GetU32(block.data());
  if (header == kCoreHeaderSize) {
    if (block.size() < kCoreHeaderSize) return std::nullopt;
    const uint16_t bits = GetU16(block.data() + kCoreBitCountAt);
    return uint64_t{header} + (bits <= 8 ? (uint64_t{1} << bits) * 3 : 0);
  }
  if (header < kInfoHeaderSize || block.size() < kInfoHeaderSize) return std::nullopt;
  const uint16_t bits = GetU16(block.data() + kBitCountAt);
  const uint32_t compression = GetU32(block.data() + kCompressionAt);
  const uint32_t used = GetU32(block.data() + kColorsUsedAt);
  uint64_t offset = header;
  if (header == kInfoHeaderSize && compression == kBiBitfields) offset += 12;
  const uint64_t colors = used ? used : (bits <= 8 ? uint64_t{1} << bits : 0);
  if (colors > 256) return std::nullopt;
  return offset + colors * 4;
}

}  // namespace

Result<std::vector<uint8_t>> PathBlock(const std::string& path) {
  if (path.size() >= kPathBlockSize) return Failure{err::kFileNameTooLong};
  std::vector<uint8_t> block(kPathBlockSize, 0);
  std::memcpy(block.data(), path.data(), path.size());
  return block;
}

Result<std::string> PathFromTextBlock(std::span<const uint8_t> block) {
  const auto* text = reinterpret_cast<const char*>(block.data());
  const size_t length = strnlen(text, block.size());
  if (length == block.size()) {
    // No terminator: a text as long as its block, at least.
    return Failure{length >= kPathBlockSize ? err::kFileNameTooLong : err::kNoClipboardData};
  }
  if (length >= kPathBlockSize) return Failure{err::kFileNameTooLong};
  if (length == 0) return Failure{err::kFileDoesNotExist};
  return std::string(text, length);
}

Result<ImageRecord> PictureFromBitmapBlock(std::span<const uint8_t> block) {
  auto offset = PixelOffset(block);
  if (!offset) return Failure{err::kNoClipboardData};
  // Run-length rows may claim any size in a few bytes; a picture bigger
  // than any a thumbnail is reasonably made from is refused before its
  // rows are unpacked.
  if (GetU32(block.data()) >= kInfoHeaderSize) {
    const uint32_t compression = GetU32(block.data() + kCompressionAt);
    const int64_t w = GetI32(block.data() + 4), h = GetI32(block.data() + 8);
    const int64_t pixels = w * (h < 0 ? -h : h);
    if ((compression == kBiRle8 || compression == kBiRle4) &&
        (pixels > kMaxPackedPixels || pixels > kMaxPixelsPerPackedByte * static_cast<int64_t>(block.size())))
      return Failure{err::kBmpCannotBeAllocated};
  }
  // The block as the file it would be, read by the bitmap file reader.
  std::vector<uint8_t> file;
  try {
    file.resize(kBmpFileHeaderSize + block.size());
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  const uint64_t file_size = file.size();
  const uint64_t pixels_at = kBmpFileHeaderSize + *offset;
  file[0] = 'B';
  file[1] = 'M';
  PutU32(file.data() + 2, file_size > 0xFFFFFFFFu ? 0u : static_cast<uint32_t>(file_size));
  PutU32(file.data() + 10, pixels_at > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(pixels_at));
  std::memcpy(file.data() + kBmpFileHeaderSize, block.data(), block.size());
  auto read = ReadBitmapBytes(file);
  if (!read) return read.failure();
  // The same gate the image window applies: pixels promised but not there.
  const ImageRecord& r = read->record;
  if (ImageCompression(r) == kBiRgb && !ImageHasAllRows(r)) return Failure{err::kFailedToReadFile};
  auto normal = NormalizeImage(r);
  if (!normal) return normal.failure();
  ImageRecord out = std::move(read->record);
  normal->ApplyTo(out);
  return out;
}

}  // namespace fq::clip
