// The image window in process, over an MDI client of its own: a JPEG with
// an Exif segment opened, edited (its picture replaced by a smaller one) and
// saved with the plain Save command, as the frame routes it.
#include <windows.h>
// The window system defines `small`, a parameter name of the Exif header.
#undef small

#include <string>

#include "base/command_ids.h"
#include "base/file_io.h"
#include "base/temp_file.h"
#include "base/win/meter.h"
#include "base/win/win_file_system.h"
#include "image/exif.h"
#include "image/jpeg_file.h"
#include "image/jpeg_segments.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"
#include "wintest.h"

namespace {

using namespace fq::win;

fq::ImageRecord Gradient(int w, int h) {
  auto made = fq::ImageRecord::Create(w, h, 24);
  CHECK(made.ok());
  if (!made.ok()) return {};
  fq::ImageRecord r = std::move(made.value());
  const uint64_t stride = fq::ImageRowStride(w, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = fq::ImageBits(r) + y * stride + 3 * x;
      p[0] = uint8_t(4 * x), p[1] = uint8_t(4 * y), p[2] = 128;
    }
  return r;
}

// A frame-like top-level window holding an MDI client.
struct Client {
  HWND frame = nullptr, mdi = nullptr;
  Client() {
    RegisterMeterClass(GetModuleHandleA(nullptr));
    RegisterImageWindowClass(GetModuleHandleA(nullptr));
    frame = CreateWindowA("STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CLIENTCREATESTRUCT ccs{};
    ccs.idFirstChild = 4100;
    mdi = CreateWindowA("MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640,
                        480, frame, nullptr, GetModuleHandleA(nullptr), &ccs);
  }
  ~Client() { DestroyWindow(frame); }
  HWND Active() const {
    return reinterpret_cast<HWND>(SendMessageA(mdi, WM_MDIGETACTIVE, 0, 0));
  }
};

}  // namespace

WIN_TEST(PlainSaveOfAnEditedJpegKeepsItsExifUpToDate) {
  fq::io::SetFileSystem(&TheWinFileSystem());
  auto file = fq::temp::TempFile::CreateJpeg();
  CHECK(file.ok());
  if (!file.ok()) return;
  const fq::ExifDateTime then{1999, 1, 26, 1, 1, 1};
  CHECK(!fq::SaveJpegWithExif(Gradient(64, 48), file->path(), fq::kJpegQualityStandard, then));

  Client c;
  CHECK(c.mdi != nullptr);
  CHECK(OpenImageDocument(c.mdi, file->path()));
  HWND window = c.Active();
  ImageDocument* doc = DocumentOf(window);
  CHECK(doc != nullptr);
  if (!doc) return;
  CHECK_EQ(doc->kept.segments.size(), size_t{1});
  // An edit that changes the size, as the size change does.
  CHECK(ReplacePicture(window, *doc, Gradient(32, 24)));
  doc->edit_counter = 1;
  CHECK(ImageWindowCommand(c.frame, window, fq::cmd::kSave));
  CHECK(!doc->modified());

  auto read = fq::LoadJpeg(file->path());
  CHECK(read.ok());
  if (read.ok()) CHECK_EQ(fq::ImageWidth(read->record), 32);
  auto header = fq::ReadHeaderSegments(file->path());
  CHECK(header.ok());
  if (header.ok()) {
    fq::KeptHeader kept = fq::KeepSegments(*header);
    CHECK(kept.kind == fq::HeaderClass::kExifOnly);
    CHECK_EQ(kept.exif.width, 32u);
    CHECK_EQ(kept.exif.height, 24u);
    CHECK(kept.exif.date_changed != fq::FormatExifDate(then));  // set to the save time
    CHECK_EQ(kept.exif.date_taken, fq::FormatExifDate(then));   // kept as it was
  }
  fq::io::SetFileSystem(nullptr);
}
