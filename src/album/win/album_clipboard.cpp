#include "album/win/album_clipboard.h"

#include "album/win/album_cell.h"
#include "album/win/album_window.h"
#include "base/win/message_box.h"
#include "output/win/clipboard.h"

namespace fq::win {

bool CopyAlbumPicture(HWND album) {
  const AlbumRecord* rec = AlbumOf(album);
  const AlbumEntry* e = rec ? EntryOf(rec->selected) : nullptr;
  if (!e) {
    ShowError(err::kAlbumNotSelected);
    return false;
  }
  Status s = PutAlbumPicture(album, e->path, e->thumbnail);
  ShowFailure(s);
  return s.ok();
}

void CutAlbumPicture(HWND album) {
  if (CopyAlbumPicture(album)) RemoveSelectedPicture(album);
}

bool PasteAlbumPicture(HWND album) {
  auto taken = TakeAlbumPicture(album);
  if (!taken) {
    ShowError(taken.message());
    return false;
  }
  return AddPicture(album, taken->path, taken->picture) != nullptr;
}

}  // namespace fq::win
