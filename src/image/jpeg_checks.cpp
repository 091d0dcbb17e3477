#include "image/jpeg_checks.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <vector>

#include "base/messages.h"
#include "image/jpeg_glue.h"
#include "image/jpeg_quality.h"
#include "base/file_io.h"

namespace fq {
namespace {

constexpr size_t kProbeWindow = 2048;
// The album file's signature begins with these letters.
constexpr char kAlbumMagic[] = "ORX";

bool HasPair(const uint8_t* p, size_t n, uint8_t a, uint8_t b) {
  for (size_t i = 0; i + 1 < n; ++i)
    if (p[i] == a && p[i + 1] == b) return true;
  return false;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The first bytes of bitmap and album files, in the loose forms the
// recogniser has always refused.
bool LooksLikeBitmapOrAlbum(const uint8_t* b) {
  const char c0 = static_cast<char>(b[0]), c1 = static_cast<char>(b[1]),
             c2 = static_cast<char>(b[2]);
  if (c0 == 'B' || (c0 == 'b' && c1 == 'M') || c1 == 'm') return true;
  return c0 == kAlbumMagic[0] || (c0 == Lower(kAlbumMagic[0]) && c1 == kAlbumMagic[1]) ||
         (c1 == Lower(kAlbumMagic[1]) && c2 == kAlbumMagic[2]) || c2 == Lower(kAlbumMagic[2]);
}

struct HeaderJob {
  jpeg_decompress_struct cinfo;
  jpeg::ErrorManager err;
  jpeg::FileSource source;
};

bool ReadHeader(HeaderJob& job, JpegHeader& info) {
  if (setjmp(job.err.jump)) return false;
  auto& c = job.cinfo;
  jpeg_read_header(&c, TRUE);
  info.width = c.image_width;
  info.height = c.image_height;
  info.components = c.num_components;
  info.precision = c.data_precision;
  info.progressive = c.progressive_mode;
  for (int i = 0; i < std::min<int>(c.num_components, 4); ++i)
    info.sampling[i] = {c.comp_info[i].h_samp_factor, c.comp_info[i].v_samp_factor};
  return true;
}

UploadCheck Check(const std::string& path, uint32_t max_width, uint32_t max_height) {
  UploadCheck r;
  if (!io::Fs().Exists(path)) return r;
  if (!IsJpegFile(path)) {
    r.message = err::kNotJpeg;
    return r;
  }
  auto header = ReadJpegHeader(path);
  if (!header) return r;
  const JpegHeader& info = *header;
  const auto [h, v] = info.sampling[0];
  r.needs_conversion = h != 2 || (v != 1 && v != 2);
  if (info.width > max_width || info.height > max_height) return r;
  r.verdict = (info.width > 512 || info.height > 384) ? 1 : 0;
  return r;
}

}  // namespace

bool IsJpegFile(const std::string& path) {
  auto file = io::Fs().OpenRead(path);
  if (!file) return false;
  std::array<uint8_t, kProbeWindow> head{};
  const size_t n = file->Read(head.data(), head.size());
  if (!HasPair(head.data(), n, 0xFF, 0xD8)) return false;
  if (LooksLikeBitmapOrAlbum(head.data())) return false;
  auto size = file->Size();
  if (!size) return false;
  // Backwards from the end, window by window. Each window also takes the
  // first byte of the one after it, so a pair split by a boundary is found.
  std::vector<uint8_t> window(kProbeWindow + 1);
  uint64_t end = *size;
  while (end > 0) {
    const uint64_t start = end > kProbeWindow ? end - kProbeWindow : 0;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(end + 1, *size) - start);
    if (!file->Seek(start)) return false;
    const size_t got = file->Read(window.data(), want);
    if (HasPair(window.data(), got, 0xFF, 0xD9)) return true;
    end = start;
  }
  return false;
}

Result<JpegHeader> ReadJpegHeader(const std::string& path) {
  auto file = io::Fs().OpenRead(path);
  if (!file) return Failure{err::kFileCannotBeOpened};
  auto job = std::make_unique<HeaderJob>();
  job->cinfo.err = jpeg::InitErrorManager(job->err);
  if (setjmp(job->err.jump)) return Failure{err::kFileCannotBeOpened};
  jpeg_create_decompress(&job->cinfo);
  jpeg::AttachSource(&job->cinfo, job->source, *file);
  JpegHeader info;
  bool ok = ReadHeader(*job, info);
  jpeg_destroy_decompress(&job->cinfo);
  if (!ok) return Failure{err::kCreatingBitmap};
  return info;
}

int JpegSizeClass(const std::string& path) {
  auto file = io::Fs().OpenRead(path);
  if (!file) return kSizeClassUnusable;
  auto size = file->Size();
  return size ? SizeClassOfLength(*size) : kSizeClassUnusable;
}

UploadCheck CheckJpegForUpload(const std::string& path) { return Check(path, 2560, 1920); }
UploadCheck CheckJpegForUploadSmall(const std::string& path) { return Check(path, 1280, 960); }

}  // namespace fq
