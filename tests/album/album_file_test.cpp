#include "album/album_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file_io.h"
#include "support/faulty_file_system.h"
#include "support/scratch_dir.h"

namespace fq::album {
namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& b, std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }
void AppendU32(Bytes& b, uint32_t v) {
  uint8_t p[4];
  PutU32(p, v);
  b.insert(b.end(), p, p + 4);
}

// A thumbnail built field by field: 40-byte header, 24-bit rows, each pixel
// (x + y, seed, 7) so rows are told apart.
Bytes Thumb(int32_t w, int32_t h, uint8_t seed = 1) {
  size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  Bytes b(40 + stride * static_cast<size_t>(h), 0);
  PutU32(&b[0], 40);
  PutI32(&b[4], w);
  PutI32(&b[8], h);
  PutU16(&b[12], 1);
  PutU16(&b[14], 24);
  PutU32(&b[24], 2835);  // resolution, copied from a source picture
  PutU32(&b[28], 2835);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* px = &b[40 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
      px[0] = static_cast<uint8_t>(x + y);
      px[1] = seed;
      px[2] = 7;
    }
  return b;
}

Bytes Header(uint16_t version, uint16_t count, std::string_view sig = "ORX DSC ALBUM  ") {
  Bytes b(32, 0);
  std::memcpy(b.data(), sig.data(), sig.size());
  PutU16(&b[16], version);
  b[18] = 'P';
  PutU16(&b[24], count);
  return b;
}

Bytes Entry(std::string_view path, const Bytes& thumb, std::optional<uint32_t> size = {}) {
  Bytes b(260, 0);
  std::memcpy(b.data(), path.data(), std::min<size_t>(path.size(), 260));
  AppendU32(b, size.value_or(static_cast<uint32_t>(thumb.size())));
  b.insert(b.end(), thumb.begin(), thumb.end());
  return b;
}

Bytes Extension(const Bytes& marks, uint32_t gap = 0) {
  Bytes b;
  Append(b, "ORX_ALBEXT");
  AppendU32(b, static_cast<uint32_t>(5 + 4 + gap + 1 + marks.size()));
  Append(b, "ORX_P");
  AppendU32(b, gap);
  b.insert(b.end(), gap, 0xEE);
  b.push_back(static_cast<uint8_t>(marks.size()));
  b.insert(b.end(), marks.begin(), marks.end());
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

AlbumFileEntry MakeEntry(std::string path, int32_t w, int32_t h, bool checked, uint8_t seed = 1) {
  AlbumFileEntry e;
  e.path = std::move(path);
  e.thumbnail = ImageRecord::Adopt(Thumb(w, h, seed));
  e.checked = checked;
  return e;
}

class AlbumFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = scratch_.path(); }
  std::string PathOf(const char* name) const { return (dir_ / name).string(); }
  void WriteRaw(const std::string& path, const Bytes& b) {
    auto f = io::Fs().Create(path);
    ASSERT_TRUE(f);
    ASSERT_EQ(f->Write(b.data(), b.size()), b.size());
    ASSERT_TRUE(f->Close());
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }
  testing_support::ScratchDir scratch_;
  std::filesystem::path dir_;
};

TEST_F(AlbumFileTest, EmptyAlbumIsHeaderAndExtensionOnly) {
  auto bytes = AlbumFileBytes(AlbumFile{});
  ASSERT_TRUE(bytes.ok());
  ASSERT_EQ(bytes->size(), 56u);
  EXPECT_EQ(*bytes, Join({Header(0x0102, 0), Extension({})}));
  // L = count + 10, m = count.
  EXPECT_EQ(GetU32(bytes->data() + 32 + 10), 10u);
  EXPECT_EQ((*bytes)[32 + 23], 0);

  auto back = ReadAlbumBytes(*bytes);
  ASSERT_TRUE(back.ok());
  EXPECT_TRUE(back->entries.empty());
  EXPECT_TRUE(back->has_check_marks);
}

TEST_F(AlbumFileTest, WrittenBytesMatchTheLayoutFieldByField) {
  AlbumFile a;
  a.entries.push_back(MakeEntry("C:\\Pictures\\DSC0001.jpg", 96, 72, true));
  a.entries.push_back(MakeEntry("C:\\Pictures\\DSC0002.bmp", 5, 3, false, 9));
  auto bytes = AlbumFileBytes(a);
  ASSERT_TRUE(bytes.ok());
  Bytes expected = Join({Header(0x0102, 2), Entry("C:\\Pictures\\DSC0001.jpg", Thumb(96, 72)),
                         Entry("C:\\Pictures\\DSC0002.bmp", Thumb(5, 3, 9)), Extension({1, 0})});
  ASSERT_EQ(bytes->size(), expected.size());
  EXPECT_EQ(*bytes, expected);
  const uint8_t* p = bytes->data();
  EXPECT_EQ(std::memcmp(p, "ORX DSC ALBUM  \0", 16), 0);
  EXPECT_EQ(GetU16(p + 16), 0x0102);
  EXPECT_EQ(p[18], 'P');
  EXPECT_EQ(GetU16(p + 24), 2);
  // The first thumbnail: 72 rows of 288 bytes after the header.
  EXPECT_EQ(GetU32(p + 32 + 260), 40u + 72u * 288u);
  // The second: 5 pixels pad to 16 bytes per row.
  size_t second = 32 + 264 + 40 + 72 * 288;
  EXPECT_EQ(GetU32(p + second + 260), 40u + 3u * 16u);
  const uint8_t* ext = p + second + 264 + 88;
  EXPECT_EQ(std::memcmp(ext, "ORX_ALBEXT", 10), 0);
  EXPECT_EQ(GetU32(ext + 10), 12u);
  EXPECT_EQ(std::memcmp(ext + 14, "ORX_P", 5), 0);
  EXPECT_EQ(GetU32(ext + 19), 0u);
  EXPECT_EQ(ext[23], 2);
  EXPECT_EQ(ext[24], 1);
  EXPECT_EQ(ext[25], 0);
}

TEST_F(AlbumFileTest, RoundTripThroughAFile) {
  AlbumFile a;
  for (int i = 0; i < 100; ++i)
    a.entries.push_back(MakeEntry("pic" + std::to_string(i) + ".jpg", 1 + i % 96, 1 + i % 72,
                                  i % 3 == 0, static_cast<uint8_t>(i)));
  std::string path = PathOf("full.alb");
  ASSERT_TRUE(WriteAlbumFile(path, a).ok());
  auto back = ReadAlbumFile(path);
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(back->version, kVersion);
  ASSERT_EQ(back->entries.size(), 100u);
  for (size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(back->entries[i].path, a.entries[i].path);
    EXPECT_EQ(back->entries[i].checked, a.entries[i].checked);
    EXPECT_TRUE(std::equal(back->entries[i].thumbnail.bytes().begin(),
                           back->entries[i].thumbnail.bytes().end(),
                           a.entries[i].thumbnail.bytes().begin(),
                           a.entries[i].thumbnail.bytes().end()));
  }
  auto marks = ReadAlbumCheckMarks(path);
  ASSERT_TRUE(marks);
  EXPECT_EQ(marks->size(), 100u);
  EXPECT_EQ((*marks)[3], 1);
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left beside it
}

TEST_F(AlbumFileTest, OlderFormatAndUnknownVersions) {
  // 0x0101 without extension: opens, nothing ticked.
  auto old = ReadAlbumBytes(Join({Header(0x0101, 1), Entry("a.jpg", Thumb(2, 2))}));
  ASSERT_TRUE(old.ok());
  EXPECT_FALSE(old->has_check_marks);
  EXPECT_FALSE(old->entries[0].checked);
  // 0x0101 with marks: the marks are found but not applied.
  auto old_marked =
      ReadAlbumBytes(Join({Header(0x0101, 1), Entry("a.jpg", Thumb(2, 2)), Extension({1})}));
  ASSERT_TRUE(old_marked.ok());
  EXPECT_TRUE(old_marked->has_check_marks);
  EXPECT_FALSE(old_marked->entries[0].checked);
  // Any other version reads as the current one.
  auto other =
      ReadAlbumBytes(Join({Header(0x0777, 1), Entry("a.jpg", Thumb(2, 2)), Extension({1})}));
  ASSERT_TRUE(other.ok());
  EXPECT_EQ(other->version, 0x0777);
  EXPECT_TRUE(other->entries[0].checked);
  // A gap before the count byte is skipped; excess thumbnail bytes are dropped.
  Bytes thumb = Thumb(3, 2);
  Bytes padded = thumb;
  padded.insert(padded.end(), 50, 0xAB);
  auto gap = ReadAlbumBytes(
      Join({Header(0x0102, 2), Entry("a.jpg", padded), Entry("b.jpg", thumb), Extension({0, 1}, 7)}));
  ASSERT_TRUE(gap.ok());
  EXPECT_EQ(gap->entries[0].thumbnail.size(), thumb.size());
  EXPECT_FALSE(gap->entries[0].checked);
  EXPECT_TRUE(gap->entries[1].checked);
}

TEST_F(AlbumFileTest, HeaderFailures) {
  EXPECT_EQ(ReadAlbumBytes(Bytes(31, 0)).message(), err::kFailedToReadFile);
  EXPECT_EQ(ReadAlbumBytes(Header(0x0102, 0, "ORX DSC ALBUM X")).message(), err::kNotAlbumFile);
  Bytes unterminated = Header(0x0102, 0);
  unterminated[15] = ' ';
  EXPECT_EQ(ReadAlbumBytes(unterminated).message(), err::kNotAlbumFile);
  EXPECT_FALSE(HasAlbumSignature(unterminated));
  EXPECT_TRUE(HasAlbumSignature(Header(0x0102, 0)));
  EXPECT_EQ(ReadAlbumFile(PathOf("missing.alb")).message(), err::kFileCannotBeOpened);
}

TEST_F(AlbumFileTest, EveryTruncationFailsOrLosesOnlyTheMarks) {
  Bytes whole = Join({Header(0x0102, 2), Entry("a.jpg", Thumb(4, 3)), Entry("b.jpg", Thumb(2, 2)),
                      Extension({1, 1})});
  size_t entries_end = whole.size() - 26;
  for (size_t n = 0; n < whole.size(); ++n) {
    auto r = ReadAlbumBytes(std::span(whole).first(n));
    if (n < entries_end) {
      EXPECT_EQ(r.message(), err::kFailedToReadFile) << n;
    } else {
      ASSERT_TRUE(r.ok()) << n;
      EXPECT_FALSE(r->entries[0].checked) << n;
      // Cut inside the tag: simply no block; later: a damaged one.
      EXPECT_EQ(r->extension_damaged, n >= entries_end + 10) << n;
    }
  }
}

TEST_F(AlbumFileTest, SizesFromTheFileAreBounded) {
  Bytes t = Thumb(4, 3);
  auto read_entry = [&](const Bytes& thumb, std::optional<uint32_t> size = {}) {
    return ReadAlbumBytes(Join({Header(0x0102, 1), Entry("a.jpg", thumb, size)})).message();
  };
  EXPECT_EQ(read_entry(Bytes(39, 0)), err::kFailedToReadFile);                // below a header
  EXPECT_EQ(read_entry(t, 0xFFFFFFF0u), err::kFailedToReadFile);             // absurd size
  EXPECT_EQ(read_entry(t, kMaxThumbnailField + 1), err::kFailedToReadFile);  // just over
  EXPECT_EQ(read_entry(t, static_cast<uint32_t>(t.size()) - 1), err::kFailedToReadFile);

  struct Damage {
    size_t at;
    uint32_t value;
    bool wide;
  } damages[] = {
      {0, 12, true},           // core header
      {4, 97, true},           // wider than a thumbnail
      {8, 73, true},           // taller
      {8, 0xFFFFFFFDu, true},  // top-down
      {4, 0, true},            // empty
      {14, 8, false},          // not 24 bits
      {16, 1, true},           // compressed
      {32, 1, true},           // colour table announced
  };
  for (const Damage& d : damages) {
    Bytes bad = t;
    if (d.wide)
      PutU32(&bad[d.at], d.value);
    else
      PutU16(&bad[d.at], static_cast<uint16_t>(d.value));
    EXPECT_EQ(read_entry(bad), err::kFailedToReadFile) << d.at << " " << d.value;
  }
  // A larger box in the header than the rows that follow.
  Bytes tall = t;
  PutI32(&tall[8], 4);
  EXPECT_EQ(read_entry(tall), err::kFailedToReadFile);
}

TEST_F(AlbumFileTest, PathsAreTerminatedAndCompared) {
  std::string long_path(300, 'x');
  auto r = ReadAlbumBytes(Join({Header(0x0102, 1), Entry(long_path, Thumb(1, 1))}));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->entries[0].path, std::string(259, 'x'));

  auto twice = ReadAlbumBytes(
      Join({Header(0x0102, 2), Entry("C:\\Pic\\a.JPG", Thumb(1, 1)), Entry("c:\\pic\\A.jpg", Thumb(1, 1))}));
  EXPECT_EQ(twice.message(), err::kAlreadyInAlbum);
}

TEST_F(AlbumFileTest, AHundredAndFirstEntryIsRefused) {
  Bytes b = Header(0x0102, 101);
  for (int i = 0; i < 101; ++i) {
    Bytes e = Entry("p" + std::to_string(i), Thumb(1, 1));
    b.insert(b.end(), e.begin(), e.end());
  }
  EXPECT_EQ(ReadAlbumBytes(b).message(), err::kAlbumFull);
  // A huge count with nothing behind it ends at the first missing entry.
  EXPECT_EQ(ReadAlbumBytes(Header(0x0102, 0xFFFF)).message(), err::kFailedToReadFile);
}

TEST_F(AlbumFileTest, DamagedExtensionOpensTheAlbumWithoutMarks) {
  Bytes body = Join({Header(0x0102, 1), Entry("a.jpg", Thumb(1, 1))});
  auto with_tail = [&](const Bytes& tail) {
    auto r = ReadAlbumBytes(Join({body, tail}));
    EXPECT_TRUE(r.ok());
    return r.ok() ? std::optional<AlbumFile>(std::move(r).value()) : std::nullopt;
  };
  Bytes m_too_big = Extension({1});
  m_too_big[23] = 200;  // more marks than the block holds
  Bytes gap_too_big = Extension({1});
  PutU32(&gap_too_big[19], 0x7FFFFFFF);
  Bytes l_too_big = Extension({1});
  PutU32(&l_too_big[10], 0xFFFFFFFF);
  Bytes l_too_small = Extension({1});
  PutU32(&l_too_small[10], 7);
  for (const Bytes& tail : {m_too_big, gap_too_big, l_too_big, l_too_small}) {
    auto a = with_tail(tail);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->extension_damaged);
    EXPECT_FALSE(a->has_check_marks);
    EXPECT_FALSE(a->entries[0].checked);
  }
  // Another sub-tag is not damage, just no marks; trailing garbage is ignored.
  Bytes other = Extension({1});
  other[14] = 'Q';
  auto o = with_tail(other);
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->extension_damaged);
  EXPECT_FALSE(o->has_check_marks);
  Bytes trailing = Join({Extension({1}), Bytes(100, 0x55)});
  auto t = with_tail(trailing);
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->entries[0].checked);
}

TEST_F(AlbumFileTest, CheckMarksAloneAreCappedAtAHundred) {
  std::string path = PathOf("marks.alb");
  WriteRaw(path, Join({Header(0x0102, 0), Extension(Bytes(150, 1))}));
  auto marks = ReadAlbumCheckMarks(path);
  ASSERT_TRUE(marks);
  EXPECT_EQ(marks->size(), 100u);
  WriteRaw(path, Header(0x0101, 0));
  EXPECT_FALSE(ReadAlbumCheckMarks(path));
  EXPECT_FALSE(ReadAlbumCheckMarks(PathOf("none.alb")));
}

TEST_F(AlbumFileTest, WriteRefusesWhatCannotBeStored) {
  AlbumFile no_thumb;
  no_thumb.entries.push_back(MakeEntry("a.jpg", 2, 2, false));
  no_thumb.entries.push_back(AlbumFileEntry{"b.jpg", ImageRecord(), false});
  EXPECT_EQ(AlbumFileBytes(no_thumb).message(), err::kGetBitmap);

  AlbumFile eight_bit;
  Bytes t = Thumb(2, 2);
  PutU16(&t[14], 8);
  eight_bit.entries.push_back(AlbumFileEntry{"a.jpg", ImageRecord::Adopt(t), false});
  EXPECT_EQ(AlbumFileBytes(eight_bit).message(), err::kGetBitmap);

  AlbumFile long_name;
  long_name.entries.push_back(MakeEntry(std::string(260, 'n'), 2, 2, false));
  EXPECT_EQ(AlbumFileBytes(long_name).message(), err::kFileNameTooLong);
  long_name.entries[0].path.resize(259);
  EXPECT_TRUE(AlbumFileBytes(long_name).ok());

  AlbumFile too_many;
  for (int i = 0; i < 101; ++i) too_many.entries.push_back(MakeEntry(std::to_string(i), 1, 1, false));
  EXPECT_EQ(AlbumFileBytes(too_many).message(), err::kAlbumFull);
}

TEST_F(AlbumFileTest, FailedSaveKeepsTheOldFile) {
  std::string path = PathOf("keep.alb");
  AlbumFile old;
  old.entries.push_back(MakeEntry("old.jpg", 3, 3, true));
  ASSERT_TRUE(WriteAlbumFile(path, old).ok());
  auto before = io::ReadWholeFile(path);
  ASSERT_TRUE(before.ok());

  AlbumFile changed;
  changed.entries.push_back(MakeEntry("new.jpg", 8, 8, false));
  testing_support::FaultyFileSystem disk;
  disk.write_budget = 20;  // the disk fills up part way
  io::SetFileSystem(&disk);
  Status s = WriteAlbumFile(path, changed);
  io::SetFileSystem(nullptr);
  EXPECT_EQ(s.message(), err::kDiskFull);
  EXPECT_EQ(*io::ReadWholeFile(path), *before);
  EXPECT_EQ(FilesInDir(), 1u);

  // A refused album never touches the file either.
  changed.entries.push_back(AlbumFileEntry{"x.jpg", ImageRecord(), false});
  EXPECT_EQ(WriteAlbumFile(path, changed).message(), err::kGetBitmap);
  EXPECT_EQ(*io::ReadWholeFile(path), *before);
  // Nor does a folder that is not there.
  EXPECT_EQ(WriteAlbumFile(PathOf("no/such.alb"), old).message(), err::kFileCannotBeOpened);
}

TEST(AlbumExtension, OnlyTheTwoExactFormsAreKept) {
  EXPECT_EQ(WithAlbumExtension("trip"), "trip.alb");
  EXPECT_EQ(WithAlbumExtension("trip.alb"), "trip.alb");
  EXPECT_EQ(WithAlbumExtension("trip.ALB"), "trip.ALB");
  EXPECT_EQ(WithAlbumExtension("trip.Alb"), "trip.Alb.alb");
}

}  // namespace
}  // namespace fq::album
