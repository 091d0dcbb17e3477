// The album file (.alb): a 32-byte header, one entry per picture (the
// picture's path in a 260-byte field and a 24-bit thumbnail), then a tagged
// extension block with one check mark per picture. Albums only refer to
// their pictures; the picture files stay where they are.
//
// Everything here works on bytes: the album window turns an AlbumFile into
// cells and back. Sizes taken from a file are bounded before they are used,
// so a damaged or hostile file gives a message and nothing half-made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "image/image_record.h"

namespace fq::album {

// The 15 signature characters; a zero byte follows them in the file.
inline constexpr std::string_view kSignature = "ORX DSC ALBUM  ";
inline constexpr size_t kHeaderSize = 32;
inline constexpr uint16_t kVersion = 0x0102;         // written: with check marks
inline constexpr uint16_t kVersionNoMarks = 0x0101;  // older: check marks never applied
inline constexpr uint8_t kHeaderMarker = 'P';        // byte 18, not examined on reading

inline constexpr size_t kMaxPictures = 100;
// A path field holds at most 259 bytes and its terminator.
inline constexpr size_t kPathFieldSize = 260;
inline constexpr size_t kMaxPathLength = kPathFieldSize - 1;
inline constexpr size_t kEntryFixedSize = kPathFieldSize + 4;  // path + thumbnail size

// Thumbnails fit this box (the album window's cell picture).
inline constexpr int32_t kThumbnailMaxWidth = 96;
inline constexpr int32_t kThumbnailMaxHeight = 72;
// Largest thumbnail size field accepted. A whole thumbnail needs at most
// 40 + 72 × 288 bytes; readers skip any excess, so some room is left, but a
// size beyond this is damage, not a thumbnail.
inline constexpr uint32_t kMaxThumbnailField = 1u << 20;

inline constexpr std::string_view kExtensionTag = "ORX_ALBEXT";
inline constexpr std::string_view kCheckMarkTag = "ORX_P";
inline constexpr size_t kExtensionFixedSize = 24;  // tag, L, sub-tag, g, m
// Largest extension length field accepted (the written one is count + 10).
inline constexpr uint32_t kMaxExtensionField = 1u << 16;

// Shown in file dialogs.
inline constexpr std::string_view kFileFilterName = "Album Files(*.ALB)";
inline constexpr std::string_view kFileExtension = ".alb";

struct AlbumFileEntry {
  std::string path;       // as stored, at most kMaxPathLength bytes
  ImageRecord thumbnail;  // 40-byte header + 24-bit rows, no excess bytes
  bool checked = false;
};

struct AlbumFile {
  uint16_t version = kVersion;  // as read; writing always writes kVersion
  std::vector<AlbumFileEntry> entries;
  // Reading: true when an extension block with check marks was found.
  bool has_check_marks = false;
  // Reading: an extension block was there but damaged (its marks are then
  // not applied; the album itself still opens).
  bool extension_damaged = false;
};

// True when `first` (at least the 32 header bytes) starts with the
// signature as a zero-terminated text.
bool HasAlbumSignature(std::span<const uint8_t> first);

// True when `thumbnail` can be stored: 40-byte header, 24 bits, uncompressed,
// no colour table, 1..96 × 1..72 bottom-up, every row present.
bool IsValidThumbnail(const ImageRecord& thumbnail);

// The bytes of an album file. Failures: kAlbumFull (more than 100 entries),
// kFileNameTooLong (a path of 260 bytes or more), kGetBitmap (an entry
// without a storable thumbnail), kMemory.
Result<std::vector<uint8_t>> AlbumFileBytes(const AlbumFile& album);

// Writes the album so that the old file is replaced only when the new one is
// whole; on any failure the old file stays as it was. Failures: those of
// AlbumFileBytes, kFileCannotBeOpened, kDiskFull, kCannotCreateFile.
Status WriteAlbumFile(const std::string& path, const AlbumFile& album);

// Reads an album. Failures: kFileCannotBeOpened, kFailedToReadFile (short or
// damaged data, a size out of bounds, a thumbnail that is not a stored
// thumbnail), kNotAlbumFile, kMemory, kAlreadyInAlbum (the same path twice,
// any letter case), kAlbumFull (a 101st entry).
Result<AlbumFile> ReadAlbumFile(const std::string& path);
// The same from bytes in memory.
Result<AlbumFile> ReadAlbumBytes(std::span<const uint8_t> bytes);

// The check marks alone: the marks of the extension block (at most 100), or
// nothing when the file has no intact block with check marks.
std::optional<std::vector<uint8_t>> ReadAlbumCheckMarks(const std::string& path);

// Save-dialog rule: ".alb" is appended unless the name already ends in
// ".alb" or ".ALB" (exactly these two forms).
std::string WithAlbumExtension(const std::string& name);

// Case-insensitive (ASCII letters) path comparison, as albums compare paths.
bool SamePath(std::string_view a, std::string_view b);

}  // namespace fq::album
