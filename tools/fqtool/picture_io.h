// Pictures in files for the command-line tool: the kind of a file by its
// content, reading it into an image record and writing a record out. Each
// file kind is one row of a table, so a new kind is one reader, one writer
// and one row.
#pragma once

#include <string>
#include <string_view>

#include "base/messages.h"
#include "image/image_record.h"

namespace fqtool {

enum class PictureKind { kUnknown, kBmp, kJpeg };

std::string_view KindName(PictureKind kind);

// The kind of a file by its first bytes. Failure: kFileCannotBeOpened.
fq::Result<PictureKind> ProbePicture(const std::string& path);

struct Picture {
  PictureKind kind = PictureKind::kUnknown;
  fq::ImageRecord record;  // as stored in the file (compression kept)
};

// Reads a picture. Failures: those of the kind's reader; kNoCorrespondence for
// a kind without one.
fq::Result<Picture> LoadPicture(const std::string& path);

// The record with compression 0 at 8 or 24 bits, whatever form it was read in.
fq::Result<fq::ImageRecord> NormalizedForSave(fq::ImageRecord record, int bits);

struct SaveOptions {
  int bits = 24;  // 8 or 24
  int quality = 75;                    // JPEG
  std::string sampling = "2x1,1x1,1x1";  // JPEG
};

// Writes `record` (already at options.bits) in the kind named by the file's
// extension. Failure: kNoCorrespondence for an extension without a writer.
fq::Status SavePicture(const std::string& path, const fq::ImageRecord& record,
                       const SaveOptions& options);

}  // namespace fqtool
