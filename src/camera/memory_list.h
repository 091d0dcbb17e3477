// What the camera memory list dialogs compute: the rows of the type-1 list,
// the pages, selection and range fields of the thumbnail grid, the cache of
// thumbnails already fetched, their date labels, and the colour-cube
// picture drawn on displays of few colours. The dialogs (win/) only show
// what these give.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "camera/camera_link.h"
#include "image/image_record.h"

namespace fq::cam {

// ---- Type-1 list ----------------------------------------------------------

// One row: the picture's own number on the camera (labels and commands use
// it, so a hidden or missing picture shifts nothing) and its text.
struct ListRow {
  int number = 0;
  std::string text;
};
// "Image No.%d::Normal Mode" (mode 0), "::Fine Mode" (1), "::Super Fine
// Mode" (2 and 3), in picture-number order; modes 4 to 255 are not listed.
std::vector<ListRow> Type1Rows(std::span<const ListedPicture> listed);

// ---- Grid pages ------------------------------------------------------------

inline constexpr int kGridColumns = 4;
inline constexpr int kGridButtons = 16;
inline constexpr int kGridRows = kGridButtons / kGridColumns;
// Largest picture count a grid holds: counts travel in 16 bits.
inline constexpr int kMaxGridPictures = 65535;

// Rows of 4 pictures; the scroll bar moves the top row from 0 to the last
// row that still fills the page.
int GridRowCount(int total);
int LastTopRow(int total);
int ClampTopRow(int top_row, int total);
// The picture numbers of the 16 buttons for a top row (0 = past the last).
std::array<int, kGridButtons> PageNumbers(int top_row, int total);
// The top row that shows `number` (the page moves as little as it can).
int TopRowShowing(int number, int top_row, int total);

// ---- Selection -------------------------------------------------------------

enum class ClickKind { kPlain, kShift, kCtrl };

// The chosen pictures of a grid, by number 1..total.
class GridSelection {
 public:
  // Failure kMemory when the list cannot be had ("Memory to indicate memory
  // list is full." in the dialog).
  Status Reset(int total);
  int total() const { return static_cast<int>(chosen_.size()); }
  int count() const { return count_; }
  int anchor() const { return anchor_; }
  bool IsSelected(int number) const;
  // A plain click selects only `number` and makes it the anchor; Shift
  // selects from the anchor to it (either order); Ctrl toggles it.
  void Click(int number, ClickKind kind);
  void SelectRange(int first, int last);
  void Clear();
  // In ascending order.
  std::vector<int> Numbers() const;
  // The camera renumbered after deletions: the deleted numbers go, those
  // above move down, the total shrinks.
  void Deleted(std::span<const int> deleted_numbers);

 private:
  std::vector<uint8_t> chosen_;
  int count_ = 0;
  int anchor_ = 0;
};

// The range fields: digits only, at most 5 characters.
inline constexpr size_t kRangeFieldChars = 5;
// What a range field holds after an edit: the new text when it is digits
// only (empty allowed), the previous text when it is not, and the total
// when it grew beyond the limit.
std::string FilterRangeField(std::string_view typed, std::string_view previous, int total);
// A valid range: 1 <= first <= last <= total, both fields numbers.
std::optional<std::pair<int, int>> ParseRange(std::string_view first, std::string_view last,
                                              int total);

// ---- Thumbnails ------------------------------------------------------------

struct ThumbnailDate {
  int year = 0, month = 0, day = 0;
  bool none() const { return year == 0 && month == 0 && day == 0; }
  friend bool operator==(const ThumbnailDate&, const ThumbnailDate&) = default;
};

// The recording date of a thumbnail's Exif data (date taken, else date
// changed); none when it has none or it does not read as a date.
ThumbnailDate ThumbnailDateOf(std::span<const uint8_t> jpeg);
// "Image %d".
std::string ThumbnailLabel(int number);
// By region: 0 "%s.%d,%d" (month name, day, year), 3 "%d/%d/%d" (year,
// month, day), others "%d %s.,%d" (day, month name, year); empty without a
// date.
std::string ThumbnailDateLabel(const ThumbnailDate& date, int region);

// The decoded thumbnails of the pictures already seen: 48 entries filled in
// turn, so scrolling back to a recent page needs no camera.
inline constexpr int kThumbnailCacheEntries = 48;

struct CachedThumbnail {
  bool valid = false;
  int number = 0;
  bool selected = false;
  bool needs_redraw = true;
  ImageRecord picture;  // empty: the camera has no thumbnail
  ThumbnailDate date;
};

class ThumbnailCache {
 public:
  // The entry of `number`, or null.
  CachedThumbnail* Find(int number);
  // Takes the next entry in turn for `number` (replacing whatever it held)
  // and returns its index.
  int Store(int number, ImageRecord picture, ThumbnailDate date);
  CachedThumbnail& at(int index) { return entries_[static_cast<size_t>(index)]; }
  void Clear();
  // After deletions: the deleted numbers' entries go, numbers above them
  // move down by the count of deleted numbers below.
  void Deleted(std::span<const int> deleted_numbers);

 private:
  std::array<CachedThumbnail, kThumbnailCacheEntries> entries_{};
  int next_ = 0;
};

// ---- The colour cube -------------------------------------------------------

// The thumbnail as an 8-bit picture over a fixed 6 × 6 × 6 colour cube,
// ordered-dithered, for displays of 15 bits per pixel or fewer. Takes a
// 24-bit uncompressed record. Failures: kCreateBitmap (another form),
// kMemory.
Result<ImageRecord> CubeDither(const ImageRecord& picture);
// The level function of one colour byte against a threshold.
uint8_t CubeLevel(uint8_t value, uint8_t threshold);
// The threshold for stored row i (from the bottom), column j.
uint8_t CubeThreshold(int row, int column);

}  // namespace fq::cam
