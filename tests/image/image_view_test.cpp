#include "image/image_view.h"

#include <gtest/gtest.h>

#include <string>

namespace fq::view {
namespace {

// --- Zoom and title ---------------------------------------------------------

TEST(ImageViewZoom, ViewCommandsMapToQuartersAndBack) {
  const struct {
    int command, zoom;
  } table[] = {{171, 1}, {172, 2}, {173, 4}, {174, 8}, {175, 16}};
  for (auto [command, zoom] : table) {
    EXPECT_EQ(ZoomForCommand(command), zoom) << command;
    EXPECT_EQ(CommandForZoom(zoom), command) << zoom;
    EXPECT_EQ(ValidZoom(zoom), zoom);
  }
  // Neighbouring commands (Image Adjustment, Rotate Right) are not zooms.
  EXPECT_FALSE(ZoomForCommand(170));
  EXPECT_FALSE(ZoomForCommand(176));
  for (int bad : {0, 3, 5, 32, -4}) {
    EXPECT_FALSE(CommandForZoom(bad)) << bad;
    EXPECT_EQ(ValidZoom(bad), 4) << bad;
  }
}

TEST(ImageViewZoom, TitleShowsNameModifiedMarkAndPercent) {
  EXPECT_EQ(WindowTitle("big.jpg", 1, false), "big.jpg [25%]");
  EXPECT_EQ(WindowTitle("big.jpg", 2, true), "big.jpg* [50%]");
  EXPECT_EQ(WindowTitle("big.jpg", 4, false), "big.jpg [100%]");
  EXPECT_EQ(WindowTitle("big.jpg", 8, false), "big.jpg [200%]");
  EXPECT_EQ(WindowTitle("big.jpg", 16, true), "big.jpg* [400%]");
  // The first cut-out picture at the source's 100 %.
  EXPECT_EQ(WindowTitle("Untitled 1", 4, true), "Untitled 1* [100%]");
  // Names with spaces, brackets and percent signs are shown as they are.
  EXPECT_EQ(WindowTitle("50% [x].bmp", 2, false), "50% [x].bmp [50%]");
  // An unknown zoom reads as 100 %.
  EXPECT_EQ(WindowTitle("a.bmp", 3, false), "a.bmp [100%]");
}

// --- First zoom ------------------------------------------------------------

TEST(ImageViewZoom, FirstZoomFollowsHowFarThePictureOverflows) {
  // 4000 x 3000 in 1000 x 700: r = 4.29, 25 %.
  EXPECT_EQ(InitialZoom(4000, 3000, 1000, 700), 1);
  // 1500 x 1000: r = 1.5 (width) and 1.43 (height), 50 %.
  EXPECT_EQ(InitialZoom(1500, 1000, 1000, 700), 2);
  // Pictures that fit both ways, up to exactly the client size, open at 100 %.
  EXPECT_EQ(InitialZoom(640, 480, 1000, 700), 4);
  EXPECT_EQ(InitialZoom(1000, 700, 1000, 700), 4);
  EXPECT_EQ(InitialZoom(1, 1, 1000, 700), 4);
  // One pixel over in one direction is enough to leave 100 %.
  EXPECT_EQ(InitialZoom(1001, 700, 1000, 700), 2);
  EXPECT_EQ(InitialZoom(1000, 701, 1000, 700), 2);
  // r exactly 2 is still 50 %; just above it is 25 %.
  EXPECT_EQ(InitialZoom(2000, 700, 1000, 700), 2);
  EXPECT_EQ(InitialZoom(2001, 700, 1000, 700), 1);
  EXPECT_EQ(InitialZoom(500, 1400, 1000, 700), 2);
  EXPECT_EQ(InitialZoom(500, 1401, 1000, 700), 1);
  // The larger ratio decides: narrow but very tall.
  EXPECT_EQ(InitialZoom(100, 1500, 1000, 700), 1);
  // The benchmark picture in the same client area: r = 2.19.
  EXPECT_EQ(InitialZoom(2048, 1536, 1000, 700), 1);
}

TEST(ImageViewZoom, FirstZoomInAnEmptyClientAreaIsSmallest) {
  // A minimised frame reports no client area; nothing fits.
  EXPECT_EQ(InitialZoom(10, 10, 0, 0), 1);
  EXPECT_EQ(InitialZoom(10, 10, 0, 700), 1);
}

// --- Scroll ranges -----------------------------------------------------------

constexpr int kBar = 17;  // thickness of both scroll bars in these cases

TEST(ImageViewScroll, RangesAtEachZoomOfALargePicture) {
  // 2048 x 1536 in a 1000 x 700 client area.
  const struct {
    int zoom, horizontal, vertical;
  } table[] = {
      {1, 0, 0},                                        // 512 x 384 fits
      {2, 1024 - 1000 + kBar, 768 - 700 + kBar},        // both bars
      {4, 2048 - 1000 + kBar, 1536 - 700 + kBar},
      {8, 4096 - 1000 + kBar, 3072 - 700 + kBar},
      {16, 8192 - 1000 + kBar, 6144 - 700 + kBar},
  };
  for (auto [zoom, h, v] : table) {
    auto r = ComputeScrollRanges(Zoomed(2048, zoom), Zoomed(1536, zoom), 1000, 700, kBar, kBar);
    EXPECT_EQ(r.horizontal, h) << zoom;
    EXPECT_EQ(r.vertical, v) << zoom;
  }
}

TEST(ImageViewScroll, OneDirectionOverflowing) {
  // Exactly the client size: no bars.
  auto r = ComputeScrollRanges(1000, 700, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 0);
  EXPECT_EQ(r.vertical, 0);
  // Wide and low: only the horizontal bar, whose range is not grown.
  r = ComputeScrollRanges(1200, 300, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 200);
  EXPECT_EQ(r.vertical, 0);
  // Narrow and tall: only the vertical bar.
  r = ComputeScrollRanges(980, 800, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 0);
  EXPECT_EQ(r.vertical, 100);
  // The last height that still fits beside the horizontal bar.
  r = ComputeScrollRanges(1200, 700 - kBar, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 200);
  EXPECT_EQ(r.vertical, 0);
}

TEST(ImageViewScroll, ABarThatTakesTheLastRoomBringsTheOtherBar) {
  // Wide, and tall enough to be covered by the horizontal bar: the vertical
  // bar appears and both ranges grow by the other bar's thickness.
  auto r = ComputeScrollRanges(1200, 690, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 1200 - 1000 + kBar);
  EXPECT_EQ(r.vertical, 690 - 700 + kBar);
  // Likewise from the other side.
  r = ComputeScrollRanges(990, 800, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, 990 - 1000 + kBar);
  EXPECT_EQ(r.vertical, 800 - 700 + kBar);
  // One pixel too tall: the vertical bar's width pushes the full width over.
  r = ComputeScrollRanges(1000, 701, 1000, 700, kBar, kBar);
  EXPECT_EQ(r.horizontal, kBar);
  EXPECT_EQ(r.vertical, 1 + kBar);
  // Different thicknesses go to the right direction: the vertical bar is
  // `bar_width` wide and takes room from the width.
  r = ComputeScrollRanges(1200, 900, 1000, 700, 20, 10);
  EXPECT_EQ(r.horizontal, 220);
  EXPECT_EQ(r.vertical, 210);
}

TEST(ImageViewScroll, RangesAreNeverNegative) {
  for (int w : {0, 1, 500, 999, 1000, 1001, 1016, 1017, 1018, 3000})
    for (int h : {0, 1, 683, 684, 699, 700, 701, 2000}) {
      auto r = ComputeScrollRanges(w, h, 1000, 700, kBar, kBar);
      EXPECT_GE(r.horizontal, 0) << w << "x" << h;
      EXPECT_GE(r.vertical, 0) << w << "x" << h;
      // Scrolled to the end, the picture's far edge meets the visible edge.
      const int visible_w = 1000 - (r.vertical > 0 ? kBar : 0);
      const int visible_h = 700 - (r.horizontal > 0 ? kBar : 0);
      if (r.horizontal > 0) EXPECT_EQ(r.horizontal + visible_w, w) << w << "x" << h;
      else EXPECT_LE(w, visible_w) << w << "x" << h;
      if (r.vertical > 0) EXPECT_EQ(r.vertical + visible_h, h) << w << "x" << h;
      else EXPECT_LE(h, visible_h) << w << "x" << h;
    }
}

// --- Client points to picture points --------------------------------------

TEST(ImageViewMapping, LargePictureAt100PercentScrolledToTheEnds) {
  // 2048 wide in a 983-pixel client (the vertical bar shown), range 1065.
  EXPECT_EQ(PicturePoint(0, 983, 2048, 0, 4), 0);
  EXPECT_EQ(PicturePoint(982, 983, 2048, 0, 4), 982);
  EXPECT_EQ(PicturePoint(0, 983, 2048, 1065, 4), 1065);
  EXPECT_EQ(PicturePoint(982, 983, 2048, 1065, 4), 2047);
  // Outside the client area while dragging: clamped to the picture.
  EXPECT_EQ(PicturePoint(-40, 983, 2048, 0, 4), 0);
  EXPECT_EQ(PicturePoint(1500, 983, 2048, 1065, 4), 2048);
  EXPECT_EQ(ClientPoint(2047, 983, 2048, 1065, 4), 982);
  EXPECT_EQ(ClientPoint(1065, 983, 2048, 1065, 4), 0);
}

TEST(ImageViewMapping, CentredSmallPictureEdges) {
  // 400 wide in 1000 at 100 %: drawn from 300 to 700.
  EXPECT_EQ(CentringOffset(1000, 400), 300);
  EXPECT_EQ(PicturePoint(300, 1000, 400, 0, 4), 0);
  EXPECT_EQ(PicturePoint(299, 1000, 400, 0, 4), 0);
  EXPECT_EQ(PicturePoint(0, 1000, 400, 0, 4), 0);
  EXPECT_EQ(PicturePoint(500, 1000, 400, 0, 4), 200);
  EXPECT_EQ(PicturePoint(700, 1000, 400, 0, 4), 400);
  EXPECT_EQ(PicturePoint(999, 1000, 400, 0, 4), 400);
  EXPECT_EQ(ClientPoint(0, 1000, 400, 0, 4), 300);
  EXPECT_EQ(ClientPoint(400, 1000, 400, 0, 4), 700);

  // The same picture at 200 %: 800 drawn from 100 to 900, two client
  // pixels to a picture pixel.
  EXPECT_EQ(CentringOffset(1000, Zoomed(400, 8)), 100);
  EXPECT_EQ(PicturePoint(100, 1000, 400, 0, 8), 0);
  EXPECT_EQ(PicturePoint(101, 1000, 400, 0, 8), 0);
  EXPECT_EQ(PicturePoint(102, 1000, 400, 0, 8), 1);
  EXPECT_EQ(PicturePoint(900, 1000, 400, 0, 8), 400);
  EXPECT_EQ(ClientPoint(0, 1000, 400, 0, 8), 100);
  EXPECT_EQ(ClientPoint(400, 1000, 400, 0, 8), 900);
}

TEST(ImageViewMapping, QuarterSizeCoversFourPicturePixelsPerClientPixel) {
  // 2048 at 25 %: 512 drawn from 244 to 756.
  EXPECT_EQ(CentringOffset(1000, Zoomed(2048, 1)), 244);
  EXPECT_EQ(PicturePoint(244, 1000, 2048, 0, 1), 0);
  EXPECT_EQ(PicturePoint(245, 1000, 2048, 0, 1), 4);
  EXPECT_EQ(PicturePoint(500, 1000, 2048, 0, 1), 1024);
  EXPECT_EQ(PicturePoint(756, 1000, 2048, 0, 1), 2048);
  EXPECT_EQ(PicturePoint(0, 1000, 2048, 0, 1), 0);
  EXPECT_EQ(ClientPoint(0, 1000, 2048, 0, 1), 244);
  EXPECT_EQ(ClientPoint(2048, 1000, 2048, 0, 1), 756);
  // At 50 % scrolled to the end (range 41 beside a vertical bar).
  EXPECT_EQ(PicturePoint(982, 983, 2048, 41, 2), 2046);
  EXPECT_EQ(PicturePoint(0, 983, 2048, 41, 2), 82);
}

TEST(ImageViewMapping, RoundTripOnPixelBoundaries) {
  for (int zoom : kZoomQuarters)
    for (int client : {300, 1000})
      for (int p : {0, 1, 37, 399, 400}) {
        // Scroll positions that are whole picture pixels at this zoom.
        const int scroll = Zoomed(400, zoom) > client ? zoom : 0;
        const int c = ClientPoint(p, client, 400, scroll, zoom);
        if (c < 0 || c > client) continue;  // not on screen
        if (zoom < 4 && p % (4 / zoom) != 0) continue;  // no client pixel of its own
        EXPECT_EQ(PicturePoint(c, client, 400, scroll, zoom), p)
            << "zoom " << zoom << " client " << client << " p " << p;
      }
}

// --- Save kinds and the final name ----------------------------------------

TEST(ImageViewSave, DefaultKindFollowsTheSource) {
  EXPECT_EQ(DefaultSaveKind(kSourceJpeg, 24), kSaveJpegStandard);
  EXPECT_EQ(DefaultSaveKind(kSourceJpeg, 8), kSaveJpegStandard);
  EXPECT_EQ(DefaultSaveKind(kSourceBmp, 24), kSaveBmpFull);
  for (int bits : {1, 4, 8, 16, 32}) EXPECT_EQ(DefaultSaveKind(kSourceBmp, bits), kSaveBmp256) << bits;
  EXPECT_EQ(DefaultSaveKind(kSourceCalendar, 24), kSaveCalendar);
  EXPECT_EQ(ExtensionFor(kSaveJpegStandard), ".jpg");
  EXPECT_EQ(ExtensionFor(kSaveJpegLow), ".jpg");
  EXPECT_EQ(ExtensionFor(kSaveJpegHigh), ".jpg");
  EXPECT_EQ(ExtensionFor(kSaveBmpFull), ".bmp");
  EXPECT_EQ(ExtensionFor(kSaveBmp256), ".bmp");
  EXPECT_EQ(ExtensionFor(kSaveCalendar), ".cal");
}

constexpr int kPictureKinds[] = {kSaveJpegStandard, kSaveJpegLow, kSaveJpegHigh, kSaveBmpFull,
                                 kSaveBmp256};

TEST(ImageViewSave, NameWithoutExtensionGetsTheTypesExtensionBeforeAnything) {
  // The name that is checked for an existing file is the one with the
  // extension: what is returned is final.
  for (int kind : kPictureKinds) {
    const std::string ext = IsJpegKind(kind) ? ".jpg" : ".bmp";
    SaveChoice c = DecideSaveKind("C:\\pics\\holiday", kind);
    EXPECT_EQ(c.kind, kind);
    EXPECT_EQ(c.path, "C:\\pics\\holiday" + ext);
    // Other extensions are not ours: appended to, not replaced.
    c = DecideSaveKind("C:\\pics\\holiday.png", kind);
    EXPECT_EQ(c.kind, kind);
    EXPECT_EQ(c.path, "C:\\pics\\holiday.png" + ext);
    c = DecideSaveKind("C:\\pics\\holiday.jpeg", kind);
    EXPECT_EQ(c.kind, kind);
    EXPECT_EQ(c.path, "C:\\pics\\holiday.jpeg" + ext);
    c = DecideSaveKind("C:\\pics\\holiday.jp", kind);
    EXPECT_EQ(c.path, "C:\\pics\\holiday.jp" + ext);
    // A trailing dot is no extension either.
    c = DecideSaveKind("C:\\pics\\holiday.", kind);
    EXPECT_EQ(c.path, "C:\\pics\\holiday." + ext);
  }
}

TEST(ImageViewSave, JpegNamesDecideJpeg) {
  for (const char* name : {"C:\\a\\photo.jpg", "C:\\a\\photo.JPG", "C:\\a\\photo.Jpg", "p.jPg"}) {
    for (int kind : {kSaveJpegStandard, kSaveJpegLow, kSaveJpegHigh}) {
      SaveChoice c = DecideSaveKind(name, kind);
      EXPECT_EQ(c.kind, kind) << name;
      EXPECT_EQ(c.path, name);
    }
    // A BMP type with a JPEG name: low-quality JPEG, name kept.
    for (int kind : {kSaveBmpFull, kSaveBmp256}) {
      SaveChoice c = DecideSaveKind(name, kind);
      EXPECT_EQ(c.kind, kSaveJpegLow) << name << " " << kind;
      EXPECT_EQ(c.path, name);
    }
  }
}

TEST(ImageViewSave, BmpNamesDecideBmp) {
  for (const char* name : {"C:\\a\\photo.bmp", "C:\\a\\photo.BMP", "C:\\a\\photo.bMp", "p.Bmp"}) {
    for (int kind : {kSaveBmpFull, kSaveBmp256}) {
      SaveChoice c = DecideSaveKind(name, kind);
      EXPECT_EQ(c.kind, kind) << name;
      EXPECT_EQ(c.path, name);
    }
    // A JPEG type with a BMP name: full-colour BMP, name kept.
    for (int kind : {kSaveJpegStandard, kSaveJpegLow, kSaveJpegHigh}) {
      SaveChoice c = DecideSaveKind(name, kind);
      EXPECT_EQ(c.kind, kSaveBmpFull) << name << " " << kind;
      EXPECT_EQ(c.path, name);
    }
  }
}

TEST(ImageViewSave, DotsInFoldersAreNotExtensions) {
  SaveChoice c = DecideSaveKind("C:\\my.jpg\\photo", kSaveBmpFull);
  EXPECT_EQ(c.kind, kSaveBmpFull);
  EXPECT_EQ(c.path, "C:\\my.jpg\\photo.bmp");
  c = DecideSaveKind("C:\\old.bmp\\photo", kSaveJpegHigh);
  EXPECT_EQ(c.kind, kSaveJpegHigh);
  EXPECT_EQ(c.path, "C:\\old.bmp\\photo.jpg");
  c = DecideSaveKind("C:\\v1.2\\scan", kSaveBmp256);
  EXPECT_EQ(c.path, "C:\\v1.2\\scan.bmp");
  // The file's own extension still decides beneath such a folder.
  c = DecideSaveKind("C:\\old.bmp\\photo.JPG", kSaveBmp256);
  EXPECT_EQ(c.kind, kSaveJpegLow);
  EXPECT_EQ(c.path, "C:\\old.bmp\\photo.JPG");
}

TEST(ImageViewSave, TypeChangeRewritesTheNamesExtension) {
  EXPECT_EQ(WithExtension("photo.jpg", ".bmp"), "photo.bmp");
  EXPECT_EQ(WithExtension("photo.BMP", ".jpg"), "photo.jpg");
  EXPECT_EQ(WithExtension("photo", ".jpg"), "photo.jpg");
  EXPECT_EQ(WithExtension("a.b.c.jpg", ".bmp"), "a.b.c.bmp");
  EXPECT_EQ(WithExtension("x.png", ".bmp"), "x.bmp");
  // Not an extension: more or fewer than three characters after the dot, or
  // a name of four characters or fewer.
  EXPECT_EQ(WithExtension("photo.jpeg", ".bmp"), "photo.jpeg.bmp");
  EXPECT_EQ(WithExtension("photo.jp", ".bmp"), "photo.jp.bmp");
  EXPECT_EQ(WithExtension(".jpg", ".bmp"), ".jpg.bmp");
  EXPECT_EQ(WithExtension("", ".jpg"), ".jpg");
  // A typed folder with a dot is kept whole.
  EXPECT_EQ(WithExtension("sub.d\\pic", ".jpg"), "sub.d\\pic.jpg");
  EXPECT_EQ(WithExtension("sub.d/pic", ".jpg"), "sub.d/pic.jpg");
  EXPECT_EQ(WithExtension("C:\\x.y\\p.bmp", ".jpg"), "C:\\x.y\\p.jpg");
  // The final dot counts: a dot inside the last three characters does not
  // make what follows the earlier dot an extension.
  EXPECT_EQ(WithExtension("abc..jp", ".bmp"), "abc..jp.bmp");
  // Each of the five types rewrites to its own extension.
  for (int kind : kPictureKinds)
    EXPECT_EQ(WithExtension("photo.jpg", ExtensionFor(kind)),
              IsJpegKind(kind) ? "photo.jpg" : "photo.bmp");
}

}  // namespace
}  // namespace fq::view
