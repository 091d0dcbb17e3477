// The record of an image window: the picture with its display companions,
// its file names, zoom, edit counter and what was kept of its JPEG header.
// The window owns exactly one; it lives as long as the window.
#pragma once

#include <windows.h>
// The window system defines `small`, a parameter name of the Exif header.
#undef small

#include <optional>
#include <string>

#include "calendar/calendar_record.h"
#include "image/exif.h"
#include "image/image_record.h"
#include "image/image_view.h"
#include "base/win/gdi.h"

namespace fq::win {

struct ImageDocument {
  ImageRecord picture;
  Palette display_palette;  // empty for pictures without a colour table
  Bitmap device_bitmap;
  uint32_t compression = 0;
  int bit_count = 0;
  int width = 0, height = 0;
  RECT window_rect{};  // the window rectangle for the zoomed client size
  int source_kind = view::kSourceBmp;
  std::string path;          // full path (for a cut-out: folder + untitled name)
  std::string folder;        // drive and directory, with its trailing separator
  std::string display_name;  // file name with extension, or "Untitled %d"
  int zoom = view::kDefaultZoom;
  int rotation = 0;
  int last_edit_kind = 0;
  int edit_counter = 0;  // non-zero: modified
  int adjustment_mode = 1;
  bool selection_shown = false;
  bool untitled = false;
  KeptHeader kept;  // segments and camera data of a JPEG source
  std::optional<cal::CalendarRecord> calendar;  // the record of a calendar page

  bool modified() const { return edit_counter != 0; }
};

// The document of an image window, or null for any other window.
ImageDocument* DocumentOf(HWND window);
// Stores `doc` (owned by the window from now on) and the image kind in the
// window's slots; null clears them.
void AttachDocument(HWND window, ImageDocument* doc);

// Makes the display palette and device bitmap of the document's picture for
// the window's display, replacing the old ones. False (reported) on failure.
bool RebuildDisplay(HWND window, ImageDocument& doc);

// Replaces the picture (after a conversion for saving), updating its size
// fields and display companions.
bool ReplacePicture(HWND window, ImageDocument& doc, ImageRecord picture);

// The display palette and device bitmap of a picture, made before the
// picture is put into a document so that a failure changes nothing.
struct DisplayCompanions {
  Palette palette;
  Bitmap bitmap;
};
// Failures are reported here; nothing then.
std::optional<DisplayCompanions> MakeDisplayCompanions(HWND window, const ImageRecord& picture);
// The document's picture was just replaced: its size and form fields follow
// it and `companions` (made from it) become its display.
void AdoptPicture(ImageDocument& doc, DisplayCompanions companions);

// The number of the next "Untitled %d" window (1, 2, ...).
int NextUntitledNumber();

}  // namespace fq::win

namespace fq::win {

// The image window of the MDI client that shows `path` (compared without
// regard to letter case), other than `except`; null when there is none.
HWND FindImageWindow(HWND mdi_client, const std::string& path, HWND except = nullptr);

// The file name part of a path and its drive and directory (with the
// trailing separator).
std::string FileNameOf(const std::string& path);
std::string FolderPartOf(const std::string& path);

// After the document changed (save, edit): title, menus and picture again.
void RefreshImageWindow(HWND window);

}  // namespace fq::win
