#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "edit/adjust.h"

namespace fq::edit {
namespace {

template <class T>
T Take(Result<T> r) {
  return std::move(r).value();
}

ImageRecord Photo(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  ImageRecord r = Take(ImageRecord::Create(w, h, 24));
  uint8_t* px = ImageBits(r);
  const uint64_t stride = ImageRowStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 3 * w; ++x) px[y * stride + x] = static_cast<uint8_t>(rng());
  return r;
}

TEST(ToneTable, BrightnessEndsAndIdentity) {
  // v = 1 (brightness 0) with a = 0, k = 1 is the identity.
  auto t1 = ToneTable(0, 1.0, 1.0);
  for (int n = 0; n < 256; ++n) EXPECT_EQ(t1[n], n);
  // v = -3 (brightness -100): below 128 black, from 128 up 2u - 256.
  auto t3 = ToneTable(0, 1.0, -3.0);
  for (int n = 0; n < 128; ++n) EXPECT_EQ(t3[n], 0) << n;
  for (int n = 128; n < 256; ++n) EXPECT_EQ(t3[n], 2 * n - 256) << n;
  // v = 5 (brightness 100): 5u, then u + 128, then white from 128 up.
  auto t5 = ToneTable(0, 1.0, 5.0);
  EXPECT_EQ(t5[10], 50);
  EXPECT_EQ(t5[31], 155);
  EXPECT_EQ(t5[32], 160);
  EXPECT_EQ(t5[127], 255);
  for (int n = 128; n < 256; ++n) EXPECT_EQ(t5[n], 255) << n;
  // A black point and a scale: everything below a is black, the top clamps.
  auto ts = ToneTable(20, 255.0 / 200, 1.0);
  EXPECT_EQ(ts[19], 0);
  EXPECT_EQ(ts[20], 0);
  EXPECT_EQ(ts[220], 255);
  EXPECT_EQ(ts[255], 255);
  EXPECT_EQ(ts[120], static_cast<int>(100 * 255.0 / 200));
}

TEST(Adjust, ManualValuesAndCutoffs) {
  // Zero values: identity tone, no sharpening, saturation factor 1.
  const Cutoffs cut{12, 230};
  Transform t = ComputeManual(cut, {});
  for (int n = 0; n < 256; ++n) ASSERT_EQ(t.tone[n], n);
  EXPECT_EQ(t.sharpening, 0);
  EXPECT_EQ(t.saturation, 1);
  EXPECT_FALSE(AdjustValues{}.effective());
  EXPECT_TRUE((AdjustValues{0, 0, 0, 1}).effective());
  // Contrast 40 with L = 12 < 255 - H = 25: a = trunc(12/25 * 40 + .5) = 19,
  // w = 215.
  t = ComputeManual(cut, {0, 40, -100, 100});
  EXPECT_EQ(t.tone, ToneTable(19, 255.0 / (215 - 19), 1.0));
  EXPECT_EQ(t.saturation, 0);
  EXPECT_EQ(t.sharpening, 1);
  // L >= 255 - H: a = contrast, w = trunc(255 - 25/30 * 40 + .5) = 222.
  t = ComputeManual({30, 230}, {0, 40, 0, 0});
  EXPECT_EQ(t.tone, ToneTable(40, 255.0 / (222 - 40), 1.0));
  // Without cut-offs (a tiny preview) contrast has no range to stretch.
  t = ComputeManual({0, 255}, {0, 60, 0, 0});
  for (int n = 0; n < 256; ++n) ASSERT_EQ(t.tone[n], n);

  // The cut-offs: 2 % of 10000 = 200 pixels in the tails, bins 0 and 255
  // not counted, and the limits 50 and 205.
  YccPlanes p;
  p.width = 100;
  p.height = 100;
  p.y.assign(10000, 128);
  p.cb.assign(10000, 0);
  p.cr.assign(10000, 0);
  for (int i = 0; i < 150; ++i) p.y[i] = 0;      // not counted
  for (int i = 150; i < 300; ++i) p.y[i] = 3;    // 150 in bin 3
  for (int i = 300; i < 400; ++i) p.y[i] = 7;    // reaches 200 at bin 7
  for (int i = 400; i < 700; ++i) p.y[i] = 240;  // 300 in bin 240
  EXPECT_EQ(AnalysePreview(p), (Cutoffs{7, 240}));
  for (int i = 400; i < 700; ++i) p.y[i] = 250;
  for (int i = 150; i < 400; ++i) p.y[i] = 90;
  EXPECT_EQ(AnalysePreview(p), (Cutoffs{50, 250}));
  p.y.resize(49);  // fewer than 50 pixels: no tails
  EXPECT_EQ(AnalysePreview(p), (Cutoffs{0, 255}));
}

TEST(Adjust, SharpeningLeavesTheBorderAndSaturationZeroIsGrey) {
  ImageRecord photo = Photo(9, 7, 3);
  YccPlanes planes = Take(ToPlanes(photo));
  Transform plain = ComputeManual({10, 240}, {});
  Transform sharp = ComputeManual({10, 240}, {0, 0, 0, 100});
  ImageRecord a = Take(ApplyTransform(photo, planes, plain));
  ImageRecord b = Take(ApplyTransform(photo, planes, sharp));
  const uint64_t stride = ImageRowStride(9, 24);
  int interior_changed = 0;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x)
      for (int c = 0; c < 3; ++c) {
        const uint8_t pa = ImageBits(a)[y * stride + 3 * x + c], pb = ImageBits(b)[y * stride + 3 * x + c];
        if (y == 0 || y == 6 || x == 0 || x == 8) EXPECT_EQ(pa, pb) << x << "," << y;
        else interior_changed += pa != pb;
      }
  EXPECT_GT(interior_changed, 0);
  // Row padding is carried over unchanged.
  ImageBits(photo)[27] = 0xAB;  // the pad bytes of row 0 (9 * 3 = 27)
  planes = Take(ToPlanes(photo));
  EXPECT_EQ(ImageBits(Take(ApplyTransform(photo, planes, plain)))[27], 0xAB);

  // Saturation -100: every pixel grey, at its luminance.
  ImageRecord grey = Take(ApplyTransform(photo, planes, ComputeManual({10, 240}, {0, 0, -100, 0})));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      const uint8_t* p = ImageBits(grey) + y * stride + 3 * x;
      ASSERT_EQ(p[0], p[1]);
      ASSERT_EQ(p[1], p[2]);
      EXPECT_EQ(p[0], planes.y[y * 9 + x]);
    }
}

TEST(Adjust, WholePictureRoadEqualsThePlanes) {
  // The whole picture is converted row by row as it is written; it must
  // give what the full planes give, padding included.
  for (auto [w, h] : {std::pair{13, 9}, {1, 1}, {2, 5}, {7, 1}}) {
    ImageRecord photo = Photo(w, h, 21);
    if (w == 13) ImageBits(photo)[39] = 0x5A;  // row padding
    const Transform t = ComputeManual({12, 230}, {-30, 45, 60, 80});
    ImageRecord whole = Take(AdjustWhole(photo, t));
    ImageRecord planes = Take(ApplyTransform(photo, Take(ToPlanes(photo)), t));
    ASSERT_EQ(std::vector<uint8_t>(whole.bytes().begin(), whole.bytes().end()),
              std::vector<uint8_t>(planes.bytes().begin(), planes.bytes().end()))
        << w << "x" << h;
  }
}

TEST(Adjust, AutomaticValuesFollowThePicture) {
  // A dark, flat, colourless picture: dark band counts make v = n / j,
  // no chroma gives h = 1, no edges give s = 0.12.
  YccPlanes p;
  p.width = 50;
  p.height = 40;
  const size_t n = 2000;
  p.y.assign(n, 100);
  p.cb.assign(n, 0);
  p.cr.assign(n, 0);
  const Cutoffs cut{20, 230};  // d = 210, m = 210 / 255
  // 400 pixels in [L + 10m, L + 30m) = [28.2, 44.7), 200 in [44.7, 61.2).
  for (size_t i = 0; i < 400; ++i) p.y[i] = 30;
  for (size_t i = 400; i < 600; ++i) p.y[i] = 50;
  Automatic a = ComputeAutomatic(p, cut, {});
  EXPECT_EQ(a.values.contrast, 25);            // max(L, 255 - H)
  EXPECT_EQ(a.values.brightness, 25);          // v = 2
  EXPECT_EQ(a.transform.tone, ToneTable(20, 255.0 / 210, 2.0));
  EXPECT_DOUBLE_EQ(a.transform.saturation, 1.2142857142857142);  // k = 255/210 < 1.3
  EXPECT_EQ(a.values.saturation, 21);
  EXPECT_EQ(a.values.sharpness, 12);
  EXPECT_NEAR(a.transform.sharpening, 0.12, 1e-12);
  // Strong chroma (mu >= 20) keeps h = 1; c is held at 1.3 for a narrow range.
  p.cr.assign(n, 30);
  a = ComputeAutomatic(p, {50, 205}, {});
  EXPECT_DOUBLE_EQ(a.transform.saturation, 1.3);
  EXPECT_EQ(a.values.saturation, 30);
}

TEST(Adjust, PreviewTakesEveryFthPixel) {
  ImageRecord photo = Photo(400, 100, 9);  // f = round(400 / 158) = 3
  ImageRecord pre = Take(MakePreview(photo));
  EXPECT_EQ(ImageWidth(pre), 134);
  EXPECT_EQ(ImageHeight(pre), 34);
  const uint64_t s1 = ImageRowStride(400, 24), s2 = ImageRowStride(134, 24);
  EXPECT_EQ(ImageBits(pre)[33 * s2 + 3 * 133 + 2], ImageBits(photo)[99 * s1 + 3 * 399 + 2]);
  EXPECT_EQ(ImageWidth(Take(MakePreview(Photo(79, 20, 1)))), 79);  // f = 1
}

}  // namespace
}  // namespace fq::edit
