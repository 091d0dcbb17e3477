// Fetching a whole picture (or thumbnail, or movie part) block by block
// into link.picture, after its size command has set link.picture_size and
// link.block_count.
#pragma once

#include <cstdint>
#include <functional>

#include "camera/camera_link.h"

namespace fq::cam {

using BlockProgress = std::function<void(uint32_t blocks_done)>;

// Allocates the picture buffer (block count × 1024 bytes, zeroed).
// Message 24 and -1 when that fails.
int AllocatePicture(CameraLink& link);

// Type 1: marker command 30 for each block, 20 attempts of 10 s each; bad
// replies, time-outs and blocks shorter than their share of the picture
// (1024 bytes, the last one the rest) are retried (reported on the last
// attempt only); after 20 failures message 3. A last block that came
// without data on every attempt sets link.last_block_empty instead.
int FetchBlocksMarker(CameraLink& link, const BlockProgress& progress = {});

enum class BlockTarget {
  kPicture,    // retries at once; a line error after a 500 ms pumping wait
  kMoviePart,  // as kPicture, and a retry request after a 50 ms pumping wait
  kThumbnail,  // a refusal 6 ends with 102; retries after a 500 ms busy wait; message 9
};

// Types 2 to 4: sequenced command 30, sequence numbers from 0 advancing by
// one per good block. Pictures and movie parts leave the message after 20
// failures to the flow.
int FetchBlocksSequenced(CameraLink& link, BlockTarget target, const BlockProgress& progress = {});

}  // namespace fq::cam
