#include "album_commands.h"

#include <cstdio>
#include <string_view>

#include "album/album_file.h"
#include "base/messages.h"
#include "image/image_record.h"

namespace fqtool {
namespace {

int List(const std::string& path) {
  auto album = fq::album::ReadAlbumFile(path);
  if (!album) {
    std::string_view text = fq::ErrorText(album.message());
    std::fprintf(stderr, "fqtool: %.*s\n", static_cast<int>(text.size()), text.data());
    return 1;
  }
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

}  // namespace

int RunAlbumCommand(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  std::fputs("usage: fqtool album list FILE\n", stderr);
  return 2;
}

}  // namespace fqtool
