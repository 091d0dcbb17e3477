// Which pictures a camera takes as they are, which it takes after they have
// been re-encoded for it, and which it cannot take at all: the acceptance
// test of "Data out to Camera", one verdict per file and camera type.
//
// The verdict is an attribute byte: 255 refused; otherwise the low four
// bits are the recording mode the camera stores the picture in and bit 4
// says the file is re-encoded before it is sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fq::cam {

inline constexpr uint8_t kRefused = 255;
inline constexpr uint8_t kReencode = 0x10;
inline constexpr uint8_t kModeBits = 0x0F;

inline bool IsRefused(uint8_t attribute) { return attribute == kRefused; }
inline bool NeedsReencoding(uint8_t attribute) {
  return !IsRefused(attribute) && (attribute & kReencode) != 0;
}
inline uint8_t ModeOf(uint8_t attribute) { return attribute & kModeBits; }

// The box shown (without caption) for a type-4 file whose segments cannot
// be read.
inline constexpr std::string_view kNotJpegFileBox = "This is not JPEG File.";

// What the test reads from a file.
struct JpegFacts {
  bool exists = false;
  uint64_t size = 0;
  bool is_jpeg = false;      // the program's JPEG recogniser
  bool header_read = false;  // the JPEG library read the frame header
  uint32_t width = 0, height = 0;
  int luma_h = 0, luma_v = 0;  // sampling factors of the first component
  int components = 0;
  int precision = 0;
  bool progressive = false;
  // Type 4 only: the segments before the scan could be read, and one of
  // them is an Exif segment written by this family of cameras or by the
  // program for them.
  bool segments_read = false;
  bool camera_exif = false;
};

// Reads the facts of a file; the Exif part only when `exif_check`.
JpegFacts ReadJpegFacts(const std::string& path, bool exif_check);

// Why a file was refused, and what the user is shown for it.
enum class Refusal {
  kNone,
  kUnreadable,        // missing or empty: "File cannot be opened."
  kNotJpeg,           // "This is not a Jpeg file."
  kNotTransferable,   // "This JPEG file cannot be transferred to the Camera.\nFile Name : %s"
  kSegmentsUnreadable,  // type 4: kNotJpegFileBox, and the command ends
};

struct Acceptance {
  uint8_t attribute = kRefused;
  Refusal refusal = Refusal::kUnreadable;
};

// The verdict for a camera of type 1, 2, 3 or 4 (any other type refuses).
Acceptance JudgeForCamera(const JpegFacts& facts, int camera_type);
// ReadJpegFacts and JudgeForCamera.
Acceptance AcceptForCamera(const std::string& path, int camera_type);

// The error index shown for a refusal (-1 for none and for the plain box).
int MessageOfRefusal(Refusal r);
// The text of message 21 with the file name filled in (without the
// table's trailing line break).
std::string NotTransferableText(std::string_view file_name);

// Type 1: the recording mode of a picture of this size and file length,
// or 255 when the camera cannot store it.
uint8_t TypeOneMode(uint32_t width, uint32_t height, uint64_t bytes);

// The largest file the link sends (the camera's picture buffer).
inline constexpr uint64_t kLargestUpload = 16u << 20;

}  // namespace fq::cam
