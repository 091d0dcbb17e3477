#include "camsim/sim_jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace fq::camsim {
namespace {

struct ErrorTrap {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
  auto* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
  longjmp(trap->jump, 1);
}
void OnMessage(j_common_ptr) {}  // warnings are not printed

// Encodes packed RGB rows (top-down). `out` receives the file.
bool Encode(const std::vector<uint8_t>& rgb, int width, int height, int quality,
            std::vector<uint8_t>& out) {
  jpeg_compress_struct cinfo;
  ErrorTrap trap;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  cinfo.err = jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = OnError;
  trap.mgr.output_message = OnMessage;
  if (setjmp(trap.jump)) {
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.comp_info[0].h_samp_factor = 2;
  cinfo.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + static_cast<size_t>(cinfo.next_scanline) *
                                                         static_cast<size_t>(width) * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  out.assign(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  free(buffer);
  return true;
}

}  // namespace

std::vector<uint8_t> MakeDemoPicture(int width, int height, int index, int quality) {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return {};
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  // Hue turns with the index; brightness runs left to right, saturation
  // top to bottom.
  static const uint8_t kBase[6][3] = {{230, 80, 60},  {70, 170, 230}, {90, 200, 90},
                                      {230, 200, 70}, {180, 90, 210}, {90, 210, 200}};
  const uint8_t* base = kBase[static_cast<unsigned>(index) % 6];
  int square = width / 16 > 4 ? width / 16 : 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
      int light = 60 + 195 * x / (width > 1 ? width - 1 : 1);
      int grey = 128 * y / (height > 1 ? height - 1 : 1);
      for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((base[c] * (128 - grey) + 128 * grey) * light / (128 * 255));
      // The index as a row of white squares with gaps.
      int cell = x / square;
      if (y >= square / 2 && y < square / 2 + square && cell % 2 == 1 && cell / 2 < index)
        p[0] = p[1] = p[2] = 255;
    }
  }
  std::vector<uint8_t> out;
  if (!Encode(rgb, width, height, quality, out)) return {};
  return out;
}

std::vector<uint8_t> MakeThumbnail(std::span<const uint8_t> jpeg) {
  if (!LooksLikeJpeg(jpeg)) return {};
  jpeg_decompress_struct cinfo;
  ErrorTrap trap;
  std::vector<uint8_t> rgb;
  cinfo.err = jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = OnError;
  trap.mgr.output_message = OnMessage;
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return {};
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width > 16384 || cinfo.image_height > 16384) {
    jpeg_destroy_decompress(&cinfo);
    return {};
  }
  unsigned denom = 1;
  while (denom < 8 && (cinfo.image_width / denom > 160 || cinfo.image_height / denom > 120)) denom *= 2;
  cinfo.scale_num = 1;
  cinfo.scale_denom = denom;
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
  rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rgb.data() + static_cast<size_t>(cinfo.output_scanline) * static_cast<size_t>(w) * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::vector<uint8_t> out;
  if (!Encode(rgb, w, h, 75, out)) return {};
  // The picture's Exif segment (its recording date) travels with the
  // thumbnail, right after the start marker.
  const std::span<const uint8_t> exif = ExifSegment(jpeg);
  if (!exif.empty() && out.size() >= 2) out.insert(out.begin() + 2, exif.begin(), exif.end());
  return out;
}

std::span<const uint8_t> ExifSegment(std::span<const uint8_t> b) {
  if (!LooksLikeJpeg(b)) return {};
  size_t i = 2;
  while (i + 4 <= b.size()) {
    if (b[i] != 0xFF) return {};
    const uint8_t m = b[i + 1];
    if (m == 0xFF) {
      ++i;
      continue;
    }
    if (m == 0xD9 || m == 0xDA) return {};
    const size_t len = static_cast<size_t>(b[i + 2]) << 8 | b[i + 3];
    if (len < 2 || i + 2 + len > b.size()) return {};
    static constexpr uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (m == 0xE1 && len >= 8 && std::equal(kExif, kExif + 6, b.begin() + static_cast<std::ptrdiff_t>(i + 4)))
      return b.subspan(i, 2 + len);
    i += 2 + len;
  }
  return {};
}

std::optional<FrameLayout> ReadFrameLayout(std::span<const uint8_t> b) {
  if (!LooksLikeJpeg(b)) return std::nullopt;
  size_t i = 2;
  while (i + 4 <= b.size()) {
    if (b[i] != 0xFF) return std::nullopt;
    uint8_t m = b[i + 1];
    if (m == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (m == 0xD8 || (m >= 0xD0 && m <= 0xD7) || m == 0x01) {
      i += 2;
      continue;
    }
    if (m == 0xD9 || m == 0xDA) return std::nullopt;
    size_t len = static_cast<size_t>(b[i + 2]) << 8 | b[i + 3];
    if (len < 2) return std::nullopt;
    bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
    if (sof) {
      if (i + 9 > b.size() || len < 7) return std::nullopt;
      FrameLayout f;
      f.precision = b[i + 4];
      f.height = b[i + 5] << 8 | b[i + 6];
      f.width = b[i + 7] << 8 | b[i + 8];
      f.sequential = m == 0xC0 || m == 0xC1;
      if (i + 10 <= b.size()) f.components = b[i + 9];
      if (f.components > 0 && i + 12 <= b.size() && len >= 8 + 3u) {
        f.luma_h = b[i + 11] >> 4;
        f.luma_v = b[i + 11] & 0x0F;
      }
      return f;
    }
    i += 2 + len;
  }
  return std::nullopt;
}

std::optional<PixelSize> ReadJpegSize(std::span<const uint8_t> b) {
  auto f = ReadFrameLayout(b);
  if (!f) return std::nullopt;
  return PixelSize{f->width, f->height};
}

}  // namespace fq::camsim
