#include "camera/memory_list.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/region.h"
#include "image/exif.h"
#include "image/jpeg_segments.h"

namespace fq::cam {
namespace {

constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

const char* MonthName(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }

int Digits(std::string_view s, size_t at, size_t n) {
  if (at + n > s.size()) return -1;
  int v = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

std::optional<ThumbnailDate> DateOfText(std::string_view text) {
  if (text.size() < 10 || text[4] != ':' || text[7] != ':') return std::nullopt;
  ThumbnailDate d{Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2)};
  if (d.year < 0 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) return std::nullopt;
  return d;
}

constexpr uint8_t kThresholds[8][8] = {
    {0, 25, 6, 32, 1, 27, 8, 34},   {38, 12, 45, 19, 40, 14, 46, 21},
    {9, 35, 3, 29, 11, 37, 4, 30},  {48, 22, 42, 16, 50, 24, 43, 17},
    {2, 28, 8, 34, 0, 26, 7, 33},   {41, 15, 47, 21, 39, 13, 46, 20},
    {12, 38, 5, 31, 10, 36, 4, 29}, {51, 25, 44, 18, 49, 23, 42, 17},
};

// How many of `deleted` (sorted) lie below `number`; -1 when it is one of them.
int DeletedBelow(std::span<const int> deleted, int number) {
  auto it = std::lower_bound(deleted.begin(), deleted.end(), number);
  if (it != deleted.end() && *it == number) return -1;
  return static_cast<int>(it - deleted.begin());
}

std::vector<int> Sorted(std::span<const int> numbers) {
  std::vector<int> v(numbers.begin(), numbers.end());
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

}  // namespace

// ---- Type-1 list ----

std::vector<ListRow> Type1Rows(std::span<const ListedPicture> listed) {
  std::vector<ListedPicture> sorted(listed.begin(), listed.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const ListedPicture& a, const ListedPicture& b) { return a.number < b.number; });
  std::vector<ListRow> rows;
  for (const ListedPicture& p : sorted) {
    const char* mode = nullptr;
    switch (p.mode) {
      case 0: mode = "Normal Mode"; break;
      case 1: mode = "Fine Mode"; break;
      case 2:
      case 3: mode = "Super Fine Mode"; break;
      default: continue;  // a picture the list does not show
    }
    char text[64];
    std::snprintf(text, sizeof text, "Image No.%d::%s", p.number, mode);
    rows.push_back({p.number, text});
  }
  return rows;
}

// ---- Grid pages ----

int GridRowCount(int total) { return total <= 0 ? 0 : (total + kGridColumns - 1) / kGridColumns; }

int LastTopRow(int total) { return std::max(0, GridRowCount(total) - kGridRows); }

int ClampTopRow(int top_row, int total) { return std::clamp(top_row, 0, LastTopRow(total)); }

std::array<int, kGridButtons> PageNumbers(int top_row, int total) {
  std::array<int, kGridButtons> page{};
  const int first = ClampTopRow(top_row, total) * kGridColumns + 1;
  for (int i = 0; i < kGridButtons; ++i) page[static_cast<size_t>(i)] = first + i <= total ? first + i : 0;
  return page;
}

int TopRowShowing(int number, int top_row, int total) {
  const int row = (number - 1) / kGridColumns;
  top_row = ClampTopRow(top_row, total);
  if (row < top_row) return ClampTopRow(row, total);
  if (row >= top_row + kGridRows) return ClampTopRow(row - kGridRows + 1, total);
  return top_row;
}

// ---- Selection ----

Status GridSelection::Reset(int total) {
  chosen_.clear();
  count_ = 0;
  anchor_ = 0;
  if (total < 0 || total > kMaxGridPictures) return Failure{err::kMemory};
  try {
    chosen_.assign(static_cast<size_t>(total), 0);
  } catch (const std::bad_alloc&) {
    return Failure{err::kMemory};
  }
  return {};
}

bool GridSelection::IsSelected(int number) const {
  return number >= 1 && number <= total() && chosen_[static_cast<size_t>(number - 1)];
}

void GridSelection::Clear() {
  std::fill(chosen_.begin(), chosen_.end(), 0);
  count_ = 0;
}

void GridSelection::SelectRange(int first, int last) {
  Clear();
  if (first > last) std::swap(first, last);
  first = std::max(first, 1);
  last = std::min(last, total());
  for (int n = first; n <= last; ++n) chosen_[static_cast<size_t>(n - 1)] = 1;
  count_ = std::max(0, last - first + 1);
}

void GridSelection::Click(int number, ClickKind kind) {
  if (number < 1 || number > total()) return;
  switch (kind) {
    case ClickKind::kPlain:
      Clear();
      chosen_[static_cast<size_t>(number - 1)] = 1;
      count_ = 1;
      anchor_ = number;
      break;
    case ClickKind::kShift:
      if (anchor_ < 1 || anchor_ > total()) anchor_ = number;
      SelectRange(anchor_, number);
      break;
    case ClickKind::kCtrl: {
      uint8_t& c = chosen_[static_cast<size_t>(number - 1)];
      c = !c;
      count_ += c ? 1 : -1;
      break;
    }
  }
}

std::vector<int> GridSelection::Numbers() const {
  std::vector<int> out;
  out.reserve(static_cast<size_t>(count_));
  for (int n = 1; n <= total(); ++n)
    if (chosen_[static_cast<size_t>(n - 1)]) out.push_back(n);
  return out;
}

void GridSelection::Deleted(std::span<const int> deleted_numbers) {
  const std::vector<int> gone = Sorted(deleted_numbers);
  std::vector<uint8_t> kept;
  kept.reserve(chosen_.size());
  int anchor = 0;
  count_ = 0;
  for (int n = 1; n <= total(); ++n) {
    const int below = DeletedBelow(gone, n);
    if (below < 0) continue;
    kept.push_back(chosen_[static_cast<size_t>(n - 1)]);
    count_ += kept.back();
    if (n == anchor_) anchor = n - below;
  }
  chosen_ = std::move(kept);
  anchor_ = anchor;
}

std::string FilterRangeField(std::string_view typed, std::string_view previous, int total) {
  for (char c : typed)
    if (c < '0' || c > '9') return std::string(previous);
  if (typed.size() > kRangeFieldChars) return std::to_string(total);
  return std::string(typed);
}

std::optional<std::pair<int, int>> ParseRange(std::string_view first, std::string_view last,
                                              int total) {
  auto number = [](std::string_view s) -> int {
    if (s.empty() || s.size() > kRangeFieldChars) return -1;
    return Digits(s, 0, s.size());
  };
  const int a = number(first), b = number(last);
  if (a < 1 || b < a || b > total) return std::nullopt;
  return std::make_pair(a, b);
}

// ---- Thumbnails ----

ThumbnailDate ThumbnailDateOf(std::span<const uint8_t> jpeg) {
  const SegmentWalk walk = WalkHeader(jpeg);
  for (const JpegSegment& s : walk.segments) {
    if (s.marker != kMarkerApp1) continue;
    ExifInformation info;
    if (!ParseExif(jpeg.subspan(s.offset, s.size), info)) continue;
    for (const std::string& text : {info.date_taken, info.date_changed})
      if (auto d = DateOfText(text)) return *d;
    return {};
  }
  return {};
}

std::string ThumbnailLabel(int number) {
  char text[32];
  std::snprintf(text, sizeof text, "Image %d", number);
  return text;
}

std::string ThumbnailDateLabel(const ThumbnailDate& date, int region) {
  if (date.none()) return {};
  char text[64];
  if (region == region::kEnglish)
    std::snprintf(text, sizeof text, "%s.%d,%d", MonthName(date.month), date.day, date.year);
  else if (region == region::kJapanese)
    std::snprintf(text, sizeof text, "%d/%d/%d", date.year, date.month, date.day);
  else
    std::snprintf(text, sizeof text, "%d %s.,%d", date.day, MonthName(date.month), date.year);
  return text;
}

CachedThumbnail* ThumbnailCache::Find(int number) {
  for (CachedThumbnail& e : entries_)
    if (e.valid && e.number == number) return &e;
  return nullptr;
}

int ThumbnailCache::Store(int number, ImageRecord picture, ThumbnailDate date) {
  if (CachedThumbnail* old = Find(number)) old->valid = false;  // one entry per number
  const int index = next_;
  next_ = (next_ + 1) % kThumbnailCacheEntries;
  CachedThumbnail& e = entries_[static_cast<size_t>(index)];
  e.valid = true;
  e.number = number;
  e.selected = false;
  e.needs_redraw = true;
  e.picture = std::move(picture);
  e.date = date;
  return index;
}

void ThumbnailCache::Clear() {
  for (CachedThumbnail& e : entries_) e = CachedThumbnail{};
  next_ = 0;
}

void ThumbnailCache::Deleted(std::span<const int> deleted_numbers) {
  const std::vector<int> gone = Sorted(deleted_numbers);
  for (CachedThumbnail& e : entries_) {
    if (!e.valid) continue;
    const int below = DeletedBelow(gone, e.number);
    if (below < 0) {
      e = CachedThumbnail{};
    } else if (below > 0) {
      e.number -= below;
      e.needs_redraw = true;
    }
  }
}

// ---- The colour cube ----

uint8_t CubeThreshold(int row, int column) { return kThresholds[row & 7][column & 7]; }

uint8_t CubeLevel(uint8_t d, uint8_t t) {
  if (d < 51) return t < d ? 51 : 0;
  if (d == 255) return 255;
  const int e = d <= 101 ? 51 : d <= 152 ? 102 : d <= 203 ? 153 : 204;
  return static_cast<uint8_t>(t + e < d ? e + 51 : e);
}

Result<ImageRecord> CubeDither(const ImageRecord& picture) {
  if (!ImageIsInfoForm(picture) || ImageBitCount(picture) != 24 ||
      ImageCompression(picture) != kBiRgb || !ImageHasAllRows(picture))
    return Failure{err::kCreateBitmap};
  const int32_t width = ImageWidth(picture);
  const int32_t height = ImageHeight(picture);
  if (width <= 0 || height <= 0) return Failure{err::kCreateBitmap};
  const uint64_t in_stride = ImageRowStride(width, 24);
  const uint64_t out_stride = ImageRowStride(width, 8);
  constexpr size_t kPaletteBytes = 256 * 4;
  auto out = ImageRecord::Allocate(kInfoHeaderSize + kPaletteBytes +
                                   static_cast<size_t>(out_stride * static_cast<uint64_t>(height)));
  if (!out) return out.failure();
  uint8_t* h = out->data();
  PutU32(h, kInfoHeaderSize);
  PutI32(h + 4, width);
  PutI32(h + 8, height);
  PutU16(h + 12, 1);
  PutU16(h + 14, 8);
  uint8_t* pal = h + kInfoHeaderSize;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) {
        uint8_t* e = pal + 4 * (36 * r + 6 * g + b);
        e[0] = static_cast<uint8_t>(51 * b);
        e[1] = static_cast<uint8_t>(51 * g);
        e[2] = static_cast<uint8_t>(51 * r);
      }
  const uint8_t* src = ImageBits(picture);
  uint8_t* dst = pal + kPaletteBytes;
  for (int32_t i = 0; i < height; ++i) {
    const uint8_t* s = src + in_stride * static_cast<uint64_t>(i);
    uint8_t* d = dst + out_stride * static_cast<uint64_t>(i);
    for (int32_t j = 0; j < width; ++j, s += 3) {
      const uint8_t t = CubeThreshold(i, j);
      const int b = CubeLevel(s[0], t), g = CubeLevel(s[1], t), r = CubeLevel(s[2], t);
      d[j] = static_cast<uint8_t>((b + 6 * g + 36 * r) / 51);
    }
  }
  return out;
}

}  // namespace fq::cam
