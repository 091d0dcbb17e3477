// Camera movies made into AVI files: the frames (one JPEG per part, as the
// camera delivers them) decoded into 24-bit pictures of one size, the frame
// rate the camera's rate byte stands for, and a writer of the plain form of
// the movie — one video stream of uncompressed 24-bit frames, each a key
// frame, with its index — for programs without the system's video library
// (and as the form the program falls back to when no compressor will take
// the frames).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::show {

// Frames per second of a camera movie: 8 for rate byte 1, else 10.
uint32_t MovieFrameRate(uint8_t rate_mode);

// Bytes of one stored 24-bit frame: rows of 3 × width bytes padded to 4.
uint64_t MovieFrameBytes(int32_t width, int32_t height);

// Decodes each frame file (JPEG) into a 24-bit bottom-up record. Failures:
// the decoder's (kFileCannotBeOpened, kCreatingBitmap) for a frame that does
// not decode; kCreateBitmap for a frame whose size differs from the first;
// kMemory. Nothing is kept on failure.
Result<std::vector<ImageRecord>> LoadMovieFrames(std::span<const std::string> paths);

// Writes the plain movie at `path` (created new or replaced): RIFF "AVI ",
// main header, one "vids" stream with handler 0, time scale 1 and `rate`,
// the frame rectangle of the first frame, a 40-byte format header (24 bits,
// no compression), the frames as "00db" chunks and an "idx1" index with
// every frame a key frame. All frames must be 24-bit records of the first
// frame's size. Failures: kCannotCreateFile, kDiskFull (the partial file
// is removed), kCreateBitmap (frames of another form or size), kMemory (a
// movie too large for the format).
Status WritePlainMovie(const std::string& path, std::span<const ImageRecord> frames, uint32_t rate);

}  // namespace fq::show
