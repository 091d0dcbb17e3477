#include "image/bmp_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "image/bitmap_unpack.h"
#include "base/file_io.h"

namespace fq {
namespace {

// Files are read in pieces no larger than this.
constexpr size_t kReadPiece = 32767;
// Largest header read: the 40-byte fields plus the colour masks of the longer
// header forms.
constexpr size_t kHeaderBytesUsed = 52;

// The bytes of one BMP, wherever they are: a file read through the installed
// file system, or memory.
class Source {
 public:
  virtual ~Source() = default;
  // Bytes from the BMP's start to the end of the file.
  virtual uint64_t size() const = 0;
  // n bytes at `offset` from the BMP's start; false on a failed seek or short read.
  virtual bool ReadAt(uint64_t offset, uint8_t* dst, size_t n) = 0;
  // The same, appended to `out` (whose capacity the caller reserved), so
  // that a large block is written once, not zero-filled first.
  virtual bool AppendAt(uint64_t offset, size_t n, std::vector<uint8_t>& out) = 0;
};

class MemorySource final : public Source {
 public:
  explicit MemorySource(std::span<const uint8_t> b) : b_(b) {}
  uint64_t size() const override { return b_.size(); }
  bool ReadAt(uint64_t offset, uint8_t* dst, size_t n) override {
    if (offset > b_.size() || n > b_.size() - offset) return false;
    if (n) std::memcpy(dst, b_.data() + offset, n);
    return true;
  }
  bool AppendAt(uint64_t offset, size_t n, std::vector<uint8_t>& out) override {
    if (offset > b_.size() || n > b_.size() - offset) return false;
    const auto from = b_.begin() + static_cast<std::ptrdiff_t>(offset);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(n));
    return true;
  }

 private:
  std::span<const uint8_t> b_;
};

class FileSource final : public Source {
 public:
  FileSource(io::File& f, uint64_t start, uint64_t size) : f_(f), start_(start), size_(size) {}
  uint64_t size() const override { return size_; }
  bool ReadAt(uint64_t offset, uint8_t* dst, size_t n) override {
    if (!f_.Seek(start_ + offset)) return false;
    while (n > 0) {
      size_t piece = std::min(n, kReadPiece);
      if (f_.Read(dst, piece) != piece) return false;
      dst += piece;
      n -= piece;
    }
    return true;
  }
  bool AppendAt(uint64_t offset, size_t n, std::vector<uint8_t>& out) override {
    if (!f_.Seek(start_ + offset)) return false;
    uint8_t piece[kReadPiece];
    while (n > 0) {
      const size_t want = std::min(n, kReadPiece);
      if (f_.Read(piece, want) != want) return false;
      out.insert(out.end(), piece, piece + want);
      n -= want;
    }
    return true;
  }

 private:
  io::File& f_;
  uint64_t start_, size_;
};

// The fields of a file's record header, both forms.
struct Header {
  uint32_t size = 0;
  bool core = false;
  int64_t width = 0, height = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t colors_used = 0;
  uint8_t info[kInfoHeaderSize] = {};  // the 40-byte fields as the file has them (zero beyond its header)
  ColorMasks masks;
  bool masks_after_header = false;  // a 40-byte header keeps its masks in the 12 bytes after it
};

bool ValidDepth(const Header& h) {
  switch (h.bits) {
    case 1: case 4: case 8: case 24: return true;
    case 16: case 32: return !h.core;
    default: return false;
  }
}

bool ValidCompression(const Header& h) {
  switch (h.compression) {
    case kBiRgb: return true;
    case kBiRle8: return h.bits == 8;
    case kBiRle4: return h.bits == 4;
    case kBiBitfields: return h.bits == 16 || h.bits == 32;
    default: return false;
  }
}

// Parses the record header whose first `n` bytes are in `b` (n ≥ 4).
// Failure: kBmpCannotBeAllocated for any header this program cannot hold.
Result<Header> ParseHeader(const uint8_t* b, size_t n, uint64_t after_file_header) {
  Header h;
  h.size = GetU32(b);
  // The header must lie inside the file; 13 to 15 bytes cannot hold a bit count.
  if (h.size < kCoreHeaderSize || h.size > after_file_header ||
      (h.size > kCoreHeaderSize && h.size < 16))
    return Failure{err::kBmpCannotBeAllocated};
  if (h.size == kCoreHeaderSize) {
    h.core = true;
    h.width = GetU16(b + 4);
    h.height = GetU16(b + 6);
    h.bits = GetU16(b + 10);
  } else {
    std::memcpy(h.info, b, std::min<size_t>(n, kInfoHeaderSize));
    h.width = GetI32(h.info + 4);
    h.height = GetI32(h.info + 8);
    h.bits = GetU16(h.info + 14);
    h.compression = GetU32(h.info + 16);
    h.colors_used = GetU32(h.info + 32);
    if (h.compression == kBiBitfields) {
      if (n >= 52) {
        h.masks = {GetU32(b + 40), GetU32(b + 44), GetU32(b + 48)};
      } else {
        h.masks_after_header = true;
      }
    }
  }
  if (!ValidDepth(h) || !ValidCompression(h)) return Failure{err::kBmpCannotBeAllocated};
  int64_t rows = h.height < 0 ? -h.height : h.height;
  if (h.width <= 0 || h.width > kMaxImageDimension || rows == 0 || rows > kMaxImageDimension)
    return Failure{err::kBmpCannotBeAllocated};
  // Run-length pictures are only stored bottom-up.
  if (h.height < 0 && (h.compression == kBiRle8 || h.compression == kBiRle4))
    return Failure{err::kBmpCannotBeAllocated};
  if (h.colors_used > 256) return Failure{err::kBmpCannotBeAllocated};
  return h;
}

uint32_t PaletteEntries(const Header& h) {
  if (!h.core && h.colors_used != 0) return h.colors_used;
  return h.bits <= 8 ? 1u << h.bits : 0;
}

void FlipRows(uint8_t* bits, uint64_t stride, int64_t rows) {
  std::vector<uint8_t> tmp(stride);
  for (int64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = bits + top * stride;
    uint8_t* b = bits + bottom * stride;
    std::memcpy(tmp.data(), a, stride);
    std::memcpy(a, b, stride);
    std::memcpy(b, tmp.data(), stride);
  }
}

Result<BitmapRead> ReadFrom(Source& src) {
  const uint64_t total = src.size();
  uint8_t file_header[kBmpFileHeaderSize];
  if (total < kBmpFileHeaderSize) return Failure{err::kBmpCannotBeAllocated};
  if (!src.ReadAt(0, file_header, kBmpFileHeaderSize)) return Failure{err::kFailedToReadFile};
  if (file_header[0] != 'B' || file_header[1] != 'M') return Failure{err::kBmpCannotBeAllocated};
  const uint64_t after = total - kBmpFileHeaderSize;
  const uint64_t pixel_offset = GetU32(file_header + 10);
  if (after < 4) return Failure{err::kBmpCannotBeAllocated};

  uint8_t raw[kHeaderBytesUsed] = {};
  size_t raw_n = static_cast<size_t>(std::min<uint64_t>(after, kHeaderBytesUsed));
  if (!src.ReadAt(kBmpFileHeaderSize, raw, raw_n)) return Failure{err::kFailedToReadFile};
  raw_n = std::min<size_t>(raw_n, GetU32(raw));  // fields beyond the header are not its own
  auto parsed = ParseHeader(raw, raw_n, after);
  if (!parsed) return parsed.failure();
  Header& h = *parsed;

  // Where the colour table starts, and where the pixels start.
  uint64_t table = kBmpFileHeaderSize + h.size + (h.masks_after_header ? 12 : 0);
  if (pixel_offset < table || pixel_offset > total) return Failure{err::kBmpCannotBeAllocated};
  if (h.masks_after_header) {
    uint8_t m[12];
    if (!src.ReadAt(kBmpFileHeaderSize + h.size, m, 12)) return Failure{err::kFailedToReadFile};
    h.masks = {GetU32(m), GetU32(m + 4), GetU32(m + 8)};
  }

  const uint32_t entries = PaletteEntries(h);
  const uint32_t entry_bytes = h.core ? 3 : 4;
  const uint64_t palette_bytes = uint64_t{entries} * entry_bytes;
  // A palette shorter than declared: the entries the file has, the rest black.
  const uint64_t palette_read = std::min(palette_bytes, pixel_offset - table);
  const uint64_t pixel_bytes = total - pixel_offset;  // D
  const int64_t rows = h.height < 0 ? -h.height : h.height;
  const uint64_t stride = ImageRowStride(h.width, h.bits);
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    if (pixel_bytes == 0) return Failure{err::kFailedToReadFile};
  } else if (stride * static_cast<uint64_t>(rows) > pixel_bytes) {
    return Failure{err::kFailedToReadFile};
  }

  // The record keeps colour masks right after its 40-byte header.
  const uint32_t head = h.core ? kCoreHeaderSize : kInfoHeaderSize;
  const uint32_t mask_bytes = h.compression == kBiBitfields ? 12 : 0;
  const uint64_t block = head + mask_bytes + palette_bytes + pixel_bytes;
  if (block > kMaxImageBlockBytes) return Failure{err::kMemory};
  // Header, masks and palette zero-filled first; the pixels are appended as
  // they are read.
  std::vector<uint8_t> bytes;
  try {
    bytes.reserve(static_cast<size_t>(block));
    bytes.resize(static_cast<size_t>(head + mask_bytes + palette_bytes));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  uint8_t* out = bytes.data();
  if (h.core) {
    std::memcpy(out, raw, kCoreHeaderSize);
  } else {
    std::memcpy(out, h.info, kInfoHeaderSize);
    PutU32(out, kInfoHeaderSize);
  }
  if (mask_bytes) {
    PutU32(out + head, h.masks.red);
    PutU32(out + head + 4, h.masks.green);
    PutU32(out + head + 8, h.masks.blue);
  }
  if (!src.ReadAt(table, out + head + mask_bytes, static_cast<size_t>(palette_read)) ||
      !src.AppendAt(pixel_offset, static_cast<size_t>(pixel_bytes), bytes))
    return Failure{err::kFailedToReadFile};
  ImageRecord rec = ImageRecord::Adopt(std::move(bytes));
  out = rec.data();
  uint8_t* const pixels = out + head + mask_bytes + palette_bytes;

  BitmapRead result;
  result.stored_size = static_cast<size_t>(h.size + mask_bytes + palette_bytes + pixel_bytes);

  if (h.core) {
    auto info = CoreToInfo(rec);
    if (!info) return info.failure();
    result.record = std::move(*info);
    return result;
  }
  if (h.height < 0) {
    FlipRows(pixels, stride, rows);
    PutI32(out + 8, static_cast<int32_t>(rows));
  }
  // The standard masks stay for normalisation; a record with any others
  // could not be shown or saved, so it is unpacked now.
  if (h.compression == kBiBitfields &&
      !(h.bits == 16 && (h.masks == kMasks565 || h.masks == kMasks555)) &&
      !(h.bits == 32 && h.masks == kMasks888)) {
    auto full = UnpackMaskedTo24(rec, h.masks);
    if (!full) return full.failure();
    result.record = std::move(*full);
    return result;
  }
  result.record = std::move(rec);
  return result;
}

}  // namespace

Result<BitmapRead> ReadBitmapBytes(std::span<const uint8_t> bytes) {
  MemorySource src(bytes);
  return ReadFrom(src);
}

Result<BitmapRead> ReadBitmapFile(const std::string& path, uint64_t start) {
  auto file = io::Fs().OpenRead(path);
  if (!file) return Failure{err::kFileCannotBeOpened};
  auto size = file->Size();
  if (!size || *size == 0 || start > *size) return Failure{err::kFailedToReadFile};
  FileSource src(*file, start, *size - start);
  return ReadFrom(src);
}

Result<std::vector<uint8_t>> BitmapFileBytes(const ImageRecord& r) {
  const uint32_t header = ImageHeaderSize(r);
  if (r.empty() || header < kCoreHeaderSize || r.size() < header) return Failure{err::kUnexpected};
  const uint64_t file_size = uint64_t{kBmpFileHeaderSize} + r.size();
  const uint64_t pixel_offset = uint64_t{kBmpFileHeaderSize} + ImagePixelOffset(r);
  if (file_size > UINT32_MAX) return Failure{err::kUnexpected};
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(file_size));
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutU32(&bytes[2], static_cast<uint32_t>(file_size));
  PutU32(&bytes[10], static_cast<uint32_t>(pixel_offset));
  std::memcpy(&bytes[kBmpFileHeaderSize], r.data(), r.size());
  return bytes;
}

Status WriteBitmapFile(const std::string& path, const ImageRecord& r) {
  const uint32_t header = ImageHeaderSize(r);
  if (r.empty() || header < kCoreHeaderSize || r.size() < header) return Failure{err::kUnexpected};
  const uint64_t file_size = uint64_t{kBmpFileHeaderSize} + r.size();
  if (file_size > UINT32_MAX) return Failure{err::kUnexpected};
  uint8_t file_header[kBmpFileHeaderSize] = {'B', 'M'};
  PutU32(file_header + 2, static_cast<uint32_t>(file_size));
  PutU32(file_header + 10, static_cast<uint32_t>(kBmpFileHeaderSize + ImagePixelOffset(r)));
  io::ReplacingWriter writer(path);
  if (Status s = writer.Open(); !s) return s;
  if (Status s = writer.Write(file_header, sizeof file_header); !s) return s;
  if (Status s = writer.Write(r.bytes()); !s) return s;
  return writer.Commit();
}

}  // namespace fq
