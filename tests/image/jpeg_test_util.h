// Helpers for the JPEG tests: pictures made with the JPEG library directly
// (so the tests do not depend on the code they test), a reference decode,
// and a reader of the segments our encoder wrote.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace fq::testing {

struct JpegOptions {
  int width = 64, height = 48;
  J_COLOR_SPACE space = JCS_RGB;  // input colour space (RGB, GRAYSCALE, CMYK)
  int quality = 90;
  int h0 = 2, v0 = 2;  // sampling of the first component
  bool progressive = false;
  bool arithmetic = false;
  int restart_rows = 0;
  int density_unit = 0, x_density = 1, y_density = 1;
  const char* comment = nullptr;
};

// A test picture: smooth gradients with a little detail, deterministic.
inline uint8_t Sample(int x, int y, int c) {
  return static_cast<uint8_t>((x * (3 + c) + y * (5 - c) + ((x ^ y) & 7) * 4 + c * 60) & 0xFF);
}

inline std::vector<uint8_t> MakeJpeg(const JpegOptions& o) {
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = o.width;
  c.image_height = o.height;
  c.in_color_space = o.space;
  c.input_components = o.space == JCS_GRAYSCALE ? 1 : o.space == JCS_CMYK ? 4 : 3;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, o.quality, TRUE);
  if (o.space == JCS_RGB) {
    c.comp_info[0].h_samp_factor = o.h0;
    c.comp_info[0].v_samp_factor = o.v0;
  }
  if (o.progressive) jpeg_simple_progression(&c);
  c.arith_code = o.arithmetic ? TRUE : FALSE;
  c.restart_in_rows = o.restart_rows;
  c.density_unit = static_cast<UINT8>(o.density_unit);
  c.X_density = static_cast<UINT16>(o.x_density);
  c.Y_density = static_cast<UINT16>(o.y_density);
  jpeg_start_compress(&c, TRUE);
  if (o.comment)
    jpeg_write_marker(&c, JPEG_COM, reinterpret_cast<const JOCTET*>(o.comment),
                      static_cast<unsigned>(std::char_traits<char>::length(o.comment)));
  std::vector<uint8_t> row(static_cast<size_t>(o.width) * c.input_components);
  while (c.next_scanline < c.image_height) {
    int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < o.width; ++x)
      for (int k = 0; k < c.input_components; ++k)
        row[static_cast<size_t>(x) * c.input_components + k] = Sample(x, y, k);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> out(mem, mem + size);
  free(mem);
  return out;
}

// Rows top-first as the library decodes them by default (RGB or grey).
struct Decoded {
  int width = 0, height = 0, components = 0;
  std::vector<uint8_t> pixels;
};
inline Decoded ReferenceDecode(const std::vector<uint8_t>& jpeg) {
  jpeg_decompress_struct d;
  jpeg_error_mgr e;
  d.err = jpeg_std_error(&e);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg.data(), jpeg.size());
  jpeg_read_header(&d, TRUE);
  jpeg_start_decompress(&d);
  Decoded r;
  r.width = static_cast<int>(d.output_width);
  r.height = static_cast<int>(d.output_height);
  r.components = d.output_components;
  r.pixels.resize(static_cast<size_t>(r.width) * r.height * r.components);
  while (d.output_scanline < d.output_height) {
    JSAMPROW p = r.pixels.data() + static_cast<size_t>(d.output_scanline) * r.width * r.components;
    jpeg_read_scanlines(&d, &p, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return r;
}

// Marker segments of a JPEG up to the first SOS: marker → payloads.
inline std::multimap<int, std::vector<uint8_t>> Segments(const std::vector<uint8_t>& j) {
  std::multimap<int, std::vector<uint8_t>> out;
  size_t i = 2;
  while (i + 4 <= j.size() && j[i] == 0xFF) {
    int marker = j[i + 1];
    size_t len = (j[i + 2] << 8) | j[i + 3];
    if (len < 2 || i + 2 + len > j.size()) break;
    out.emplace(marker, std::vector<uint8_t>(j.begin() + i + 4, j.begin() + i + 2 + len));
    if (marker == 0xDA) break;
    i += 2 + len;
  }
  return out;
}

// Quantisation tables of the DQT segments in natural order, by table id.
inline std::map<int, std::vector<int>> QuantTables(const std::vector<uint8_t>& j) {
  static const int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  std::map<int, std::vector<int>> out;
  const auto segments = Segments(j);
  auto range = segments.equal_range(0xDB);
  for (auto it = range.first; it != range.second; ++it) {
    const auto& p = it->second;
    size_t k = 0;
    while (k + 65 <= p.size()) {
      int id = p[k] & 15;
      bool wide = p[k] >> 4;
      if (wide) break;
      std::vector<int> table(64);
      for (int n = 0; n < 64; ++n) table[kZigzag[n]] = p[k + 1 + n];
      out[id] = table;
      k += 65;
    }
  }
  return out;
}

inline std::string ReadText(const std::string& path) {
  std::string s;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::string s = ReadText(path);
  return std::vector<uint8_t>(s.begin(), s.end());
}

// A fresh folder that is also the temporary folder while it lives.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/fqjpegXXXXXX";
    path_ = mkdtemp(tmpl) ? tmpl : "/tmp";
    path_ += '/';
    const char* old = std::getenv("TMPDIR");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    setenv("TMPDIR", path_.c_str(), 1);
  }
  ~ScratchDir() {
    if (had_old_) setenv("TMPDIR", old_.c_str(), 1); else unsetenv("TMPDIR");
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + name; }
  const std::string& path() const { return path_; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_, old_;
  bool had_old_ = false;
};

}  // namespace fq::testing
