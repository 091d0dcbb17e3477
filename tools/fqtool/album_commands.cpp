#include "album_commands.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "album/album_file.h"
#include "album/album_thumbnail.h"
#include "base/messages.h"
#include "image/bmp_file.h"
#include "image/image_record.h"
#include "image/jpeg_sampled.h"
#include "picture_io.h"

namespace fqtool {
namespace {

int Fail(int message) {
  std::string_view text = fq::ErrorText(message);
  std::fprintf(stderr, "fqtool: %.*s\n", static_cast<int>(text.size()), text.data());
  return 1;
}

int List(const std::string& path) {
  auto album = fq::album::ReadAlbumFile(path);
  if (!album) return Fail(album.message());
  std::printf("version: 0x%04X\nentries: %zu\ncheck marks: %s\n", album->version,
              album->entries.size(),
              album->has_check_marks ? "yes" : (album->extension_damaged ? "damaged" : "no"));
  size_t n = 0;
  for (const fq::album::AlbumFileEntry& e : album->entries) {
    std::printf("%3zu [%c] %2dx%-2d %s\n", ++n, e.checked ? 'x' : ' ',
                fq::ImageWidth(e.thumbnail), fq::ImageHeight(e.thumbnail), e.path.c_str());
  }
  return 0;
}

// What a thumbnail is made from: a JPEG decoded into the samples the
// thumbnail takes (as Add to Album does), any other picture as read.
fq::Result<fq::ImageRecord> LoadForThumbnail(const std::string& path) {
  auto kind = ProbePicture(path);
  if (kind && *kind == PictureKind::kJpeg)
    return fq::DecodeJpegSampled(path, [](int64_t w, int64_t h) {
      const fq::album::FittedSize f = fq::album::FitThumbnailSize(w, h);
      return fq::SampledSize{f.width, f.height};
    });
  auto picture = LoadPicture(path);
  if (!picture) return picture.failure();
  return std::move(picture->record);
}

// An album of the pictures named, in order, each with its thumbnail made by
// the cell's rule; the paths are stored as absolute paths.
int Make(const std::string& out, const std::vector<std::string>& pictures) {
  fq::album::AlbumFile album;
  for (const std::string& name : pictures) {
    if (album.entries.size() == fq::album::kMaxPictures) return Fail(fq::err::kAlbumFull);
    const std::string path = std::filesystem::absolute(name).string();
    for (const auto& e : album.entries)
      if (fq::album::SamePath(e.path, path)) return Fail(fq::err::kAlreadyInAlbum);
    auto picture = LoadForThumbnail(name);
    if (!picture) {
      std::fprintf(stderr, "fqtool: %s:\n", name.c_str());
      return Fail(picture.message());
    }
    auto thumbnail = fq::album::MakeStoredThumbnail(*picture);
    if (!thumbnail) return Fail(thumbnail.message());
    album.entries.push_back({path, std::move(*thumbnail), false});
  }
  fq::Status s = fq::album::WriteAlbumFile(out, album);
  return s ? 0 : Fail(s.message());
}

// The stored thumbnails as BMP files 001.bmp, 002.bmp, ... in `folder`, one
// line "NNN.bmp PATH" each on the output.
int Thumbnails(const std::string& path, const std::string& folder) {
  auto album = fq::album::ReadAlbumFile(path);
  if (!album) return Fail(album.message());
  size_t n = 0;
  for (const fq::album::AlbumFileEntry& e : album->entries) {
    char name[16];
    std::snprintf(name, sizeof name, "%03zu.bmp", ++n);
    fq::Status s = fq::WriteBitmapFile((std::filesystem::path(folder) / name).string(), e.thumbnail);
    if (!s) return Fail(s.message());
    std::printf("%s %s\n", name, e.path.c_str());
  }
  return 0;
}

}  // namespace

int RunAlbumCommand(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() >= 3 && args[0] == "make")
    return Make(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  if (args.size() == 3 && args[0] == "thumbnails") return Thumbnails(args[1], args[2]);
  std::fputs(
      "usage: fqtool album list FILE\n"
      "       fqtool album make OUT.alb PICTURE...\n"
      "       fqtool album thumbnails FILE DIR\n",
      stderr);
  return 2;
}

}  // namespace fqtool
