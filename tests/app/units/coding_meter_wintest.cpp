// The progress dialog over JPEG coding as the image window uses it: its two
// lines, and a quit request that arrives while a picture is decoded or
// encoded (the coding finishes, the quit waits for the main loop).
#include <windows.h>

#include <string>

#include "base/temp_file.h"
#include "base/win/meter.h"
#include "base/win/win_file_system.h"
#include "base_res.h"
#include "image/image_record.h"
#include "image/jpeg_file.h"
#include "image/win/coding_meter.h"
#include "wintest.h"

namespace {

using namespace fq::win;

HWND Owner() {
  RegisterMeterClass(GetModuleHandleA(nullptr));
  return CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                       GetModuleHandleA(nullptr), nullptr);
}

struct Search {
  HWND owner;
  HWND found;
};
BOOL CALLBACK FindOwned(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (GetWindow(h, GW_OWNER) == s->owner && IsWindowVisible(h)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The visible window this thread shows over `owner`.
HWND DialogOver(HWND owner) {
  Search s{owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string ItemText(HWND dialog, int id) {
  char buf[512] = "";
  GetDlgItemTextA(dialog, id, buf, sizeof buf);
  return buf;
}

// True (and the queue emptied) when a quit with this code is waiting.
bool QuitWaiting(WPARAM code) {
  MSG msg;
  bool quit = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message == WM_QUIT) quit = msg.wParam == code;
  return quit;
}

// A picture tall enough for many groups of rows, so the pump runs often.
fq::ImageRecord Stripes() {
  auto made = fq::ImageRecord::Create(96, 400, 24);
  CHECK(made.ok());
  if (!made.ok()) return {};
  fq::ImageRecord r = std::move(made.value());
  const uint64_t stride = fq::ImageRowStride(96, 24);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 96 * 3; ++x) fq::ImageBits(r)[y * stride + x] = uint8_t(x * 3 + y);
  return r;
}

}  // namespace

WIN_TEST(CodingMeterNamesTheFile) {
  HWND owner = Owner();
  {
    CodingMeter meter(owner, kExtractingText, "DSC0001.jpg");
    HWND d = DialogOver(owner);
    CHECK(d != nullptr);
    if (d) {
      CHECK_EQ(ItemText(d, IDC_METER_LINE1), std::string("Now extracting image."));
      CHECK_EQ(ItemText(d, IDC_METER_LINE2), std::string("File Name: DSC0001.jpg"));
    }
  }
  {
    CodingMeter meter(owner, kCompressingText, "out.jpg");
    HWND d = DialogOver(owner);
    CHECK(d != nullptr);
    if (d) CHECK_EQ(ItemText(d, IDC_METER_LINE2), std::string("File Name: out.jpg"));
  }
  DestroyWindow(owner);
}

WIN_TEST(QuitDuringCodingLetsTheCodingFinish) {
  fq::io::SetFileSystem(&TheWinFileSystem());
  HWND owner = Owner();
  fq::ImageRecord picture = Stripes();
  auto jpeg = fq::temp::TempFile::CreateJpeg();
  CHECK(jpeg.ok());
  if (!jpeg.ok()) return;

  // Saving: the file is written whole although the quit came first.
  PostQuitMessage(9);
  fq::Status saved;
  {
    CodingMeter meter(owner, kCompressingText, "q.jpg");
    saved = fq::SaveJpeg(picture, jpeg->path(), fq::kJpegQualityStandard, fq::kSampling2x1,
                         meter.Progress());
  }
  CHECK(saved.ok());
  CHECK(QuitWaiting(9));

  // Opening: the picture is read whole, and the quit is still there after.
  PostQuitMessage(11);
  fq::Result<fq::BitmapRead> read = fq::Failure{fq::err::kUnexpected};
  {
    CodingMeter meter(owner, kExtractingText, "q.jpg");
    read = fq::LoadJpeg(jpeg->path(), meter.Progress());
  }
  CHECK(read.ok());
  if (read.ok()) {
    CHECK_EQ(fq::ImageWidth(read->record), 96);
    CHECK_EQ(fq::ImageHeight(read->record), 400);
  }
  CHECK(QuitWaiting(11));
  DestroyWindow(owner);
  fq::io::SetFileSystem(nullptr);
}
