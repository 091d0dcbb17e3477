// Where an album window puts its cells and how it scrolls: five cells to a
// row, each 130 × 150 on a 135 × 155 pitch, and the window's extent and
// scroll ranges following the number of pictures.
#pragma once

#include <optional>

namespace fq::album {

inline constexpr int kCellsPerRow = 5;
inline constexpr int kCellWidth = 130;
inline constexpr int kCellHeight = 150;
inline constexpr int kCellPitchX = 135;
inline constexpr int kCellPitchY = 155;
inline constexpr int kGridMargin = 5;

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
struct Extent {
  int width = 0, height = 0;
  friend bool operator==(const Extent&, const Extent&) = default;
};

// Top-left of cell `index` (0-based, album order) in content coordinates.
Point CellOrigin(int index);

// The content of n pictures: width 140 for none, n × 135 + 5 for one to
// four, 680 from five on; height ((max(n, 1) − 1) div 5) × 155 + 160.
Extent ContentExtent(int count);

// A scroll range: 0 when the client extent measured without scroll bars
// holds the content, else content − client − 1 + the other bar's thickness.
int ScrollRange(int content, int full_client, int other_bar);
// A line is a quarter of the client extent (at least 1); a page all of it.
int LineStep(int client);

// The scroll position that shows cell `index` at the top-left, within
// 0..range.
Point ScrollToShow(int index, Point range);

// The client extent after an addition, one direction at a time: a window
// that showed all of the old content grows to show all of the new; one
// that did not keeps its extent.
Extent GrownClient(Extent client, Extent old_content, Extent new_content);
// After a removal: the smaller of the client extent and the new content.
Extent ShrunkClient(Extent client, Extent new_content);

// Arrow keys on a cell: the index the key moves the selection to, or
// nothing when that cell does not exist.
enum class Arrow { kLeft, kRight, kUp, kDown };
std::optional<int> ArrowTarget(int index, int count, Arrow key);

// The index selected after removing the selected cell `removed` from an
// album of `count_before` cells: the next cell (which takes the removed
// one's index), else the previous one; nothing when none is left.
std::optional<int> SelectionAfterRemoval(int removed, int count_before);

}  // namespace fq::album
