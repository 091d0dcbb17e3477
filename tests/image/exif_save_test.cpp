// Files with Exif: the segment walk and its stops, cleaning, Save As with a
// generated segment, saving in place with kept segments, the copy for the
// camera, and failures that must leave the old file alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "exif_test_util.h"
#include "image/exif.h"
#include "image/jpeg_file.h"
#include "jpeg_test_util.h"

namespace fq {
namespace {

using testing::AppSegment;
using testing::MakeJpeg;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::TiffBytes;
using testing::WithSegments;
using testing::WriteBytes;
using namespace exif_tag;
using namespace exif_type;

const ExifDateTime kNow{2024, 2, 29, 23, 59, 58};
constexpr const char* kNowText = "2024:02:29 23:59:58";

std::vector<uint8_t> Jfif() {
  return AppSegment(0xE0, std::string_view("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
}

// A camera-style Exif segment: DateTime by offset with `date_count` bytes,
// pixel dimensions as LONG (or SHORT).
std::vector<uint8_t> CameraExif(bool big, uint32_t date_count = 20, uint16_t dim_type = kLong) {
  TiffBytes t(big, 300);
  t.Ifd(8, 2, 0);
  t.Entry(8, 0, kDateTime, kAscii, date_count, 100);
  t.Entry(8, 1, kExifIfdPointer, kLong, 1, 150);
  t.Text(100, "1999:01:26 01:01:01");
  t.Ifd(150, 2, 0);
  t.Entry(150, 0, kPixelXDimension, dim_type, 1, 2048);
  t.Entry(150, 1, kPixelYDimension, dim_type, 1, 1536);
  return t.Segment();
}

std::vector<JpegSegment> Walk(const std::vector<uint8_t>& b) { return WalkHeader(b).segments; }

TEST(SegmentWalk, StopsAtDamageAndNeverLeavesTheBytes) {
  const auto jpeg = MakeJpeg({});
  const SegmentWalk good = WalkHeader(jpeg);
  ASSERT_TRUE(good.reached_scan);
  ASSERT_GE(good.segments.size(), 3u);

  auto not_ff = jpeg;
  not_ff[good.segments[1].offset] = 0x00;
  SegmentWalk w = WalkHeader(not_ff);
  EXPECT_FALSE(w.reached_scan);
  EXPECT_EQ(w.segments.size(), 1u);
  EXPECT_EQ(w.end, good.segments[1].offset);

  auto short_length = jpeg;
  short_length[good.segments[1].offset + 2] = 0;
  short_length[good.segments[1].offset + 3] = 1;
  EXPECT_EQ(WalkHeader(short_length).segments.size(), 1u);

  auto past_end = std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + good.segments[1].offset + 10);
  w = WalkHeader(past_end);
  EXPECT_EQ(w.segments.size(), 1u);
  EXPECT_FALSE(w.reached_scan);
  EXPECT_FALSE(WalkHeader(std::vector<uint8_t>{0xFF}).starts_with_soi);
}

TEST(SegmentWalk, HeaderOfADamagedFileKeepsItsWholeSegments) {
  ScratchDir dir;
  const auto exif = CameraExif(false);
  auto jpeg = WithSegments(MakeJpeg({}), {exif});
  jpeg.resize(2 + exif.size() + 10);  // cut inside the encoder's JFIF segment
  WriteBytes(dir / "cut.jpg", jpeg);
  auto header = ReadHeaderSegments(dir / "cut.jpg");
  ASSERT_TRUE(header);
  EXPECT_EQ(header->size(), 2 + exif.size());
  EXPECT_EQ(ClassifyHeader(*header), HeaderClass::kExifOnly);

  WriteBytes(dir / "bm.jpg", {'B', 'M', 0, 0});
  EXPECT_EQ(ReadHeaderSegments(dir / "bm.jpg").message(), err::kNotJpeg);
  EXPECT_EQ(ReadHeaderSegments(dir / "none.jpg").message(), err::kFileDoesNotExist);
}

TEST(Header, ClassifiedByItsCameraSegments) {
  const auto plain = MakeJpeg({});
  auto maker = AppSegment(0xE0, std::string_view("II\0\0\0\0HEAPJPGM\0\0\0\0\0\0\0\0", 22));
  auto jfif_first = AppSegment(0xE0, std::string_view("JFIF\0HEAPJPGM", 13));
  EXPECT_EQ(ClassifyHeader(WithSegments(plain, {maker})), HeaderClass::kMakerOnly);
  EXPECT_EQ(ClassifyHeader(WithSegments(plain, {CameraExif(true)})), HeaderClass::kExifOnly);
  EXPECT_EQ(ClassifyHeader(WithSegments(plain, {maker, CameraExif(false)})), HeaderClass::kBoth);
  EXPECT_EQ(ClassifyHeader(WithSegments(plain, {jfif_first})), HeaderClass::kNeither);
  EXPECT_EQ(ClassifyHeader(std::vector<uint8_t>{0x89, 'P'}), HeaderClass::kNotJpeg);
}

TEST(Header, KeepsTheFirstSixteenAppSegments) {
  std::vector<std::vector<uint8_t>> apps = {CameraExif(false)};
  for (int i = 0; i < 16; ++i) apps.push_back(AppSegment(0xE2 + i % 12, std::string(3, 'a' + i)));
  const auto jpeg = WithSegments(MakeJpeg({}), apps);
  KeptHeader kept = KeepSegments(jpeg);
  EXPECT_EQ(kept.kind, HeaderClass::kExifOnly);
  ASSERT_EQ(kept.segments.size(), 16u);
  EXPECT_EQ(kept.segments[0], apps[0]);
  EXPECT_EQ(kept.segments[15], apps[15]);
  EXPECT_EQ(kept.exif.width, 2048u);
  EXPECT_EQ(kept.exif.date_changed, "1999:01:26 01:01:01");
  // A file with both kinds of camera segment keeps nothing.
  auto maker = AppSegment(0xE0, std::string_view("II\0\0\0\0HEAPJPGM\0\0\0\0\0\0\0\0", 22));
  EXPECT_TRUE(KeepSegments(WithSegments(MakeJpeg({}), {maker, CameraExif(false)})).segments.empty());
}

TEST(CleanJpeg, DropsAppAndCommentSegmentsAndMergesTables) {
  testing::JpegOptions o;
  o.comment = "a comment";
  auto jpeg = WithSegments(MakeJpeg(o), {CameraExif(false), AppSegment(0xED, "x")});
  jpeg.insert(jpeg.end(), {'t', 'r', 'a', 'i', 'l'});  // bytes after EOI
  auto clean = CleanJpeg(jpeg);
  ASSERT_TRUE(clean);
  int dqt = 0, dht = 0;
  for (const JpegSegment& s : Walk(*clean)) {
    EXPECT_FALSE(IsAppMarker(s.marker));
    EXPECT_NE(s.marker, kMarkerCom);
    dqt += s.marker == kMarkerDqt;
    dht += s.marker == kMarkerDht;
  }
  EXPECT_EQ(dqt, 1);
  EXPECT_EQ(dht, 1);
  EXPECT_EQ(clean->back(), kMarkerEoi);
  auto a = testing::ReferenceDecode(jpeg), b = testing::ReferenceDecode(*clean);
  EXPECT_EQ(a.pixels, b.pixels);

  auto no_eoi = MakeJpeg({});
  no_eoi.resize(no_eoi.size() - 2);
  auto mended = CleanJpeg(no_eoi);
  ASSERT_TRUE(mended);
  EXPECT_EQ((*mended)[mended->size() - 2], 0xFF);
  EXPECT_EQ(mended->back(), kMarkerEoi);
  EXPECT_FALSE(CleanJpeg(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 40)));
}

TEST(SaveAs, WritesTheGeneratedSegmentAndThumbnail) {
  ScratchDir dir;
  testing::JpegOptions o;
  o.width = 480, o.height = 640;
  const auto source = MakeJpeg(o);
  auto picture = JpegToBitmapBytes(source);
  ASSERT_TRUE(picture);
  auto record = ReadBitmapBytes(*picture);
  ASSERT_TRUE(record);
  WriteBytes(dir / "out.jpg", {'o', 'l', 'd'});
  ASSERT_FALSE(SaveJpegWithExif(record->record, dir / "out.jpg", kJpegQualityStandard, kNow));

  const auto out = ReadBytes(dir / "out.jpg");
  auto walk = WalkHeader(out);
  ASSERT_TRUE(walk.reached_scan);
  ASSERT_FALSE(walk.segments.empty());
  EXPECT_EQ(walk.segments[0].offset, 2u);
  EXPECT_EQ(walk.segments[0].marker, kMarkerApp1);
  int apps = 0;
  for (const auto& s : walk.segments) apps += IsAppMarker(s.marker);
  EXPECT_EQ(apps, 1);  // no JFIF segment beside it

  std::span<const uint8_t> seg(out.data() + 2, walk.segments[0].size);
  ExifInformation info;
  ASSERT_TRUE(ParseExif(seg, info));
  EXPECT_EQ(info.width, 480u);
  EXPECT_EQ(info.height, 640u);
  EXPECT_EQ(info.date_taken, kNowText);
  auto thumb = FindExifThumbnail(seg);
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->size(), seg.size() - 474);
  std::vector<uint8_t> thumb_bytes(thumb->begin(), thumb->end());
  auto t = testing::ReferenceDecode(thumb_bytes);
  EXPECT_EQ(t.width, 160);
  EXPECT_EQ(t.height, 120);
  // Black margins of 35 columns left and right; the picture in the middle.
  EXPECT_LT(t.pixels[(60 * 160 + 5) * 3], 20);
  EXPECT_LT(t.pixels[(60 * 160 + 155) * 3], 20);
  EXPECT_EQ(testing::ReferenceDecode(out).width, 480);
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"out.jpg"});  // no temporary files left
}

// A picture with what thumbnails meet in photographs: gradients, hard edges
// and fine noise (the same kind the encoding benchmark uses).
ImageRecord Photo(int w, int h) {
  auto made = ImageRecord::Create(w, h, 24);
  EXPECT_TRUE(made);
  ImageRecord r = std::move(*made);
  const uint64_t stride = ImageRowStride(w, 24);
  uint32_t seed = 7;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int n = (seed >> 16) & 7, edge = (x / 37 + y / 23) % 2 ? 60 : 0;
      uint8_t* p = ImageBits(r) + y * stride + 3 * x;
      p[0] = uint8_t(x * 255 / w + edge + n);
      p[1] = uint8_t(y * 255 / h + n);
      p[2] = uint8_t((x + y) * 255 / (w + h) + edge + n);
    }
  return r;
}

// Mean absolute difference of two pictures of one size, per sample.
double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  EXPECT_EQ(a.size(), b.size());
  double sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return a.empty() ? 0 : sum / double(a.size());
}

std::vector<uint8_t> ThumbnailPixels(const std::vector<uint8_t>& file) {
  auto walk = WalkHeader(file);
  EXPECT_FALSE(walk.segments.empty());
  if (walk.segments.empty()) return {};
  auto thumb = FindExifThumbnail(std::span(file).subspan(2, walk.segments[0].size));
  EXPECT_TRUE(thumb);
  if (!thumb) return {};
  return testing::ReferenceDecode(std::vector<uint8_t>(thumb->begin(), thumb->end())).pixels;
}

// The 160 × 120 canvas in the decoder's order (top-down red-green-blue).
std::vector<uint8_t> TopDownRgb(const ImageRecord& r) {
  const int w = ImageWidth(r), h = std::abs(ImageHeight(r));
  const uint64_t stride = ImageRowStride(w, 24);
  std::vector<uint8_t> out(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c)
        out[(size_t(y) * w + x) * 3 + c] = ImageBits(r)[(h - 1 - y) * stride + 3 * x + 2 - c];
  return out;
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int most = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

// Save As makes the thumbnail from the picture it just encoded instead of
// decoding the file again, as the rule says (and as AddExifToJpeg still
// does). Both sample their picture at the same points with the same
// bilinear weights, which sum to 1, so the two thumbnail pictures differ at
// most by the main picture's largest coding error (plus 1 for truncation)
// and on average by about its mean coding error. Each is then encoded at
// quality 75: the stored thumbnails stay closer to each other than the
// rule's stored thumbnail is to the picture it was made of, so the
// difference is lost in the thumbnail's own coding error.
TEST(SaveAs, ThumbnailFromThePictureStaysWithinTheCodingError) {
  ScratchDir dir;
  const ImageRecord picture = Photo(640, 480);
  int reports = 0, last_rows = -1;
  JpegProgress progress = [&](int rows, int height) {
    ++reports;
    last_rows = rows;
    EXPECT_EQ(height, 480);
    return true;
  };
  ASSERT_FALSE(SaveJpegWithExif(picture, dir / "fast.jpg", kJpegQualityStandard, kNow,
                                kSampling2x1, progress));
  EXPECT_GT(reports, 10);
  EXPECT_EQ(last_rows, 480);
  ASSERT_FALSE(CopyJpegWithExif(dir / "fast.jpg", dir / "rule.jpg", kNow));  // decodes the file

  const auto fast = ReadBytes(dir / "fast.jpg"), rule = ReadBytes(dir / "rule.jpg");
  // The same coded picture in both files; only the thumbnails may differ.
  const auto decoded = testing::ReferenceDecode(fast);
  EXPECT_EQ(decoded.pixels, testing::ReferenceDecode(rule).pixels);
  const auto original = TopDownRgb(picture);
  ASSERT_EQ(decoded.pixels.size(), original.size());
  const double coding_error = MeanDifference(original, decoded.pixels);
  const int worst_coding_error = MaxDifference(original, decoded.pixels);

  // The pictures the thumbnails are made of.
  auto read = LoadJpeg(dir / "fast.jpg");
  ASSERT_TRUE(read);
  auto from_picture = MakeThumbnailPicture(picture), from_file = MakeThumbnailPicture(read->record);
  ASSERT_TRUE(from_picture && from_file);
  const auto canvas_a = TopDownRgb(*from_picture), canvas_b = TopDownRgb(*from_file);
  const double canvas_difference = MeanDifference(canvas_a, canvas_b);
  EXPECT_LE(MaxDifference(canvas_a, canvas_b), worst_coding_error + 1);
  EXPECT_LE(canvas_difference, coding_error + 1.0);

  // The thumbnails as stored.
  const auto a = ThumbnailPixels(fast), b = ThumbnailPixels(rule);
  ASSERT_EQ(a.size(), canvas_b.size());
  const double thumbnail_error = MeanDifference(canvas_b, b);  // the rule's own coding error
  const double thumbnail_difference = MeanDifference(a, b);
  std::printf("mean levels: main coding error %.2f (largest %d), thumbnail pictures apart %.2f, "
              "thumbnail coding error %.2f, stored thumbnails apart %.2f\n",
              coding_error, worst_coding_error, canvas_difference, thumbnail_error,
              thumbnail_difference);
  EXPECT_GT(coding_error, 0.5);  // the comparison means something
  EXPECT_LE(thumbnail_difference, thumbnail_error);
}

TEST(SaveAs, AddExifReplacesTheFileOwnSegments) {
  ScratchDir dir;
  const auto jpeg = WithSegments(MakeJpeg({}), {Jfif(), CameraExif(true), AppSegment(0xEE, "z")});
  WriteBytes(dir / "a.jpg", jpeg);
  ASSERT_FALSE(AddExifToJpeg(dir / "a.jpg", kNow));
  const auto out = ReadBytes(dir / "a.jpg");
  KeptHeader kept = KeepSegments(out);
  ASSERT_EQ(kept.segments.size(), 1u);
  EXPECT_EQ(kept.exif.make, "MEROVANTA");
  EXPECT_EQ(kept.exif.width, 64u);
}

TEST(SaveAs, FailureLeavesTheOldFileAsItWas) {
  ScratchDir dir;
  const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xDA, 1, 2, 3};
  WriteBytes(dir / "bad.jpg", junk);
  auto failure = AddExifToJpeg(dir / "bad.jpg", kNow);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, err::kCreatingJpeg);
  EXPECT_EQ(failure->box, ExifMessage::kCannotChangeFormat);
  EXPECT_EQ(ExifMessageText(failure->box), "Can not change the exif format.");
  EXPECT_EQ(ReadBytes(dir / "bad.jpg"), junk);
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"bad.jpg"});
}

TEST(KeptExif, DateAndSizeAreWrittenOnlyWhereTheyFit) {
  for (bool big : {false, true}) {
    KeptSegments kept = {CameraExif(big), Jfif()};
    const auto jfif = kept[1];
    UpdateKeptExif(kept, 320, 240, kNow);
    ExifInformation info;
    ASSERT_TRUE(ParseExif(kept[0], info));
    EXPECT_EQ(info.date_changed, kNowText);
    EXPECT_EQ(info.width, 320u);
    EXPECT_EQ(info.height, 240u);
    EXPECT_EQ(kept[1], jfif);
  }
  // A 19-byte field, dimensions as SHORT: nothing is written.
  KeptSegments small = {CameraExif(false, 19, kShort)};
  const auto before = small[0];
  UpdateKeptExif(small, 320, 240, kNow);
  EXPECT_EQ(small[0], before);
  // A field whose offset runs past the segment's end.
  TiffBytes t(false, 120);
  t.Ifd(8, 1, 0);
  t.Entry(8, 0, kDateTime, kAscii, 20, 110);
  KeptSegments past = {t.Segment()};
  const auto unchanged = past[0];
  UpdateKeptExif(past, 1, 1, kNow);
  EXPECT_EQ(past[0], unchanged);
}

TEST(KeptExif, SaveInPlaceKeepsSegmentsAndRegeneratesNothing) {
  ScratchDir dir;
  const auto exif = CameraExif(false);
  const auto original = WithSegments(MakeJpeg({}), {exif, AppSegment(0xE2, "icc")});
  WriteBytes(dir / "p.jpg", original);
  KeptHeader kept = KeepSegments(original);
  ASSERT_EQ(kept.segments.size(), 3u);  // with the encoder's JFIF segment

  // Unchanged: the file comes back byte for byte.
  ASSERT_TRUE(RewriteWithSegments(dir / "p.jpg", kept.segments));
  EXPECT_EQ(ReadBytes(dir / "p.jpg"), original);

  // Edited: re-encoded, the kept segments in place of the JFIF segment.
  auto picture = ReadBitmapBytes(*JpegToBitmapBytes(original));
  auto smaller = ResampleBilinear(picture->record, 40, 30);
  ASSERT_TRUE(smaller);
  ASSERT_TRUE(SaveJpegKeepingSegments(*smaller, dir / "p.jpg", kJpegQualityStandard,
                                      kept.segments, true, kNow));
  const auto out = ReadBytes(dir / "p.jpg");
  auto walk = WalkHeader(out);
  ASSERT_GE(walk.segments.size(), 3u);
  EXPECT_EQ(walk.segments[0].marker, kMarkerApp1);
  EXPECT_EQ(walk.segments[1].marker, 0xE2);
  EXPECT_EQ(walk.segments[2].marker, kMarkerApp0);
  for (size_t i = 3; i < walk.segments.size(); ++i) EXPECT_FALSE(IsAppMarker(walk.segments[i].marker));
  ExifInformation info;
  ASSERT_TRUE(ParseExif(std::span(out).subspan(2, exif.size()), info));
  EXPECT_EQ(info.date_changed, kNowText);
  EXPECT_EQ(info.width, 40u);
  EXPECT_EQ(info.height, 30u);
  EXPECT_EQ(testing::ReferenceDecode(out).width, 40);
}

TEST(KeptExif, ReinsertWithNothingKeptDropsApp0Only) {
  const auto jpeg = WithSegments(MakeJpeg({}), {Jfif(), CameraExif(false)});
  auto out = ReinsertSegments(jpeg, {});
  ASSERT_TRUE(out);
  size_t app0_bytes = 0;
  for (const auto& seg : Walk(jpeg)) app0_bytes += seg.marker == kMarkerApp0 ? seg.size : 0;
  EXPECT_EQ(app0_bytes, 2 * Jfif().size());  // ours and the encoder's
  EXPECT_EQ(out->size(), jpeg.size() - app0_bytes);
  EXPECT_EQ(WalkHeader(*out).segments[0].marker, kMarkerApp1);
  // FF E0 inside another segment's body is data, not a segment.
  auto inner = WithSegments(MakeJpeg({}), {AppSegment(0xE3, std::string_view("\xFF\xE0\x00\x04zz", 6))});
  auto same = ReinsertSegments(inner, {});
  ASSERT_TRUE(same);
  ASSERT_EQ(same->size(), inner.size() - Jfif().size());  // only the encoder's JFIF left
  EXPECT_TRUE(std::equal(inner.begin(), inner.begin() + 10, same->begin()));
}

TEST(Camera, EnsureExifCopiesOnlyFilesWithoutExif) {
  ScratchDir dir;
  WriteBytes(dir / "exif.jpg", WithSegments(MakeJpeg({}), {CameraExif(false)}));
  WriteBytes(dir / "plain.jpg", MakeJpeg({}));
  bool copied = true;
  auto same = EnsureExif(dir / "exif.jpg", kNow, &copied);
  ASSERT_TRUE(same);
  EXPECT_EQ(*same, dir / "exif.jpg");
  EXPECT_FALSE(copied);
  auto copy = EnsureExif(dir / "plain.jpg", kNow, &copied);
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copied);
  EXPECT_EQ(copy->substr(copy->size() - 3), "jpg");
  EXPECT_EQ(ClassifyHeader(ReadBytes(*copy)), HeaderClass::kExifOnly);
  EXPECT_EQ(ReadBytes(dir / "plain.jpg"), MakeJpeg({}));
  WriteBytes(dir / "text.jpg", {'h', 'i'});
  EXPECT_EQ(EnsureExif(dir / "text.jpg", kNow).message(), err::kNotJpeg);
}

}  // namespace
}  // namespace fq
