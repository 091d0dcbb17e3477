#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "camsim/sim_jpeg.h"
#include "camsim_rig.h"

namespace fq::camsim::test {
namespace {

// Medium 1: folder 100 empty, folder 102 with files 3 and 7 (7 a movie of
// two frames); medium 2: folder 100 with file 1.
CameraContent TwoMedia() {
  CameraContent c;
  StoredFolder empty;
  StoredFolder f102;
  f102.number = 102;
  StoredEntry still;
  still.file = 3;
  still.data = MakeDemoPicture(64, 48, 1);
  StoredEntry movie;
  movie.file = 7;
  movie.movie = true;
  movie.frames = {MakeDemoPicture(32, 16, 1), FakePicture(1500, 5)};
  f102.entries.push_back(std::move(still));
  f102.entries.push_back(std::move(movie));
  c.media[0].folders.push_back(std::move(empty));
  c.media[0].folders.push_back(std::move(f102));
  StoredFolder card2;
  StoredEntry other;
  other.file = 1;
  other.data = FakePicture(700, 3);
  card2.entries.push_back(std::move(other));
  c.media[1].present = true;
  c.media[1].folders.push_back(std::move(card2));
  return c;
}

Bytes FolderFile(const char* folder, const char* file) {
  Bytes b = Text(folder);
  b.push_back(0);
  return Cat(b, Text(file));
}

Rig* NewRig(CameraContent content) {
  SimOptions o;
  o.type = 4;
  auto* rig = new Rig(o, std::move(content));
  rig->Connect();
  return rig;
}

TEST(CamsimTypeFour, MediaFoldersEnumerationAndEntryKinds) {
  std::unique_ptr<Rig> rig(NewRig(TwoMedia()));
  EXPECT_EQ(rig->Ask(Sequenced(18), 16), Sequenced(19, {1, 1, 2, 1, 3, 1}));
  EXPECT_EQ(rig->Ask(Sequenced(10), 16), Sequenced(11, {2, 0, 0, 0}));
  Bytes page = rig->Ask(Sequenced(12), 1030);
  ASSERT_EQ(page.size(), 1030u);
  EXPECT_EQ(page[0], 1);
  EXPECT_EQ(page[3], 13);
  EXPECT_EQ(Bytes(page.begin() + 4, page.begin() + 13), Cat(Text("100"), Cat({0}, Cat(Text("102"), {0, 0}))));
  EXPECT_EQ(rig->Ask(Sequenced(7, Cat(Text("100"), {0})), 16), Sequenced(8, {0, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(7, Cat(Text("102"), {0})), 16), Sequenced(8, {2, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(7, Cat(Text("555"), {0})), 16), Rig::SeqAck(2));
  // Enumeration: next file after 0, after 3, after 7.
  EXPECT_EQ(rig->Ask(Sequenced(14, Cat(FolderFile("102", "0000"), {1})), 16), Sequenced(15, {3, 0, 0, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(14, Cat(FolderFile("102", "0003"), {1})), 16), Sequenced(15, {7, 0, 0, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(14, Cat(FolderFile("102", "0007"), {1})), 16), Sequenced(15, {0, 0, 0, 0}));

  // Kind of a still: tags 1, 2, 3, 4, 5 at offsets 0, 4, 6, 15, 17 of a medium frame.
  Bytes kind = rig->Ask(Sequenced(24, FolderFile("102", "0003")), 262);
  ASSERT_EQ(kind.size(), 262u);
  EXPECT_EQ(kind[0], 16);
  EXPECT_EQ(kind[3], 25);
  const uint8_t* d = kind.data() + 4;
  EXPECT_EQ(d[0], 1);
  EXPECT_EQ(d[4], 2);
  EXPECT_EQ(d[5], 1);  // still
  EXPECT_EQ(d[6], 3);
  EXPECT_EQ(GetU32(d + 7), 64u);
  EXPECT_EQ(GetU32(d + 11), 48u);
  EXPECT_EQ(d[15], 4);
  EXPECT_EQ(d[17], 5);
  kind = rig->Ask(Sequenced(24, FolderFile("102", "0007")), 262);
  ASSERT_EQ(kind.size(), 262u);
  EXPECT_EQ(kind[4 + 5], 0);  // movie
  EXPECT_EQ(GetU16(kind.data() + 4 + 18), 2);
  EXPECT_EQ(rig->Ask(Sequenced(24, FolderFile("102", "0004")), 16), Rig::SeqAck(2));
}

TEST(CamsimTypeFour, ServesMoviePartsAndPictureBlocksByFolderAndFile) {
  std::unique_ptr<Rig> rig(NewRig(TwoMedia()));
  // The movie's second piece: folder, file, a zero, "002" in a medium frame.
  Bytes ask = Cat(FolderFile("102", "0007"), Cat({0}, Text("002")));
  EXPECT_EQ(rig->Ask(Sequenced(23, ask, 0, 16), 16), Sequenced(29, {0xDC, 0x05, 0, 0}));
  Bytes got;
  for (uint8_t block = 0; block < 2; ++block) {
    Bytes r = rig->Ask(Sequenced(30, {block, 0}, block), 1030);
    ASSERT_EQ(r.size(), 1030u);
    got.insert(got.end(), r.begin() + 4, r.begin() + 1028);
  }
  got.resize(1500);
  EXPECT_EQ(got, FakePicture(1500, 5));
  ask.back() = '3';
  EXPECT_EQ(rig->Ask(Sequenced(23, ask, 0, 16), 16), Rig::SeqAck(2));
  // A movie has no picture size of its own; its first frame makes the thumbnail.
  EXPECT_EQ(rig->Ask(Sequenced(26, FolderFile("102", "0007")), 16), Rig::SeqAck(2));
  EXPECT_EQ(rig->Ask(Sequenced(22, FolderFile("102", "0007")), 16)[3], 29);
}

TEST(CamsimTypeFour, ChoosesTheOtherMediumDeletesByFileAndStoresUploadsInTheLastFolder) {
  std::unique_ptr<Rig> rig(NewRig(TwoMedia()));
  int upload_medium = 0;
  int upload_folder = 0;
  rig->sim.on_upload = [&](const StoredEntry&, const StoredFolder& f, int m) {
    upload_medium = m;
    upload_folder = f.number;
  };
  EXPECT_EQ(rig->Ask(Sequenced(28, {1}), 16), Rig::SeqAck(8));  // already current
  EXPECT_EQ(rig->Ask(Sequenced(28, {3}), 16), Rig::SeqAck(2));
  EXPECT_EQ(rig->Ask(Sequenced(28, {2}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig->sim.current_medium(), 2);
  EXPECT_EQ(rig->Ask(Sequenced(18), 16), Sequenced(19, {1, 1, 2, 1, 3, 2}));
  EXPECT_EQ(rig->Ask(Sequenced(10), 16), Sequenced(11, {1, 0, 0, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(26, FolderFile("100", "0001")), 16), Sequenced(29, {0xBC, 0x02, 0, 0}));

  Bytes pic = FakePicture(100, 8);
  EXPECT_EQ(rig->Ask(Sequenced(21, {100, 0, 0, 0}), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig->Ask(Sequenced(5, pic, 0, 1), 16), Rig::SeqAck(0));
  EXPECT_EQ(upload_medium, 2);
  EXPECT_EQ(upload_folder, 100);
  EXPECT_EQ(rig->Ask(Sequenced(14, Cat(FolderFile("100", "0001"), {1})), 16), Sequenced(15, {2, 0, 0, 0}));

  // Files keep their numbers when another is deleted.
  EXPECT_EQ(rig->Ask(Sequenced(17, FolderFile("100", "0001")), 16), Rig::SeqAck(0));
  EXPECT_EQ(rig->Ask(Sequenced(17, FolderFile("100", "0001")), 16), Rig::SeqAck(0));  // repeated: answered again
  EXPECT_EQ(rig->Ask(Sequenced(14, Cat(FolderFile("100", "0000"), {1})), 16), Sequenced(15, {2, 0, 0, 0}));
  EXPECT_EQ(rig->Ask(Sequenced(17, FolderFile("100", "0001")), 16), Rig::SeqAck(2));  // gone by now
  EXPECT_EQ(rig->sim.content().media[1].folders[0].entries.size(), 1u);
}

TEST(CamsimTypeFour, TypeTwoCommandsInMarkerFramesAreRefused) {
  std::unique_ptr<Rig> rig(NewRig(TwoMedia()));
  EXPECT_EQ(rig->Ask(Marker(7), 18), Rig::MarkerAck(2));
  EXPECT_EQ(rig->Ask(Marker(31), 18), Rig::MarkerAck(0));
}

TEST(CamsimContent, DemoContentHoldsDecodablePicturesOfEveryKind) {
  CameraContent flat = DemoContent(1);
  ASSERT_EQ(flat.Count(), 4u);
  for (const auto& e : flat.media[0].folders[0].entries) {
    auto px = ReadJpegSize(e.data);
    ASSERT_TRUE(px.has_value());
    EXPECT_EQ(px->width, 320);
    EXPECT_EQ(e.mode, ModeForSize(e.data.size()));
    EXPECT_FALSE(MakeThumbnail(e.data).empty());
  }
  CameraContent four = DemoContent(4);
  EXPECT_TRUE(four.media[1].present);
  EXPECT_EQ(four.Count(), 7u);
  EXPECT_TRUE(four.media[0].folders[1].entries[1].movie);
}

}  // namespace
}  // namespace fq::camsim::test

namespace fq::camsim::test {
namespace {

TEST(CamsimContent, ReadsTheFolderLayout) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("camsim_layout_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  auto put = [](const fs::path& p, size_t n) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(FakePicture(n, 1).data()),
                                             static_cast<std::streamsize>(n));
  };
  put(dir / "b.jpg", 200);
  put(dir / "a.JPG", 100);
  put(dir / "notes.txt", 10);
  put(dir / "105" / "x.jpg", 300);
  put(dir / "105" / "clip.movie" / "2.jpg", 20);
  put(dir / "105" / "clip.movie" / "1.jpg", 10);
  put(dir / "card2" / "c.jpg", 400);

  CameraContent four = LoadFolder(dir.string(), 4);
  ASSERT_EQ(four.media[0].folders.size(), 2u);
  const StoredFolder& top = four.media[0].folders[0];
  EXPECT_EQ(top.number, 100);
  ASSERT_EQ(top.entries.size(), 2u);
  EXPECT_EQ(top.entries[0].data.size(), 100u);  // name order: a.JPG first
  EXPECT_EQ(top.entries[1].file, 2);
  const StoredFolder& f105 = four.media[0].folders[1];
  EXPECT_EQ(f105.number, 105);
  ASSERT_EQ(f105.entries.size(), 2u);
  EXPECT_TRUE(f105.entries[0].movie);  // "clip.movie" sorts before "x.jpg"
  ASSERT_EQ(f105.entries[0].frames.size(), 2u);
  EXPECT_EQ(f105.entries[0].frames[0].size(), 10u);
  EXPECT_TRUE(four.media[1].present);
  EXPECT_EQ(four.media[1].folders.at(0).entries.at(0).data.size(), 400u);

  // Other types: one flat list of stills, numbered from 1.
  CameraContent one = LoadFolder(dir.string(), 1);
  ASSERT_EQ(one.Count(), 3u);
  EXPECT_EQ(one.media[0].folders[0].entries[2].data.size(), 300u);
  EXPECT_EQ(one.media[0].folders[0].entries[2].file, 3);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace fq::camsim::test
