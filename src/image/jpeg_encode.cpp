// BMP to JPEG with the program's own quantisation tables.
#include <algorithm>
#include <csetjmp>
#include <new>

#include "image/jpeg_file.h"
#include "image/jpeg_glue.h"
#include "image/jpeg_quality.h"

namespace fq {
namespace {

constexpr int kRowsPerWrite = 16;

// Rows of the picture as the library wants them (top first, blue-green-red
// or red-green-blue), whatever the record stores.
struct RowFeeder {
  const ImageRecord* record = nullptr;
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bits = 0;
  uint64_t stride = 0;
  const uint8_t* first = nullptr;
  std::array<Rgb, 256> palette{};
  std::vector<uint8_t> scratch;  // expanded rows for 8-bit input
  std::vector<JSAMPROW> rows;

  const uint8_t* StoredRow(int y) const {
    int stored = top_down ? y : height - 1 - y;
    return first + stride * static_cast<uint64_t>(stored);
  }
};

// Failure: kCreatingJpeg for a record that is not uncompressed 8 or 24 bits
// or does not hold all its rows.
Status PrepareRows(const ImageRecord& r, RowFeeder& f) {
  const int32_t w = ImageWidth(r);
  const int32_t h = ImageHeight(r);
  const int bits = ImageBitCount(r);
  if (ImageIsCoreForm(r) || ImageCompression(r) != kBiRgb || (bits != 8 && bits != 24) ||
      w <= 0 || h == 0 || h == INT32_MIN || w > JPEG_MAX_DIMENSION ||
      std::abs(h) > JPEG_MAX_DIMENSION || !ImageHasAllRows(r))
    return Failure{err::kCreatingJpeg};
  f.record = &r;
  f.width = w;
  f.height = std::abs(h);
  f.top_down = h < 0;
  f.bits = bits;
  f.stride = ImageRowStride(w, bits);
  f.first = ImageBits(r);
  try {
    f.rows.resize(kRowsPerWrite);
    if (bits == 8) {
      const size_t entries = std::min<size_t>(ImagePaletteBytes(r) / 4, 256);
      for (uint32_t i = 0; i < entries; ++i) f.palette[i] = ImagePaletteEntry(r, i);
      f.scratch.resize(size_t{3} * w * kRowsPerWrite);
    }
#ifndef JCS_EXTENSIONS
    else {
      f.scratch.resize(size_t{3} * w * kRowsPerWrite);
    }
#endif
  } catch (const std::bad_alloc&) {
    return Failure{err::kCreatingJpeg};
  }
  return {};
}

// Points f.rows at `n` rows from `y` on, expanding or reordering into the
// scratch rows where needed.
void FeedRows(RowFeeder& f, int y, int n) {
  for (int i = 0; i < n; ++i) {
    const uint8_t* src = f.StoredRow(y + i);
    if (f.bits == 24 && f.scratch.empty()) {
      // The library only reads input rows.
      f.rows[i] = const_cast<JSAMPROW>(src);
      continue;
    }
    uint8_t* dst = f.scratch.data() + size_t{3} * f.width * i;
    if (f.bits == 8) {
      for (int x = 0; x < f.width; ++x) {
        const Rgb& c = f.palette[src[x]];
#ifdef JCS_EXTENSIONS
        dst[3 * x] = c.blue, dst[3 * x + 1] = c.green, dst[3 * x + 2] = c.red;
#else
        dst[3 * x] = c.red, dst[3 * x + 1] = c.green, dst[3 * x + 2] = c.blue;
#endif
      }
    } else {
      for (int x = 0; x < f.width; ++x) {
        dst[3 * x] = src[3 * x + 2], dst[3 * x + 1] = src[3 * x + 1], dst[3 * x + 2] = src[3 * x];
      }
    }
    f.rows[i] = dst;
  }
}

struct EncodeJob {
  jpeg_compress_struct cinfo;
  jpeg::ErrorManager err;
  jpeg::WriterDestination dest;
  RowFeeder feeder;
  const JpegProgress* progress = nullptr;
};

bool Compress(EncodeJob& job, int quality, const std::array<SamplingFactors, 3>& sampling,
              io::ReplacingWriter& out) {
  if (setjmp(job.err.jump)) return false;
  auto& c = job.cinfo;
  RowFeeder& f = job.feeder;
  c.image_width = static_cast<JDIMENSION>(f.width);
  c.image_height = static_cast<JDIMENSION>(f.height);
  c.input_components = 3;
#ifdef JCS_EXTENSIONS
  // Blue-green-red rows go in as they are stored: the same conversion to
  // YCbCr as from red-green-blue.
  c.in_color_space = JCS_EXT_BGR;
#else
  c.in_color_space = JCS_RGB;
#endif
  jpeg_set_defaults(&c);
  // Our own base tables, scaled by the library's quality rule and forced
  // to baseline; they replace the defaults jpeg_set_defaults installed.
  const int scale = jpeg_quality_scaling(quality);
  unsigned int luminance[64], chrominance[64];
  std::copy(kJpegLuminanceBase.begin(), kJpegLuminanceBase.end(), luminance);
  std::copy(kJpegChrominanceBase.begin(), kJpegChrominanceBase.end(), chrominance);
  jpeg_add_quant_table(&c, 0, luminance, scale, TRUE);
  jpeg_add_quant_table(&c, 1, chrominance, scale, TRUE);
  for (int i = 0; i < 3; ++i) {
    c.comp_info[i].h_samp_factor = sampling[i].h;
    c.comp_info[i].v_samp_factor = sampling[i].v;
  }
  jpeg::AttachDestination(&c, job.dest, out);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    if (*job.progress &&
        !(*job.progress)(static_cast<int>(c.next_scanline), static_cast<int>(c.image_height)))
      return false;
    int n = std::min<int>(kRowsPerWrite, static_cast<int>(c.image_height - c.next_scanline));
    FeedRows(f, static_cast<int>(c.next_scanline), n);
    jpeg_write_scanlines(&c, f.rows.data(), static_cast<JDIMENSION>(n));
  }
  if (*job.progress) (*job.progress)(f.height, f.height);
  jpeg_finish_compress(&c);
  return true;
}

// Encodes into an opened writer and commits it. Failure: kCreatingJpeg.
Status Encode(const ImageRecord& r, io::ReplacingWriter& out, const std::string& sampling,
              int quality, const JpegProgress& progress) {
  auto factors = ParseSampling(sampling);
  if (!factors) return Failure{err::kCreatingJpeg};
  EncodeJob job;
  job.progress = &progress;
  if (Status s = PrepareRows(r, job.feeder); !s) return s;
  job.cinfo.err = jpeg::InitErrorManager(job.err);
  if (setjmp(job.err.jump)) return Failure{err::kFileCannotBeOpened};
  jpeg_create_compress(&job.cinfo);
  bool ok = Compress(job, quality, *factors, out);
  jpeg_destroy_compress(&job.cinfo);
  if (!ok || !out.Commit()) return Failure{err::kCreatingJpeg};
  return {};
}


}  // namespace

Status ImageToJpegFile(const ImageRecord& r, const std::string& jpeg_path,
                       const std::string& sampling, int quality, const JpegProgress& progress) {
  io::ReplacingWriter out(jpeg_path);
  if (!out.Open()) return Failure{err::kFileCannotBeOpened};
  return Encode(r, out, sampling, quality, progress);
}

Status BitmapFileToJpeg(const std::string& bmp_path, const std::string& jpeg_path,
                        const std::string& sampling, int quality, const JpegProgress& progress) {
  auto bmp = ReadBitmapFile(bmp_path);
  if (!bmp && bmp.message() == err::kFileCannotBeOpened) return bmp.failure();
  io::ReplacingWriter out(jpeg_path);
  if (!out.Open()) return Failure{err::kFileCannotBeOpened};
  // Anything but a readable bitmap file is an unrecognised input.
  if (!bmp) return Failure{err::kCreatingJpeg};
  return Encode(bmp->record, out, sampling, quality, progress);
}

Status SaveJpeg(const ImageRecord& r, const std::string& jpeg_path, int quality,
                const std::string& sampling, const JpegProgress& progress) {
  // A temporary BMP file of the record would be read back into the very
  // same record before encoding, so the encoder takes the record itself:
  // the JPEG bytes are the same, without writing and reading the picture
  // twice more.
  return ImageToJpegFile(r, jpeg_path, sampling, quality, progress);
}

}  // namespace fq
