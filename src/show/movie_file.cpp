#include "show/movie_file.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "base/file_io.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"

namespace fq::show {
namespace {

constexpr uint32_t kAvihBytes = 56;
constexpr uint32_t kStrhBytes = 56;
constexpr uint32_t kStrfBytes = 40;
constexpr uint32_t kIndexEntryBytes = 16;
constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kKeyFrame = 0x10;
// The largest movie the 32-bit sizes of the format can describe, with room
// for its headers.
constexpr uint64_t kMaxMovieBytes = 0xFFFF0000u;

void Put4cc(std::vector<uint8_t>& out, const char* code) { out.insert(out.end(), code, code + 4); }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  PutU32(b, v);
  out.insert(out.end(), b, b + 4);
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  PutU16(b, v);
  out.insert(out.end(), b, b + 2);
}

// The frame's pixel rows as stored: 24 bits, no compression, the given size.
bool IsPlainFrame(const ImageRecord& r, int32_t width, int32_t height) {
  return ImageIsInfoForm(r) && ImageBitCount(r) == 24 && ImageCompression(r) == kBiRgb &&
         ImageWidth(r) == width && ImageHeight(r) == height && ImageHasAllRows(r);
}

Result<ImageRecord> DecodeFrame(const std::string& path) {
  auto jpeg = io::ReadWholeFile(path);
  if (!jpeg) return Failure{jpeg.message() == err::kMemory ? err::kMemory : err::kFileCannotBeOpened};
  auto bmp = JpegToBitmapBytes(*jpeg);
  if (!bmp) return bmp.failure();
  auto read = ReadBitmapBytes(*bmp);
  if (!read) return Failure{err::kCreatingBitmap};
  ImageRecord record = std::move(read->record);
  if (ImageBitCount(record) != 24) {  // a grey picture comes with its palette
    auto wide = Expand8To24(record);
    if (!wide) return wide.failure();
    record = std::move(*wide);
  }
  if (ImageHeight(record) < 0) return Failure{err::kCreatingBitmap};
  return record;
}

}  // namespace

uint32_t MovieFrameRate(uint8_t rate_mode) { return rate_mode == 1 ? 8 : 10; }

uint64_t MovieFrameBytes(int32_t width, int32_t height) {
  const uint64_t w = static_cast<uint64_t>(width < 0 ? 0 : width);
  const uint64_t h = static_cast<uint64_t>(height < 0 ? -int64_t{height} : height);
  return (3 * w + w % 4) * h;  // the same as rows padded to 4 bytes
}

Result<std::vector<ImageRecord>> LoadMovieFrames(std::span<const std::string> paths) {
  std::vector<ImageRecord> frames;
  try {
    frames.reserve(paths.size());
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  for (const std::string& path : paths) {
    auto frame = DecodeFrame(path);
    if (!frame) return frame.failure();
    if (!frames.empty() && (ImageWidth(*frame) != ImageWidth(frames[0]) ||
                            ImageHeight(*frame) != ImageHeight(frames[0])))
      return Failure{err::kCreateBitmap};
    frames.push_back(std::move(*frame));
  }
  return frames;
}

Status WritePlainMovie(const std::string& path, std::span<const ImageRecord> frames, uint32_t rate) {
  if (frames.empty() || rate == 0) return Failure{err::kCreateBitmap};
  const int32_t width = ImageWidth(frames[0]), height = ImageHeight(frames[0]);
  for (const ImageRecord& f : frames)
    if (!IsPlainFrame(f, width, height)) return Failure{err::kCreateBitmap};
  const uint64_t frame_bytes = MovieFrameBytes(width, height);
  const uint64_t count = frames.size();
  const uint64_t movi_bytes = 4 + count * (8 + frame_bytes);
  const uint64_t strl_bytes = 4 + (8 + kStrhBytes) + (8 + kStrfBytes);
  const uint64_t hdrl_bytes = 4 + (8 + kAvihBytes) + (8 + strl_bytes);
  const uint64_t riff_bytes =
      4 + (8 + hdrl_bytes) + (8 + movi_bytes) + (8 + count * kIndexEntryBytes);
  if (riff_bytes > kMaxMovieBytes) return Failure{err::kMemory};

  std::vector<uint8_t> head;
  Put4cc(head, "RIFF");
  Put32(head, static_cast<uint32_t>(riff_bytes));
  Put4cc(head, "AVI ");
  Put4cc(head, "LIST");
  Put32(head, static_cast<uint32_t>(hdrl_bytes));
  Put4cc(head, "hdrl");
  Put4cc(head, "avih");
  Put32(head, kAvihBytes);
  Put32(head, 1000000 / rate);                               // microseconds per frame
  Put32(head, static_cast<uint32_t>(std::min<uint64_t>(frame_bytes * rate, 0xFFFFFFFFu)));
  Put32(head, 0);                                            // padding granularity
  Put32(head, kHasIndex);
  Put32(head, static_cast<uint32_t>(count));
  Put32(head, 0);                                            // initial frames
  Put32(head, 1);                                            // streams
  Put32(head, static_cast<uint32_t>(frame_bytes));           // suggested buffer
  Put32(head, static_cast<uint32_t>(width));
  Put32(head, static_cast<uint32_t>(height));
  for (int i = 0; i < 4; ++i) Put32(head, 0);
  Put4cc(head, "LIST");
  Put32(head, static_cast<uint32_t>(strl_bytes));
  Put4cc(head, "strl");
  Put4cc(head, "strh");
  Put32(head, kStrhBytes);
  Put4cc(head, "vids");
  Put32(head, 0);  // handler
  Put32(head, 0);  // flags
  Put16(head, 0);  // priority
  Put16(head, 0);  // language
  Put32(head, 0);  // initial frames
  Put32(head, 1);  // scale
  Put32(head, rate);
  Put32(head, 0);  // start
  Put32(head, static_cast<uint32_t>(count));
  Put32(head, static_cast<uint32_t>(frame_bytes));
  Put32(head, 0);  // quality
  Put32(head, 0);  // sample size
  Put16(head, 0);
  Put16(head, 0);
  Put16(head, static_cast<uint16_t>(width));
  Put16(head, static_cast<uint16_t>(height));
  Put4cc(head, "strf");
  Put32(head, kStrfBytes);
  Put32(head, kStrfBytes);
  Put32(head, static_cast<uint32_t>(width));
  Put32(head, static_cast<uint32_t>(height));
  Put16(head, 1);
  Put16(head, 24);
  Put32(head, kBiRgb);
  Put32(head, static_cast<uint32_t>(frame_bytes));
  for (int i = 0; i < 4; ++i) Put32(head, 0);
  Put4cc(head, "LIST");
  Put32(head, static_cast<uint32_t>(movi_bytes));
  Put4cc(head, "movi");

  io::FileSystem& fs = io::Fs();
  auto file = fs.Create(path);
  if (!file) return Failure{err::kCannotCreateFile};
  auto fail = [&](int message) -> Status {
    file.reset();
    fs.Remove(path);
    return Failure{message};
  };
  if (file->Write(head.data(), head.size()) != head.size()) return fail(err::kDiskFull);
  uint8_t chunk[8];
  std::memcpy(chunk, "00db", 4);
  PutU32(chunk + 4, static_cast<uint32_t>(frame_bytes));
  for (const ImageRecord& f : frames) {
    if (file->Write(chunk, 8) != 8 ||
        file->Write(ImageBits(f), static_cast<size_t>(frame_bytes)) != frame_bytes)
      return fail(err::kDiskFull);
  }
  std::vector<uint8_t> index;
  Put4cc(index, "idx1");
  Put32(index, static_cast<uint32_t>(count * kIndexEntryBytes));
  uint64_t offset = 4;  // from the "movi" code
  for (uint64_t i = 0; i < count; ++i) {
    Put4cc(index, "00db");
    Put32(index, kKeyFrame);
    Put32(index, static_cast<uint32_t>(offset));
    Put32(index, static_cast<uint32_t>(frame_bytes));
    offset += 8 + frame_bytes;
  }
  if (file->Write(index.data(), index.size()) != index.size()) return fail(err::kDiskFull);
  if (!file->Close()) return fail(err::kDiskFull);
  return {};
}

}  // namespace fq::show
