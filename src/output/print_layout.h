// Where printed things go on a sheet: pure arithmetic from the printable
// area, its resolution, the print options, the pictures' sizes and the
// width of "M" in the printer's font to rectangles in device pixels. The
// window layer measures, loads and draws; every position comes from here.
#pragma once

#include <optional>
#include <string>

#include "album/album_date.h"

namespace fq::print {

// A rectangle as a position and a size (device or picture pixels, y down).
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Box&, const Box&) = default;
};

// The printable area of a sheet in device pixels and the device's
// resolution in dots per inch.
struct Page {
  int width = 0, height = 0;
  int dpi_x = 0, dpi_y = 0;
};

// One fifth of an inch: the vertical resolution / 5, the horizontal one
// when that is not positive.
int LineHeight(const Page& page);

// Left margin between a date caption and a name caption on the same line.
inline constexpr int kNameGap = 50;
// A date caption is 12 "M"s wide.
inline constexpr int kDateEms = 12;

struct Captions {
  bool name = false;
  bool date = false;
};

// One picture on a sheet: the part of the picture drawn, where it goes,
// and the caption boxes that apply (only those switched on, and the date
// only when the picture has one).
struct Placed {
  Box source;
  Box picture;
  std::optional<Box> date;
  std::optional<Box> name;
};

// --- One picture (image and calendar windows) ---------------------------------

enum class Placement { kPaperSize = 0, kOriginalSize = 1, kUpper = 2, kLower = 3 };

struct ImageJob {
  Placement placement = Placement::kPaperSize;
  Captions captions;
  bool calendar = false;  // a calendar page is never captioned
  bool has_date = false;  // the picture's date is known
  int m_width = 0;        // width of "M" in the printer's font
};

// `source` is the selection, or the whole picture. At original size a
// picture larger than the sheet is cut to the part that lies on it (the
// source shrinks with it). Nothing when the sheet cannot hold the layout.
std::optional<Placed> PlaceImage(const Page& page, const ImageJob& job, const Box& source);

// --- Albums -------------------------------------------------------------------

enum class AlbumLayout { kThumbnails = 0, kTwo = 1, kFour = 2, kSixteen = 3 };

// The quantities of one album job, fixed for all its sheets.
struct AlbumGrid {
  AlbumLayout layout = AlbumLayout::kThumbnails;
  Page page;
  Captions captions;
  int m_width = 0;
  int line = 0;       // Lh
  int columns = 1;    // cells across (2 per sheet: 1)
  int per_sheet = 1;  // cells on one sheet
  int cell_w = 0, cell_h = 0;
  int gap_x = 0;
  int pitch_y = 0;  // from one row's band to the next
};

// Nothing when not even one cell fits the sheet.
std::optional<AlbumGrid> MakeAlbumGrid(const Page& page, AlbumLayout layout, Captions captions,
                                       int m_width);

// Sheets for `pictures` entries: one blank sheet when there are none.
int AlbumSheetCount(const AlbumGrid& grid, int pictures);
inline int SheetOf(const AlbumGrid& grid, int index) { return index / grid.per_sheet; }

// The columns of a picture drawn at 4 and 16 to a sheet: 2 fewer for every
// full 1024, 1 fewer again, and 1 more fewer when that leaves a multiple of
// 1024 (at least 1).
int AlbumSourceWidth(int picture_width);

// Entry `index` (from 0, in album order) of a picture of the given size.
Placed PlaceAlbumPicture(const AlbumGrid& grid, int index, int width, int height, bool has_date);

// --- Captions ------------------------------------------------------------------

// A printed date by interface: English "JAN.5.2001", Japanese "2001/1/5",
// French and German "5 JAN.,2001"; empty for no date.
std::string PrintDateText(const album::PictureDate& date, int region);

}  // namespace fq::print
