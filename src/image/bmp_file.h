// BMP files: reading one into an image record and writing one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq {

inline constexpr uint32_t kBmpFileHeaderSize = 14;
// A calendar file holds its BMP after a header of this size.
inline constexpr uint64_t kCalendarBmpOffset = 1530;

struct BitmapRead {
  ImageRecord record;       // 40-byte form; compression as in the file
  size_t stored_size = 0;   // header + palette + pixel bytes as read (the "size of the last record read")
};

// Reads the BMP that starts at `start` in the file. Failures: kFileCannotBeOpened,
// kFailedToReadFile, kBmpCannotBeAllocated, kMemory.
Result<BitmapRead> ReadBitmapFile(const std::string& path, uint64_t start = 0);
// The same from bytes in memory (the BMP starts at bytes[0]).
Result<BitmapRead> ReadBitmapBytes(std::span<const uint8_t> bytes);

// The file bytes of a record: 14-byte file header, then the whole block.
Result<std::vector<uint8_t>> BitmapFileBytes(const ImageRecord& r);
// Writes the file; the old file is replaced only when the new one is whole.
// Failures: kFileCannotBeOpened, kDiskFull, kCannotCreateFile, kUnexpected.
Status WriteBitmapFile(const std::string& path, const ImageRecord& r);

}  // namespace fq
