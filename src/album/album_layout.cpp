#include "album/album_layout.h"

#include <algorithm>

namespace fq::album {

Point CellOrigin(int index) {
  return {(index % kCellsPerRow) * kCellPitchX + kGridMargin,
          (index / kCellsPerRow) * kCellPitchY + kGridMargin};
}

Extent ContentExtent(int count) {
  int width = 0;
  if (count <= 0) width = kCellWidth + 2 * kGridMargin;
  else if (count < kCellsPerRow) width = count * kCellPitchX + kGridMargin;
  else width = kCellsPerRow * kCellPitchX + kGridMargin;
  const int height = ((std::max(count, 1) - 1) / kCellsPerRow) * kCellPitchY + kCellHeight + 2 * kGridMargin;
  return {width, height};
}

int ScrollRange(int content, int full_client, int other_bar) {
  if (content <= full_client) return 0;
  return std::max(0, content - full_client - 1 + other_bar);
}

int LineStep(int client) { return std::max(1, client / 4); }

Point ScrollToShow(int index, Point range) {
  const Point at = CellOrigin(index);
  return {std::clamp(at.x, 0, std::max(0, range.x)), std::clamp(at.y, 0, std::max(0, range.y))};
}

Extent GrownClient(Extent client, Extent old_content, Extent new_content) {
  return {client.width >= old_content.width ? std::max(client.width, new_content.width) : client.width,
          client.height >= old_content.height ? std::max(client.height, new_content.height)
                                              : client.height};
}

Extent ShrunkClient(Extent client, Extent new_content) {
  return {std::min(client.width, new_content.width), std::min(client.height, new_content.height)};
}

std::optional<int> ArrowTarget(int index, int count, Arrow key) {
  int to = index;
  switch (key) {
    case Arrow::kLeft: to = index - 1; break;
    case Arrow::kRight: to = index + 1; break;
    case Arrow::kUp: to = index - kCellsPerRow; break;
    case Arrow::kDown: to = index + kCellsPerRow; break;
  }
  if (to < 0 || to >= count) return std::nullopt;
  return to;
}

std::optional<int> SelectionAfterRemoval(int removed, int count_before) {
  if (count_before <= 1) return std::nullopt;
  if (removed + 1 < count_before) return removed;  // the next cell moves into its place
  return removed - 1;
}

}  // namespace fq::album
