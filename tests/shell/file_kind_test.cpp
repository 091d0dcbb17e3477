#include "shell/file_kind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "image/image_record.h"
#include "support/scratch_dir.h"

namespace fq::shell {
namespace {

using Bytes = std::vector<uint8_t>;

class FileKindTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratch_.path(); }
  // Writes `b` under `name` and detects its kind.
  FileKind Kind(const Bytes& b, const char* name = "file.dat") {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    return DetectFileKind(path);
  }
  testing_support::ScratchDir scratch_;
  std::filesystem::path dir_;
};

// A minimal JPEG-like body: start pair, some bytes, end pair.
Bytes JpegLike(size_t filler = 100) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xE0};
  b.insert(b.end(), filler, 0x11);
  b.push_back(0xFF);
  b.push_back(0xD9);
  return b;
}

Bytes WithPrefix(std::string_view prefix, Bytes rest) {
  Bytes b(prefix.begin(), prefix.end());
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

TEST_F(FileKindTest, ContentDecidesNotTheName) {
  EXPECT_EQ(Kind(JpegLike(), "photo.bmp"), FileKind::kJpeg);
  Bytes bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  EXPECT_EQ(Kind(bmp, "photo.jpg"), FileKind::kBmp);
  EXPECT_EQ(Kind(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), FileKind::kUnknown);  // 13 bytes

  Bytes album(56, 0);
  std::memcpy(album.data(), "ORX DSC ALBUM  ", 15);
  EXPECT_EQ(Kind(album, "x.cal"), FileKind::kAlbum);
  Bytes calendar(1530, 0);
  PutU32(calendar.data(), 131);
  EXPECT_EQ(Kind(calendar, "x.alb"), FileKind::kCalendar);
  PutU32(calendar.data(), 132);
  EXPECT_EQ(Kind(calendar), FileKind::kCalendar);
  PutU32(calendar.data(), 133);
  EXPECT_EQ(Kind(calendar), FileKind::kUnknown);
  PutU32(calendar.data(), 131);
  calendar.pop_back();
  EXPECT_EQ(Kind(calendar), FileKind::kUnknown);  // header cut short

  Bytes movie = {'R', 'I', 'F', 'F', 1, 2, 3, 4, 'A', 'V', 'I', ' ', 'L', 'I', 'S', 'T'};
  EXPECT_EQ(Kind(movie), FileKind::kMovie);
  movie.pop_back();
  EXPECT_EQ(Kind(movie), FileKind::kUnknown);
}

TEST_F(FileKindTest, EmptyMissingAndUnreadable) {
  EXPECT_EQ(DetectFileKind(""), FileKind::kEmptyName);
  EXPECT_EQ(DetectFileKind((dir_ / "missing.jpg").string()), FileKind::kUnknown);
  EXPECT_EQ(Kind({}), FileKind::kUnknown);
  EXPECT_EQ(Kind({0xFF}), FileKind::kUnknown);
}

TEST_F(FileKindTest, BitmapOrAlbumLikeStartsAreNeverJpeg) {
  // Each start, followed by both JPEG pairs.
  for (std::string_view start : {"B", "bM", "xm", "O", "oR", "xrX", "xxx", "BM"}) {
    FileKind k = Kind(WithPrefix(start, JpegLike()));
    EXPECT_NE(k, FileKind::kJpeg) << start;
  }
  // The same letters in other forms do not stop it.
  for (std::string_view start : {"b", "oX", "xR", "xxX"})
    EXPECT_EQ(Kind(WithPrefix(start, JpegLike())), FileKind::kJpeg) << start;
  Bytes album = WithPrefix(std::string_view("ORX DSC ALBUM  \0", 16), Bytes(16, 0));
  album.insert(album.end(), {0xFF, 0xD8, 0xFF, 0xD9});
  EXPECT_EQ(Kind(album), FileKind::kAlbum);
}

TEST_F(FileKindTest, JpegPairsAreSearchedWhereTheRuleSays) {
  Bytes no_end = JpegLike();
  no_end.back() = 0x00;
  EXPECT_EQ(Kind(no_end), FileKind::kUnknown);

  Bytes late_start(2046, 0x22);  // start pair at 2046..2047: still inside
  late_start.insert(late_start.end(), {0xFF, 0xD8, 0xFF, 0xD9});
  EXPECT_EQ(Kind(late_start), FileKind::kJpeg);
  Bytes too_late(2047, 0x22);  // start pair crosses byte 2048
  too_late.insert(too_late.end(), {0xFF, 0xD8, 0xFF, 0xD9});
  EXPECT_EQ(Kind(too_late), FileKind::kUnknown);

  // The end pair far from the end of a large file is found.
  Bytes big = JpegLike(10);
  big.resize(20000, 0x33);
  EXPECT_EQ(Kind(big), FileKind::kJpeg);
}

TEST(OpenAction, OnlyPicturesAndAlbumsOpenByName) {
  EXPECT_EQ(OpenActionFor(FileKind::kBmp), OpenAction::kBitmap);
  EXPECT_EQ(OpenActionFor(FileKind::kJpeg), OpenAction::kJpeg);
  EXPECT_EQ(OpenActionFor(FileKind::kAlbum), OpenAction::kAlbum);
  for (FileKind k : {FileKind::kCalendar, FileKind::kMovie, FileKind::kUnknown, FileKind::kEmptyName})
    EXPECT_EQ(OpenActionFor(k), OpenAction::kRefuse);
}

}  // namespace
}  // namespace fq::shell
