// Album bytes of any shape: reading must refuse or succeed cleanly, and an
// album it accepts must write back and read again to the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "album/album_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto album = fq::album::ReadAlbumBytes(std::span<const uint8_t>(data, size));
  if (!album) return 0;
  auto bytes = fq::album::AlbumFileBytes(*album);
  if (!bytes) std::abort();  // whatever reading accepts can be stored
  auto again = fq::album::ReadAlbumBytes(*bytes);
  if (!again || again->entries.size() != album->entries.size()) std::abort();
  for (size_t i = 0; i < album->entries.size(); ++i) {
    const auto& a = album->entries[i];
    const auto& b = again->entries[i];
    if (a.path != b.path || a.checked != b.checked) std::abort();
    auto ab = a.thumbnail.bytes(), bb = b.thumbnail.bytes();
    if (ab.size() != bb.size() || !std::equal(ab.begin(), ab.end(), bb.begin())) std::abort();
  }
  return 0;
}
