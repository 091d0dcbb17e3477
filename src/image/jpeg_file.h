// JPEG files to pictures and back. Every coding goes file to file through a
// BMP file, the program's exchange format between its parts: decoding writes
// a BMP (24 bits, or 8 bits with a grey palette for greyscale files) that is
// then read into an image record; encoding reads a 24- or 8-bit BMP.
//
// Failures: kFileCannotBeOpened when either file cannot be opened,
// kCreatingBitmap when decoding fails after that, kCreatingJpeg when
// encoding fails after that. Nothing is shown here. A file that would
// replace an existing one is written beside it and moved over it only when
// whole, so a failure leaves the old file as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"
#include "image/bmp_file.h"
#include "image/image_record.h"

namespace fq {

// Called once per group of rows with the rows done so far and the picture
// height; it lets the window layer move its meter and dispatch messages.
// Returning false abandons the coding (reported as its failure code).
using JpegProgress = std::function<bool(int rows_done, int height)>;

// Largest picture the decoder accepts (width × height): far above any camera
// picture, low enough that a small forged header cannot demand gigabytes.
inline constexpr uint64_t kMaxJpegPixels = 120'000'000;

// Decodes a JPEG file into a BMP file.
Status JpegToBitmapFile(const std::string& jpeg_path, const std::string& bmp_path,
                        const JpegProgress& progress = {});
// Decodes JPEG bytes into the bytes of a BMP file. `message`, when given,
// receives the library's text for a failure (for diagnostics only).
Result<std::vector<uint8_t>> JpegToBitmapBytes(std::span<const uint8_t> jpeg,
                                               const JpegProgress& progress = {},
                                               uint64_t max_pixels = kMaxJpegPixels,
                                               std::string* message = nullptr);
// The whole road of opening a JPEG: decode into a new temporary BMP file in
// the temporary folder, read that into a record, remove the temporary file.
Result<BitmapRead> LoadJpeg(const std::string& jpeg_path, const JpegProgress& progress = {});

// Quality presets of the Save commands (the library's 1..100 scale).
inline constexpr int kJpegQualityStandard = 75;
inline constexpr int kJpegQualityLow = 55;
inline constexpr int kJpegQualityHigh = 95;
// Chroma halved horizontally: every save, the Exif thumbnail, most uploads.
inline constexpr const char* kSampling2x1 = "2x1,1x1,1x1";
// Chroma quartered horizontally: the size-targeted upload.
inline constexpr const char* kSampling4x1 = "4x1,1x1,1x1";

// Encodes a BMP file (24 bits, or 8 bits through its palette) into a
// baseline JPEG with the program's quantisation tables at `quality` and the
// sampling string's factors.
Status BitmapFileToJpeg(const std::string& bmp_path, const std::string& jpeg_path,
                        const std::string& sampling, int quality,
                        const JpegProgress& progress = {});
// Encodes a record directly (uncompressed 24 or 8 bits).
Status ImageToJpegFile(const ImageRecord& r, const std::string& jpeg_path,
                       const std::string& sampling, int quality,
                       const JpegProgress& progress = {});
// Saving a picture as JPEG the program's way: the bytes BitmapFileToJpeg
// makes of the BMP file the record would be written to (the record is
// encoded directly; no temporary BMP file is made).
Status SaveJpeg(const ImageRecord& r, const std::string& jpeg_path, int quality,
                const std::string& sampling = kSampling2x1,
                const JpegProgress& progress = {});

}  // namespace fq
