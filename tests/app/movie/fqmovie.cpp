// fqmovie: the movie side of the end-to-end tests, run under Wine.
//
//   fqmovie frame IN.avi OUT.bmp [REPEAT]
//       frame 0 of the movie through the program's own road (the system's
//       video library, then the frame check and normalisation), written as
//       a BMP file; with REPEAT, the extraction is timed that many times and
//       the mean printed as "ms_per_frame=...".
//   fqmovie write-dib OUT.avi WIDTH HEIGHT FRAMES RATE
//       an uncompressed 24-bit movie with bottom-up rows written through the
//       system's AVI library: a coloured picture with a white bar that
//       moves one step per frame.
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/win/win_file_system.h"
#include "image/bmp_file.h"
#include "show/win/movie_picture.h"

namespace {

int Frame(int argc, char** argv) {
  if (argc < 4) return 2;
  const int repeat = argc > 4 ? std::atoi(argv[4]) : 0;
  auto picture = fq::win::ReadMovieFrame(argv[2]);
  if (!picture) {
    std::fprintf(stderr, "no picture: message %d\n", picture.message());
    return 1;
  }
  std::printf("width=%d height=%d bits=%d\n", fq::ImageWidth(*picture), fq::ImageHeight(*picture),
              fq::ImageBitCount(*picture));
  if (repeat > 0) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < repeat; ++i)
      if (!fq::win::ReadMovieFrame(argv[2])) return 1;
    QueryPerformanceCounter(&b);
    std::printf("ms_per_frame=%.3f\n",
                1000.0 * double(b.QuadPart - a.QuadPart) / double(freq.QuadPart) / repeat);
  }
  fq::Status written = fq::WriteBitmapFile(argv[3], *picture);
  if (!written) {
    std::fprintf(stderr, "cannot write %s: message %d\n", argv[3], written.message());
    return 1;
  }
  return 0;
}

int WriteDib(int argc, char** argv) {
  if (argc < 7) return 2;
  const int w = std::atoi(argv[3]), h = std::atoi(argv[4]);
  const int frames = std::atoi(argv[5]), rate = std::atoi(argv[6]);
  if (w < 1 || h < 1 || frames < 1 || rate < 1) return 2;
  const int stride = (w * 3 + 3) & ~3;
  AVIFileInit();
  PAVIFILE file = nullptr;
  DeleteFileA(argv[2]);
  if (AVIFileOpenA(&file, argv[2], OF_CREATE | OF_WRITE, nullptr) != 0) {
    std::fprintf(stderr, "cannot create %s\n", argv[2]);
    AVIFileExit();
    return 1;
  }
  AVISTREAMINFOA si = {};
  si.fccType = streamtypeVIDEO;
  si.dwScale = 1;
  si.dwRate = static_cast<DWORD>(rate);
  si.dwSuggestedBufferSize = static_cast<DWORD>(stride * h);
  SetRect(&si.rcFrame, 0, 0, w, h);
  PAVISTREAM stream = nullptr;
  int rc = 1;
  if (AVIFileCreateStreamA(file, &stream, &si) == 0) {
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;  // bottom-up
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biSizeImage = static_cast<DWORD>(stride * h);
    rc = AVIStreamSetFormat(stream, 0, &bi, sizeof bi) == 0 ? 0 : 1;
    std::vector<unsigned char> rows(static_cast<size_t>(stride) * h);
    for (int i = 0; rc == 0 && i < frames; ++i) {
      // Rows are stored bottom row first: y counts from the top.
      for (int y = 0; y < h; ++y) {
        unsigned char* row = rows.data() + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
          const bool bar = x / 8 == i % (w / 8 + 1);
          row[3 * x] = bar ? 255 : static_cast<unsigned char>(x * 255 / w);       // blue
          row[3 * x + 1] = bar ? 255 : static_cast<unsigned char>(y * 255 / h);   // green
          row[3 * x + 2] = bar ? 255 : static_cast<unsigned char>(y < h / 4 ? 255 : 0);  // red top
        }
      }
      if (AVIStreamWrite(stream, i, 1, rows.data(), static_cast<LONG>(rows.size()),
                         AVIIF_KEYFRAME, nullptr, nullptr) != 0)
        rc = 1;
    }
    AVIStreamRelease(stream);
  }
  AVIFileRelease(file);
  AVIFileExit();
  if (rc) std::fprintf(stderr, "cannot write %s\n", argv[2]);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
  if (argc >= 2 && std::strcmp(argv[1], "frame") == 0) return Frame(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "write-dib") == 0) return WriteDib(argc, argv);
  std::fprintf(stderr,
               "usage: fqmovie frame IN.avi OUT.bmp [REPEAT]\n"
               "       fqmovie write-dib OUT.avi WIDTH HEIGHT FRAMES RATE\n");
  return 2;
}
