// What an album picture on the clipboard is made of, and the checks its two
// parts pass before an album takes them: the picture's path as text in a
// 260-byte block, and its thumbnail as a packed device-independent bitmap.
// Other programs put anything there, so both are treated as outside data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::clip {

// The text block Copy writes: the path, zero-filled to this size.
inline constexpr size_t kPathBlockSize = 260;

// The text block for a path. Failure: kFileNameTooLong (260 bytes or more).
Result<std::vector<uint8_t>> PathBlock(const std::string& path);

// The path in a text block: the text up to its terminator. Failures:
// kNoClipboardData (no terminator inside the block), kFileNameTooLong (a
// text of 260 bytes or more), kFileDoesNotExist (an empty text). Whether the
// path names an existing file is the caller's question.
Result<std::string> PathFromTextBlock(std::span<const uint8_t> block);

// The picture in a packed bitmap block, checked as a bitmap file's record
// is (header form and size, depth, compression, colour count, dimensions,
// and every row inside the block; top-down rows are turned bottom-up; a
// run-length picture of more than 4096 × 4096 pixels, or of more than 1024
// pixels a byte of its block, is refused before it is unpacked) and normalised as a picture read from a file is. Failures: kNoClipboardData
// (a block too short for a header), those of reading a bitmap file
// (kBmpCannotBeAllocated, kFailedToReadFile), kMemory.
Result<ImageRecord> PictureFromBitmapBlock(std::span<const uint8_t> block);

}  // namespace fq::clip
