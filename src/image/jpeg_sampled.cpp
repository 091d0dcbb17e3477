#include "image/jpeg_sampled.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "base/file_io.h"
#include "image/jpeg_glue.h"

namespace fq {
namespace {

constexpr int kGreyColors = 256;
constexpr long kLibraryMemoryLimit = 1536L * 1024 * 1024;
constexpr size_t kResolutionAt = 24;

struct SampleJob {
  jpeg_decompress_struct cinfo;
  jpeg::ErrorManager err;
  jpeg::FileSource source;
  jpeg::ScanLimit scans;
  std::vector<uint8_t> line;     // one decoded row
  std::vector<int32_t> columns;  // source column of each output column
  // For each output row from the top, the source row (from the top) it takes.
  std::vector<int32_t> rows_from_top;
  ImageRecord out;
  int channels = 3;
  const JpegProgress* progress = nullptr;
  int failure = err::kCreatingBitmap;
};

bool ReadHeader(SampleJob& job) {
  if (setjmp(job.err.jump)) return false;
  jpeg_read_header(&job.cinfo, TRUE);
  auto& c = job.cinfo;
  if (c.out_color_space != JCS_RGB && c.out_color_space != JCS_GRAYSCALE) return false;
  const uint64_t pixels = uint64_t{c.image_width} * c.image_height;
  if (pixels == 0 || pixels > kMaxJpegPixels) return false;
#ifdef JCS_EXTENSIONS
  if (c.out_color_space == JCS_RGB) c.out_color_space = JCS_EXT_BGR;
#endif
  job.channels = c.out_color_space == JCS_GRAYSCALE ? 1 : 3;
  return true;
}

// The output record and the sample positions.
bool Prepare(SampleJob& job, const SampleSizeRule& size_for) {
  auto& c = job.cinfo;
  const int64_t w = c.image_width, h = c.image_height;
  const SampledSize size = size_for(w, h);
  if (size.width < 1 || size.height < 1 || size.width > kMaxImageDimension || size.height > kMaxImageDimension)
    return false;
  const bool grey = job.channels == 1;
  auto rec = ImageRecord::Create(size.width, size.height, grey ? 8 : 24, grey ? kGreyColors : 0);
  if (!rec) {
    job.failure = err::kMemory;
    return false;
  }
  job.out = std::move(*rec);
  uint8_t* h40 = job.out.data();
  const bool per_cm = c.saw_JFIF_marker && c.density_unit == 2;
  PutI32(h40 + kResolutionAt, per_cm ? c.X_density * 100 : 0);
  PutI32(h40 + kResolutionAt + 4, per_cm ? c.Y_density * 100 : 0);
  if (grey) {
    for (int i = 0; i < kGreyColors; ++i) {
      uint8_t* e = h40 + kInfoHeaderSize + 4 * i;
      e[0] = e[1] = e[2] = static_cast<uint8_t>(i);
    }
  }
  try {
    job.line.resize(static_cast<size_t>(w) * static_cast<size_t>(job.channels));
    job.columns.resize(static_cast<size_t>(size.width));
    job.rows_from_top.resize(static_cast<size_t>(size.height));
  } catch (const std::bad_alloc&) {
    job.failure = err::kMemory;
    return false;
  }
  for (int32_t x = 0; x < size.width; ++x) job.columns[static_cast<size_t>(x)] = static_cast<int32_t>(x * w / size.width);
  // Output row r from the bottom takes source row r × h / height from the
  // bottom; listed from the top, the source rows only grow.
  for (int32_t r = 0; r < size.height; ++r) {
    const int64_t from_bottom = r * h / size.height;
    job.rows_from_top[static_cast<size_t>(size.height - 1 - r)] = static_cast<int32_t>(h - 1 - from_bottom);
  }
  return true;
}

// Moves the decoder forward to `row` (from the top) without making the
// rows between.
void SkipTo(jpeg_decompress_struct& c, JDIMENSION row, [[maybe_unused]] std::vector<uint8_t>& line) {
  if (c.output_scanline >= row) return;
#ifdef LIBJPEG_TURBO_VERSION
  jpeg_skip_scanlines(&c, row - c.output_scanline);
#else
  JSAMPROW p = line.data();
  while (c.output_scanline < row) jpeg_read_scanlines(&c, &p, 1);
#endif
}

bool Decompress(SampleJob& job) {
  if (setjmp(job.err.jump)) return false;
  auto& c = job.cinfo;
  jpeg_start_decompress(&c);
  const int height = static_cast<int>(c.output_height);
  const int32_t out_w = ImageWidth(job.out);
  const int32_t out_h = ImageHeight(job.out);
  const uint64_t stride = ImageRowStride(out_w, job.channels * 8);
  uint8_t* bits = ImageBits(job.out);
  JSAMPROW p = job.line.data();
  int32_t made = -1;  // the source row in `line`
  for (int32_t top = 0; top < out_h; ++top) {
    const int32_t want = job.rows_from_top[static_cast<size_t>(top)];
    if (want != made) {
      SkipTo(c, static_cast<JDIMENSION>(want), job.line);
      jpeg_read_scanlines(&c, &p, 1);
      made = want;
      if (*job.progress && !(*job.progress)(static_cast<int>(c.output_scanline), height)) return false;
    }
    uint8_t* o = bits + stride * static_cast<uint64_t>(out_h - 1 - top);
    if (job.channels == 1) {
      for (int32_t x = 0; x < out_w; ++x) o[x] = job.line[static_cast<size_t>(job.columns[static_cast<size_t>(x)])];
    } else {
      for (int32_t x = 0; x < out_w; ++x)
        std::memcpy(o + 3 * x, job.line.data() + 3 * static_cast<size_t>(job.columns[static_cast<size_t>(x)]), 3);
    }
  }
  // The rest of the file is not needed.
  jpeg_abort_decompress(&c);
  if (*job.progress) (*job.progress)(height, height);
  return true;
}

}  // namespace

Result<ImageRecord> DecodeJpegSampled(const std::string& path, const SampleSizeRule& size_for,
                                      const JpegProgress& progress) {
  auto in = io::Fs().OpenRead(path);
  if (!in) return Failure{err::kFileCannotBeOpened};
  SampleJob job;
  job.progress = &progress;
  job.cinfo.err = jpeg::InitErrorManager(job.err);
  if (setjmp(job.err.jump)) return Failure{err::kFileCannotBeOpened};
  jpeg_create_decompress(&job.cinfo);
  job.cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
  jpeg::AttachSource(&job.cinfo, job.source, *in);
  jpeg::AttachScanLimit(&job.cinfo, job.scans);
  const bool ok = ReadHeader(job) && Prepare(job, size_for) && Decompress(job);
  jpeg_destroy_decompress(&job.cinfo);
  if (!ok) return Failure{job.failure};
  return std::move(job.out);
}

}  // namespace fq
