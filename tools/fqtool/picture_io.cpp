#include "picture_io.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "image/bitmap_unpack.h"
#include "image/bmp_file.h"
#include "exif_commands.h"
#include "jpeg_commands.h"
#include "base/file_io.h"

namespace fqtool {
namespace {

using fq::Failure;
using fq::ImageRecord;
using fq::Result;
using fq::Status;
namespace err = fq::err;

Result<ImageRecord> LoadBmp(const std::string& path) {
  auto read = fq::ReadBitmapFile(path);
  if (!read) return read.failure();
  return std::move(read->record);
}

Status SaveBmp(const std::string& path, const ImageRecord& record, const SaveOptions&) {
  return fq::WriteBitmapFile(path, record);
}

Status SaveJpegFile(const std::string& path, const ImageRecord& record, const SaveOptions& o) {
  return SaveJpegAs(path, record, o.quality, o.sampling);
}

struct KindRow {
  PictureKind kind;
  std::string_view name;
  std::string_view magic;
  std::string_view extensions[2];
  Result<ImageRecord> (*load)(const std::string&);  // nullptr: not readable yet
  Status (*save)(const std::string&, const ImageRecord&, const SaveOptions&);
};

const KindRow kKinds[] = {
    {PictureKind::kBmp, "BMP", "BM", {".bmp", ".dib"}, LoadBmp, SaveBmp},
    {PictureKind::kJpeg, "JPEG", "\xFF\xD8", {".jpg", ".jpeg"}, LoadJpegPicture, SaveJpegFile},
};

const KindRow* RowOf(PictureKind kind) {
  for (const auto& row : kKinds)
    if (row.kind == kind) return &row;
  return nullptr;
}

std::string LowerExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t sep = path.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

std::string_view KindName(PictureKind kind) {
  const KindRow* row = RowOf(kind);
  return row ? row->name : "unknown";
}

Result<PictureKind> ProbePicture(const std::string& path) {
  auto file = fq::io::Fs().OpenRead(path);
  if (!file) return Failure{err::kFileCannotBeOpened};
  char head[4] = {};
  size_t n = file->Read(head, sizeof head);
  std::string_view got(head, n);
  for (const auto& row : kKinds)
    if (got.substr(0, row.magic.size()) == row.magic) return row.kind;
  return PictureKind::kUnknown;
}

Result<Picture> LoadPicture(const std::string& path) {
  auto kind = ProbePicture(path);
  if (!kind) return kind.failure();
  const KindRow* row = RowOf(*kind);
  if (!row || !row->load) return Failure{err::kNoCorrespondence};
  auto record = row->load(path);
  if (!record) return record.failure();
  return Picture{*kind, std::move(*record)};
}

Result<ImageRecord> NormalizedForSave(ImageRecord record, int bits) {
  auto normal = fq::NormalizeImage(record);
  if (!normal) return normal.failure();
  normal->ApplyTo(record);
  // No display here: the forms a device bitmap would render are rendered in software.
  auto saved = fq::ConvertForSave(record, bits, fq::DeviceBitmapReader(
      [&record](int b) { return fq::RenderAtDepth(record, b); }));
  if (!saved) return saved.failure();
  saved->ApplyTo(record);
  return record;
}

Status SavePicture(const std::string& path, const ImageRecord& record, const SaveOptions& options) {
  std::string ext = LowerExtension(path);
  for (const auto& row : kKinds)
    for (std::string_view e : row.extensions)
      if (!e.empty() && e == ext && row.save) return row.save(path, record, options);
  return Failure{err::kNoCorrespondence};
}

}  // namespace fqtool
