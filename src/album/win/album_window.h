// Album windows: MDI children of class ORXAlbumChild that show an album as a
// grid of picture cells (album_cell.h), five to a row. The window keeps its
// AlbumRecord; the cells keep their pictures and link themselves into the
// album's list when they are created.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "album/album_layout.h"
#include "image/image_record.h"

namespace fq::win {

inline constexpr char kAlbumWindowClass[] = "ORXAlbumChild";
// The cursor resource shown while a picture is dragged to another album.
inline constexpr char kDropCursor[] = "DropCursor";

// The record of an album window (one per window, owned by it).
struct AlbumRecord {
  std::string path;      // the album file; empty for an album never saved
  bool modified = true;  // a new album counts as changed
  int count = 0;
  int serial = 0;  // grows with every picture ever added: the next cell's identifier
  HWND first = nullptr, last = nullptr, selected = nullptr;
  bool destroying = false;  // cells go without re-layout
  int batch = 0;            // additions in a row: laid out once at the end
  std::function<void(HWND)> closing_notice;
};

// What all album windows share.
struct AlbumProcessState {
  HWND last_selected = nullptr;      // the cell selected last in any album
  HWND previous_selected = nullptr;  // the one before it, repainted with it
  HWND drag_source = nullptr;
  HCURSOR cursor_before_drag = nullptr;
  int next_untitled = 1;  // "Album %d"
  int open_albums = 0;
  bool keep_adding = true;  // cleared by a full album to stop a multiple addition
};
AlbumProcessState& Albums();

bool RegisterAlbumChildClass(HINSTANCE instance);

// The record of an album window; null for any other window.
AlbumRecord* AlbumOf(HWND window);

// A new album window: titled with the file's name, or "Album %d" when
// `path` is empty. With a path that another album window shows already,
// that one is raised with "File with same name has already been opened."
// and nothing is created. Null on failure (reported).
HWND CreateAlbumWindow(HWND mdi_client, const std::string& path);

// Adds a picture: refused (reported) when the album is full (which also
// stops a multiple addition) or holds the path already in any letter case;
// otherwise the cell's thumbnail is made from `picture` and the cell
// created, selected and scrolled into view. The new cell, or null.
HWND AddPicture(HWND album, const std::string& path, const ImageRecord& picture, bool ticked = false);

// Several pictures added in a row (an album file being read, Add to
// Album): while it lives the album is not redrawn, and at its end the
// window grows, scrolls and shows its selection once, as it would have
// after the last addition on its own.
class BatchAddition {
 public:
  explicit BatchAddition(HWND album);
  ~BatchAddition();
  BatchAddition(const BatchAddition&) = delete;
  BatchAddition& operator=(const BatchAddition&) = delete;

 private:
  HWND album_;
  int old_count_ = 0;
};

// Removes the selected picture (the second half of Cut).
void RemoveSelectedPicture(HWND album);

// Save (to the album's file; an album without one asks for a name) and
// Save As (always asks). True when the album was written.
bool SaveAlbum(HWND album, bool save_as);

// The album's pictures in order, and the index of a cell (-1 if none).
int CellIndex(HWND cell);
HWND CellAt(HWND album, int index);

// For the cells: a cell came into being (it links itself after the last
// one) or goes; the selection moves to a cell; the album scrolls a cell into
// view; a press on a cell starts dragging it.
void LinkNewCell(HWND album, HWND cell);
void UnlinkCell(HWND album, HWND cell);
void SelectCell(HWND cell);
void ScrollCellIntoView(HWND album, HWND cell);
void BeginDrag(HWND album, HWND cell);
// The album changed in a way its file would show (a rename).
void MarkModified(HWND album);
// True while `window` is the album window that is active in its MDI client.
bool IsActiveAlbum(HWND album);

}  // namespace fq::win
