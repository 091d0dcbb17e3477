// Picture cells: child windows of class ORXAlbumButton, 130 × 150, each
// owning the AlbumEntry of one picture of its album. A cell draws its
// thumbnail, date, check box and title, moves the selection with the arrow
// keys, opens its picture on Enter or a double click and renames the
// picture file when its title is edited.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "album/album_date.h"
#include "base/win/gdi.h"
#include "image/image_record.h"

namespace fq::win {

inline constexpr char kAlbumCellClass[] = "ORXAlbumButton";

// Private messages of a cell.
inline constexpr UINT kMsgTitleEscape = 0x0955;  // the title was left with Escape
inline constexpr UINT kMsgEditAgain = 0x0956;    // a rename failed: edit the title again
inline constexpr UINT kMsgTitleEnter = 0x0957;   // the title was left with Enter
// (0x0465, realise the palette, is kMsgRealizePalette of window_slots.h.)

struct AlbumEntry {
  std::string path;
  HWND previous = nullptr, next = nullptr;  // neighbours in album order
  ImageRecord thumbnail;                    // the stored thumbnail
  Bitmap display;                           // 96 × 72, drawn in the cell
  Palette palette;                          // none for full-colour pictures
  album::PictureDate date;
  bool ticked = false;
  std::string title;        // shown in the title field: the file name
  std::string saved_title;  // the title before the current edit
  HWND check_box = nullptr;
  HWND title_field = nullptr;  // made on the first click into the title
  bool editing = false;  // the title field is editable
};

// The entry of a cell; null for any other window.
AlbumEntry* EntryOf(HWND cell);

bool RegisterAlbumCellClass(HINSTANCE instance);

// Creates the cell of `entry` in `album` at the grid place of `index` with
// the child identifier `id`; the cell owns the entry from then on. Null on
// failure (the entry is freed).
HWND CreateCell(HWND album, int index, int id, std::unique_ptr<AlbumEntry> entry);

// Ends a title edit in progress (the album is closing or saving).
void EndTitleEdit(HWND album);

}  // namespace fq::win
