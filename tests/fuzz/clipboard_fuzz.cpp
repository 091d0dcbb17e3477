// What another program may put on the clipboard, as an album's Paste sees
// it: the first two bytes give the length of the text block, the rest is the
// bitmap block. Both go through the paste checks; a bitmap that passes must
// give a storable thumbnail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "album/album_file.h"
#include "album/album_thumbnail.h"
#include "output/clipboard_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t text_size = (data[0] | (size_t{data[1]} << 8)) % (size - 1);
  std::span<const uint8_t> text(data + 2, text_size);
  std::span<const uint8_t> bitmap(data + 2 + text_size, size - 2 - text_size);
  auto path = fq::clip::PathFromTextBlock(text);
  if (path && path->size() >= fq::clip::kPathBlockSize) std::abort();
  auto picture = fq::clip::PictureFromBitmapBlock(bitmap);
  if (!picture) return 0;
  auto thumbnail = fq::album::MakeStoredThumbnail(*picture);
  if (thumbnail && !fq::album::IsValidThumbnail(*thumbnail)) std::abort();
  return 0;
}
