// The marker segments at the head of a JPEG file: walking them, reading a
// file's header (everything before the first scan), classifying it by its
// application segments, keeping those segments with an open picture, and
// the byte surgery that puts kept or generated segments into a newly
// encoded file.
//
// Every walk is bounded by the bytes it is given: it stops at a byte that is
// not 0xFF where a marker should be, at a length below 2, and at a segment
// that runs past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/messages.h"

namespace fq {

inline constexpr uint8_t kMarkerSoi = 0xD8;
inline constexpr uint8_t kMarkerEoi = 0xD9;
inline constexpr uint8_t kMarkerSos = 0xDA;
inline constexpr uint8_t kMarkerDqt = 0xDB;
inline constexpr uint8_t kMarkerDht = 0xC4;
inline constexpr uint8_t kMarkerApp0 = 0xE0;
inline constexpr uint8_t kMarkerApp1 = 0xE1;
inline constexpr uint8_t kMarkerApp15 = 0xEF;
inline constexpr uint8_t kMarkerCom = 0xFE;

inline bool IsAppMarker(uint8_t m) { return m >= kMarkerApp0 && m <= kMarkerApp15; }

// One segment: marker, big-endian length (counting itself) and body.
struct JpegSegment {
  uint8_t marker = 0;
  size_t offset = 0;  // of its 0xFF
  size_t size = 0;    // 2 + the length field: the whole segment
};

// The segments between SOI and the first SOS.
struct SegmentWalk {
  bool starts_with_soi = false;
  std::vector<JpegSegment> segments;  // whole segments only
  bool reached_scan = false;          // an SOS marker ended the walk
  size_t scan_offset = 0;             // of the SOS marker when reached
  size_t end = 0;                     // end of the last whole segment (or of SOI)
};
SegmentWalk WalkHeader(std::span<const uint8_t> bytes);

// The file's bytes before its first SOS marker (SOI and whole segments).
// When the walk stops early (a damaged or truncated file) the whole
// segments before the damage are returned, so whatever they hold can still
// be shown. Failures: kFileDoesNotExist, kFileCannotBeOpened,
// kFailedToReadFile, kNotJpeg (the file does not begin with FF D8).
Result<std::vector<uint8_t>> ReadHeaderSegments(const std::string& path);

// What the application segments of a header say.
enum class HeaderClass {
  kNotJpeg = -1,
  kMakerOnly = 0,   // a maker APP0 segment and no Exif
  kExifOnly = 1,    // an Exif APP1 segment and no maker APP0
  kNeither = 2,
  kBoth = 3,
};
HeaderClass ClassifyHeader(std::span<const uint8_t> header);

// An APP0 segment counts as the maker's when its bytes hold "HEAP" then
// "JPGM" before any "JFIF"; an APP1 segment counts as Exif when its bytes
// hold "Exif" anywhere.
bool LooksLikeMakerApp0(std::span<const uint8_t> segment);
bool LooksLikeExifApp1(std::span<const uint8_t> segment);

// Application segments kept with an open picture: byte for byte, in file
// order, at most this many.
inline constexpr size_t kMaxKeptSegments = 16;
using KeptSegments = std::vector<std::vector<uint8_t>>;
// The APPn segments of a header, the first kMaxKeptSegments of them.
KeptSegments CopyAppSegments(std::span<const uint8_t> header);

// A JPEG reduced to what a decoder needs: SOI, every segment before the
// first scan except APP0..APP15 and COM, all DQT segments merged into one at
// the place of the first (likewise DHT), then the bytes from the first SOS up
// to and including the first EOI after it (an EOI is added to a file that
// ends without one). Failure: kNotJpeg (no SOI, or no scan).
Result<std::vector<uint8_t>> CleanJpeg(std::span<const uint8_t> jpeg);

// A newly encoded JPEG with `kept` in place of its APP0 segments: the kept
// segments are written once, where the first APP0 segment was (right after
// SOI when there is none); every APP0 segment before the scan is dropped,
// and so is any other header segment identical to a kept one, so that
// nothing appears twice. Everything else is copied unchanged. Failure:
// kNotJpeg.
Result<std::vector<uint8_t>> ReinsertSegments(std::span<const uint8_t> jpeg,
                                              const KeptSegments& kept);

}  // namespace fq
