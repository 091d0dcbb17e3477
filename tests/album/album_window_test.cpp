// The album window's arithmetic and the portable part of Add to Album: the
// grid, the content extent, scroll ranges and steps, growing and shrinking,
// the arrow keys, the removal of a cell, the file dialog's answer, and the
// kind and name of each file added.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "album/album_add.h"
#include "album/album_layout.h"
#include "support/scratch_dir.h"

namespace fq::album {
namespace {

TEST(AlbumGrid, CellsAndContent) {
  EXPECT_EQ(CellOrigin(0), (Point{5, 5}));
  EXPECT_EQ(CellOrigin(4), (Point{545, 5}));
  EXPECT_EQ(CellOrigin(5), (Point{5, 160}));
  EXPECT_EQ(CellOrigin(11), (Point{140, 315}));
  EXPECT_EQ(ContentExtent(0), (Extent{140, 160}));
  EXPECT_EQ(ContentExtent(1), (Extent{140, 160}));
  EXPECT_EQ(ContentExtent(4), (Extent{545, 160}));
  EXPECT_EQ(ContentExtent(5), (Extent{680, 160}));
  EXPECT_EQ(ContentExtent(6), (Extent{680, 315}));
  EXPECT_EQ(ContentExtent(12), (Extent{680, 470}));
  EXPECT_EQ(ContentExtent(100), (Extent{680, 19 * 155 + 160}));
}

TEST(AlbumGrid, RemovingTheFourthOfSeven) {
  // Cells 0..6; the fourth (index 3) goes: the selection moves to the next
  // cell, which takes index 3; the sixth moves up to the end of the first
  // row and the second row keeps one cell.
  std::vector<int> cells = {0, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(SelectionAfterRemoval(3, 7), 3);
  cells.erase(cells.begin() + 3);
  EXPECT_EQ(CellOrigin(3), (Point{410, 5}));   // the fifth
  EXPECT_EQ(CellOrigin(4), (Point{545, 5}));   // the sixth, end of the first row
  EXPECT_EQ(CellOrigin(5), (Point{5, 160}));   // the seventh, alone below
  EXPECT_EQ(ContentExtent(6).height, 315);
  // The last cell going selects the one before it; the only one, none.
  EXPECT_EQ(SelectionAfterRemoval(6, 7), 5);
  EXPECT_EQ(SelectionAfterRemoval(0, 1), std::nullopt);
}

TEST(AlbumGrid, ScrollingRangesStepsAndVisibleCells) {
  EXPECT_EQ(ScrollRange(680, 700, 16), 0);
  EXPECT_EQ(ScrollRange(680, 680, 16), 0);
  EXPECT_EQ(ScrollRange(680, 500, 16), 680 - 500 - 1 + 16);
  EXPECT_EQ(LineStep(400), 100);
  EXPECT_EQ(LineStep(3), 1);
  const Point range{0, 600};
  EXPECT_EQ(ScrollToShow(0, range), (Point{0, 5}));
  EXPECT_EQ(ScrollToShow(11, range), (Point{0, 315}));   // x clamped to a range of 0
  EXPECT_EQ(ScrollToShow(99, range), (Point{0, 600}));   // clamped to the end
}

TEST(AlbumGrid, GrowingAndShrinking) {
  // A window that showed everything grows with the content, each direction
  // apart; one that did not keeps its extent.
  EXPECT_EQ(GrownClient({140, 160}, ContentExtent(0), ContentExtent(1)), (Extent{140, 160}));
  EXPECT_EQ(GrownClient({545, 160}, ContentExtent(4), ContentExtent(5)), (Extent{680, 160}));
  EXPECT_EQ(GrownClient({680, 160}, ContentExtent(5), ContentExtent(6)), (Extent{680, 315}));
  EXPECT_EQ(GrownClient({400, 160}, ContentExtent(5), ContentExtent(6)), (Extent{400, 315}));
  EXPECT_EQ(GrownClient({680, 200}, ContentExtent(10), ContentExtent(11)), (Extent{680, 200}));
  EXPECT_EQ(ShrunkClient({680, 470}, ContentExtent(10)), (Extent{680, 315}));
  EXPECT_EQ(ShrunkClient({300, 100}, ContentExtent(10)), (Extent{300, 100}));
}

TEST(AlbumGrid, ArrowKeysStayInsideTheAlbum) {
  EXPECT_EQ(ArrowTarget(0, 12, Arrow::kLeft), std::nullopt);
  EXPECT_EQ(ArrowTarget(0, 12, Arrow::kRight), 1);
  EXPECT_EQ(ArrowTarget(4, 12, Arrow::kRight), 5);  // on to the next row
  EXPECT_EQ(ArrowTarget(2, 12, Arrow::kUp), std::nullopt);
  EXPECT_EQ(ArrowTarget(2, 12, Arrow::kDown), 7);
  EXPECT_EQ(ArrowTarget(7, 12, Arrow::kDown), std::nullopt);  // 12 does not exist
  EXPECT_EQ(ArrowTarget(11, 12, Arrow::kUp), 6);
  EXPECT_EQ(ArrowTarget(11, 12, Arrow::kRight), std::nullopt);
}

std::vector<char> Answer(std::initializer_list<std::string> texts) {
  std::vector<char> b;
  for (const std::string& t : texts) {
    b.insert(b.end(), t.begin(), t.end());
    b.push_back('\0');
  }
  b.push_back('\0');
  return b;
}

TEST(AddToAlbum, TheDialogsAnswer) {
  EXPECT_EQ(SelectedPaths(Answer({"C:\\p\\a.jpg"})), std::vector<std::string>{"C:\\p\\a.jpg"});
  // Several: first and last exchange places.
  EXPECT_EQ(SelectedPaths(Answer({"C:\\p", "a.jpg", "b.bmp", "c.avi"})),
            (std::vector<std::string>{"C:\\p\\c.avi", "C:\\p\\b.bmp", "C:\\p\\a.jpg"}));
  EXPECT_EQ(SelectedPaths(Answer({"C:\\", "a.jpg", "b.jpg"})),
            (std::vector<std::string>{"C:\\b.jpg", "C:\\a.jpg"}));
  EXPECT_TRUE(SelectedPaths(Answer({})).empty());
  // A buffer filled to its end without the closing empty text.
  const std::string full("C:\\p\0x.jpg", 10);
  EXPECT_EQ(SelectedPaths(std::vector<char>(full.begin(), full.end())),
            std::vector<std::string>{"C:\\p\\x.jpg"});
}

TEST(AddToAlbum, KindsByContentAndMovieNamedJpegs) {
  testing_support::ScratchDir dir;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  };
  EXPECT_EQ(PictureKindOf(write("a.jpg", std::string("BM") + std::string(40, '\0'))), PictureKind::kBmp);
  EXPECT_EQ(PictureKindOf(write("b.avi", std::string("RIFF\0\0\0\0AVI LIST", 16))), PictureKind::kMovie);
  EXPECT_EQ(PictureKindOf(write("c.bmp", std::string("\xFF\xD8\xFF\xE0 data \xFF\xD9", 12))),
            PictureKind::kJpeg);
  EXPECT_EQ(PictureKindOf(write("d.txt", "hello, world")), PictureKind::kOther);
  EXPECT_EQ(PictureKindOf(dir / "missing"), PictureKind::kOther);
  EXPECT_EQ(JpegNameForMovieName("C:\\p\\DSC0001.avi"), "C:\\p\\DSC0001.jpg");
  EXPECT_EQ(JpegNameForMovieName("C:\\p\\DSC0001.AvI"), "C:\\p\\DSC0001.jpg");
  EXPECT_EQ(JpegNameForMovieName("C:\\p\\DSC0001.jpg"), std::nullopt);
}

}  // namespace
}  // namespace fq::album
