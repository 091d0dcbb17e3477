#include "camera/block_loops.h"

#include <algorithm>
#include <new>

#include "camera/commands.h"
#include "camera/link_codes.h"
#include "base/messages.h"

namespace fq::cam {
namespace {

constexpr int kBlockAttempts = 20;
constexpr uint32_t kLineErrorPauseMs = 500;
constexpr uint32_t kMoviePartPauseMs = 50;
constexpr uint32_t kThumbnailPauseMs = 500;

bool IsBadReply(int code) {
  return code == rc::kBadHeader || code == rc::kReplyCode || code == rc::kDataLength ||
         code == rc::kRetry || code == rc::kTimeout;
}

}  // namespace

int AllocatePicture(CameraLink& link) {
  link.picture.clear();
  try {
    link.picture.assign(size_t{link.block_count} * kBlockSize, 0);
  } catch (const std::bad_alloc&) {
    link.Show(err::kMemory);
    return rc::kBadValue;
  }
  return rc::kOk;
}

int FetchBlocksMarker(CameraLink& link, const BlockProgress& progress) {
  link.last_block_empty = false;
  for (uint32_t block = 0; block < link.block_count; ++block) {
    // Each block brings 1024 bytes, the last one the rest of the picture. A
    // shorter one is tried again like a bad reply; a last block that stays
    // empty through every attempt is the camera's own gap, which the
    // download repairs.
    const uint64_t at = uint64_t{block} * kBlockSize;
    const uint32_t expected =
        link.picture_size > at ? static_cast<uint32_t>(std::min<uint64_t>(kBlockSize, link.picture_size - at)) : 0;
    const bool last = block + 1 == link.block_count;
    int code = rc::kTimeout;
    bool empty = false;
    for (int attempt = 1; attempt <= kBlockAttempts; ++attempt) {
      empty = false;
      code = MarkerBlockOnce(link, block, attempt == kBlockAttempts);
      if (code == rc::kOk && link.reply_data_length < expected) {
        empty = last && link.reply_data_length == 0;
        code = rc::kDataLength;
      }
      if (code == rc::kOk || !IsBadReply(code) || link.quit_seen) break;
    }
    if (code == rc::kDataLength && empty && !link.quit_seen) {
      link.last_block_empty = true;
      code = rc::kOk;
    }
    if (code != rc::kOk) {
      if (IsBadReply(code) && !link.quit_seen) link.Show(err::kTransferError);
      return code;
    }
    if (progress) progress(block + 1);
  }
  return rc::kOk;
}

int FetchBlocksSequenced(CameraLink& link, BlockTarget target, const BlockProgress& progress) {
  link.send_sequence = 0;
  link.expected_sequence = 0;
  const bool thumbnail = target == BlockTarget::kThumbnail;
  for (uint32_t block = 0; block < link.block_count; ++block) {
    int code = rc::kTimeout;
    for (int attempt = 1; attempt <= kBlockAttempts; ++attempt) {
      code = SequencedBlockOnce(link, block, attempt == kBlockAttempts, thumbnail);
      if (code == rc::kOk || link.quit_seen) break;
      const bool retried = IsBadReply(code) || code == rc::kLineError;
      if (!retried) break;
      if (attempt == kBlockAttempts) break;
      if (thumbnail) {
        BusyWait(link, kThumbnailPauseMs);
      } else if (code == rc::kLineError) {
        if (!PumpWait(link, kLineErrorPauseMs)) break;
      } else if (code == rc::kRetry && target == BlockTarget::kMoviePart) {
        if (!PumpWait(link, kMoviePartPauseMs)) break;
      }
    }
    if (code != rc::kOk) {
      if (thumbnail && code != rc::kNothing && (IsBadReply(code) || code == rc::kLineError) &&
          !link.quit_seen)
        link.Show(err::kCannotAccessCamera);
      return code;
    }
    ++link.send_sequence;
    ++link.expected_sequence;
    if (progress) progress(block + 1);
  }
  return rc::kOk;
}

}  // namespace fq::cam
