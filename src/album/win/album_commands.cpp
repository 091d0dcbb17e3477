#include "album/win/album_commands.h"

#include "album/album_file.h"
#include "album/win/album_add_files.h"
#include "album/win/album_cell.h"
#include "album/win/album_clipboard.h"
#include "album/win/album_window.h"
#include "base/command_ids.h"
#include "base/win/frame_link.h"
#include "base/win/message_box.h"
#include "image/win/image_info_dialog.h"

namespace fq::win {

bool RegisterAlbumWindowClass(HINSTANCE instance) { return RegisterAlbumChildClass(instance); }

bool RegisterAlbumButtonClass(HINSTANCE instance) { return RegisterAlbumCellClass(instance); }

bool OpenAlbumDocument(HWND mdi_client, const std::string& path) {
  // The file is read whole first: a damaged one leaves no window behind.
  auto file = album::ReadAlbumFile(path);
  if (!file) {
    ShowError(file.message());
    return false;
  }
  HWND album = CreateAlbumWindow(mdi_client, path);
  if (!album) return false;
  {
    BatchAddition batch(album);
    for (const album::AlbumFileEntry& e : file->entries) {
      if (!AddPicture(album, e.path, e.thumbnail, e.checked)) {
        SendMessageA(mdi_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(album), 0);
        return false;
      }
    }
  }
  AlbumOf(album)->modified = false;  // reading alone changes nothing
  Frame().DocumentChanged(album);
  return true;
}

std::string AlbumDocumentPath(HWND window) {
  const AlbumRecord* rec = AlbumOf(window);
  return rec ? rec->path : std::string();
}

std::optional<std::string> AlbumSelectionPath() {
  const AlbumEntry* e = EntryOf(Albums().last_selected);
  if (!e) return std::nullopt;
  return e->path;
}

void NewAlbumCommand(HWND mdi_client) { CreateAlbumWindow(mdi_client, {}); }

void AlbumCommand(HWND album, int command_id) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  switch (command_id) {
    case cmd::kSave: SaveAlbum(album, false); return;
    case cmd::kSaveAs: SaveAlbum(album, true); return;
    case cmd::kAddToAlbum: AddPicturesFromFiles(album); return;
    case cmd::kCopy: CopyAlbumPicture(album); return;
    case cmd::kCut: CutAlbumPicture(album); return;
    case cmd::kPaste: PasteAlbumPicture(album); return;
    case cmd::kImageInformation:
      if (const AlbumEntry* e = EntryOf(rec->selected))
        ShowImageInformationFor(GetParent(GetParent(album)), e->path);
      else
        ShowError(err::kUnexpected);
      return;
  }
}

HWND NewUntitledAlbum(HWND mdi_client) { return CreateAlbumWindow(mdi_client, {}); }

bool AddPictureToAlbum(HWND album, const std::string& path, const ImageRecord& picture) {
  if (!AlbumOf(album)) return false;
  return AddPicture(album, path, picture) != nullptr;
}

void NotifyWhenAlbumCloses(HWND album, std::function<void(HWND)> notice) {
  if (AlbumRecord* rec = AlbumOf(album)) rec->closing_notice = std::move(notice);
}

}  // namespace fq::win
