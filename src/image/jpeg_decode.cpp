// JPEG to BMP: the library decodes straight into the rows of the BMP file,
// laid out bottom-up in memory, which is then written in one piece.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "image/jpeg_file.h"
#include "image/jpeg_glue.h"
#include "base/temp_file.h"

namespace fq {
namespace {

constexpr uint32_t kBmpHeadersSize = kBmpFileHeaderSize + kInfoHeaderSize;
constexpr int kGreyPaletteEntries = 256;
// Rows handed to the library per call, and so per progress report at most.
constexpr int kRowsPerRead = 16;
// Ceiling for the library's own working memory (whole-image buffers of
// progressive files).
constexpr long kLibraryMemoryLimit = 1536L * 1024 * 1024;

// Everything one decoding uses; it lives in the wrapper's frame, outside the
// stretch a fatal error jumps over.
struct DecodeJob {
  jpeg_decompress_struct cinfo;
  jpeg::ErrorManager err;
  jpeg::FileSource source;
  jpeg::ScanLimit scans;
  std::vector<uint8_t> bmp;
  std::vector<JSAMPROW> rows;
  const JpegProgress* progress = nullptr;
  bool cancelled = false;
};

// Reads the header and checks what the BMP can hold. Returns false on a
// fatal library error or an unusable file.
bool ReadHeader(DecodeJob& job, uint64_t max_pixels) {
  if (setjmp(job.err.jump)) return false;
  jpeg_read_header(&job.cinfo, TRUE);
  // The output colour space stays the library's choice for the file; only
  // RGB and greyscale have a BMP form.
  if (job.cinfo.out_color_space != JCS_RGB && job.cinfo.out_color_space != JCS_GRAYSCALE)
    return false;
  uint64_t pixels = uint64_t{job.cinfo.image_width} * job.cinfo.image_height;
  if (pixels == 0 || pixels > max_pixels) return false;
#ifdef JCS_EXTENSIONS
  // The same colour conversion, storing blue-green-red as a BMP row wants.
  if (job.cinfo.out_color_space == JCS_RGB) job.cinfo.out_color_space = JCS_EXT_BGR;
#endif
  return true;
}

void PutBmpHeaders(DecodeJob& job, uint32_t data_offset, uint16_t bits, uint32_t colors) {
  const auto& c = job.cinfo;
  uint8_t* p = job.bmp.data();
  p[0] = 'B';
  p[1] = 'M';
  PutU32(p + 2, static_cast<uint32_t>(job.bmp.size()));
  PutU32(p + 10, data_offset);
  uint8_t* h = p + kBmpFileHeaderSize;
  PutU32(h + 0, kInfoHeaderSize);
  PutI32(h + 4, static_cast<int32_t>(c.output_width));
  PutI32(h + 8, static_cast<int32_t>(c.output_height));
  PutU16(h + 12, 1);
  PutU16(h + 14, bits);
  // Pixels per metre only when the density is given per centimetre.
  const bool per_cm = c.saw_JFIF_marker && c.density_unit == 2;
  PutI32(h + 24, per_cm ? c.X_density * 100 : 0);
  PutI32(h + 28, per_cm ? c.Y_density * 100 : 0);
  PutU32(h + 32, colors);
  uint8_t* pal = h + kInfoHeaderSize;
  for (uint32_t i = 0; i < colors; ++i) {
    pal[4 * i + 0] = pal[4 * i + 1] = pal[4 * i + 2] = static_cast<uint8_t>(i);
  }
}

// Sizes the BMP and points one row pointer per output row at its place,
// bottom row last in the file order of JPEG rows. Returns false when the
// memory is not there.
bool PrepareBitmap(DecodeJob& job) {
  auto& c = job.cinfo;
  const bool grey = c.out_color_space == JCS_GRAYSCALE;
  const uint16_t bits = grey ? 8 : 24;
  const uint32_t colors = grey ? kGreyPaletteEntries : 0;
  const uint32_t data_offset = kBmpHeadersSize + 4 * colors;
  const uint64_t stride = (uint64_t{c.image_width} * bits + 31) / 32 * 4;
  const uint64_t total = data_offset + stride * c.image_height;
  if (total > UINT32_MAX) return false;
  try {
    job.bmp.assign(static_cast<size_t>(total), 0);
    job.rows.resize(c.image_height);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // No scaling is asked for, so the output size is the image size.
  c.output_width = c.image_width;
  c.output_height = c.image_height;
  PutBmpHeaders(job, data_offset, bits, colors);
  uint8_t* bottom = job.bmp.data() + data_offset;
  for (JDIMENSION y = 0; y < c.image_height; ++y)
    job.rows[y] = bottom + stride * (c.image_height - 1 - y);
  return true;
}

bool Decompress(DecodeJob& job) {
  if (setjmp(job.err.jump)) return false;
  auto& c = job.cinfo;
  jpeg_start_decompress(&c);
  const int height = static_cast<int>(c.output_height);
  while (c.output_scanline < c.output_height) {
    if (*job.progress && !(*job.progress)(static_cast<int>(c.output_scanline), height)) {
      job.cancelled = true;
      return false;
    }
    JDIMENSION want = std::min<JDIMENSION>(kRowsPerRead, c.output_height - c.output_scanline);
    jpeg_read_scanlines(&c, job.rows.data() + c.output_scanline, want);
  }
  if (*job.progress) (*job.progress)(height, height);
  jpeg_finish_decompress(&c);
  return true;
}

// The decoding proper, from an open input. Failure: kCreatingBitmap.
Result<std::vector<uint8_t>> Decode(io::File& in, const JpegProgress& progress,
                                    uint64_t max_pixels, std::string* message) {
  DecodeJob job;
  job.progress = &progress;
  job.cinfo.err = jpeg::InitErrorManager(job.err);
  if (setjmp(job.err.jump)) {
    if (message) *message = job.err.message;
    return Failure{err::kFileCannotBeOpened};  // the library could not be set up
  }
  jpeg_create_decompress(&job.cinfo);
  job.cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
  jpeg::AttachSource(&job.cinfo, job.source, in);
  jpeg::AttachScanLimit(&job.cinfo, job.scans);
  // Comment segments are read past and dropped; nothing keeps markers.
  bool ok = ReadHeader(job, max_pixels) && PrepareBitmap(job) && Decompress(job);
  if (!ok && message) *message = job.err.message;
  jpeg_destroy_decompress(&job.cinfo);
  if (!ok) return Failure{err::kCreatingBitmap};
  return std::move(job.bmp);
}

}  // namespace

Result<std::vector<uint8_t>> JpegToBitmapBytes(std::span<const uint8_t> jpeg,
                                               const JpegProgress& progress,
                                               uint64_t max_pixels, std::string* message) {
  jpeg::MemoryFile in(jpeg);
  return Decode(in, progress, max_pixels, message);
}

Status JpegToBitmapFile(const std::string& jpeg_path, const std::string& bmp_path,
                        const JpegProgress& progress) {
  auto in = io::Fs().OpenRead(jpeg_path);
  if (!in) return Failure{err::kFileCannotBeOpened};
  io::ReplacingWriter out(bmp_path);
  if (!out.Open()) return Failure{err::kFileCannotBeOpened};
  auto bmp = Decode(*in, progress, kMaxJpegPixels, nullptr);
  in.reset();
  if (!bmp) return bmp.failure();
  // A BMP that cannot be stored whole is a failed decoding too.
  if (!out.Write(*bmp) || !out.Commit()) return Failure{err::kCreatingBitmap};
  return {};
}

Result<BitmapRead> LoadJpeg(const std::string& jpeg_path, const JpegProgress& progress) {
  auto scratch = temp::TempFile::Create();
  if (!scratch) return Failure{err::kFileCannotBeOpened};
  if (Status s = JpegToBitmapFile(jpeg_path, scratch->path(), progress); !s)
    return Failure{s.message()};
  return ReadBitmapFile(scratch->path());
}

}  // namespace fq
