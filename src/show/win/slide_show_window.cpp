#include "show/win/slide_show_window.h"

#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "album/album_file.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"
#include "image/win/image_display.h"
#include "show/slide_show.h"
#include "show/win/movie_picture.h"
#include "show/win/slide_panel.h"
#include "show_res.h"

namespace fq::win {
namespace {

// Failures shown with texts of their own rather than from the table: the
// movie library's report and the empty album.
constexpr int kAviOpenFailure = -2;
constexpr int kNoImages = -3;

// The picture on the screen, kept decoded so that a repaint without a
// change of picture (the panel moved over it) draws without reading the
// file again; also kept at its size on the screen, so that a repaint does
// not stretch it again either.
struct ShownPicture {
  bool valid = false;
  ImageRecord record;  // the display copy
  Palette palette;
  ImageRecord scaled;  // the record stretched to `at`
  show::SlideRect at;
};

struct Slides {
  HWND window = nullptr;
  std::string album_path;
  settings::SlideShowOptions options;
  std::vector<std::string> paths;
  std::unique_ptr<show::SlideOrder> order;  // once the album is read
  bool playing = true;
  bool pointer_wanted = false;
  HWND panel = nullptr;
  bool drawn = false;   // the current picture has finished drawing
  bool ended = false;   // ending: no tick or paint does anything any more
  bool timer = false;
  ShownPicture shown;
  std::mt19937 random{static_cast<uint32_t>(std::time(nullptr))};
};
// The one show; it lives exactly as long as its window.
std::unique_ptr<Slides> g_show;

Slides* ShowOf(HWND window) {
  return g_show && g_show->window == window ? g_show.get() : nullptr;
}

void StopTimer(Slides& s) {
  if (s.timer) KillTimer(s.window, kSlideTimer);
  s.timer = false;
}

void StartTimer(Slides& s) {
  // A period of 0 gives the shortest one the system allows.
  SetTimer(s.window, kSlideTimer, static_cast<UINT>(show::SlidePeriodMs(s.options.speed)), nullptr);
  s.timer = true;
}

// Ending: the timer stops, the pointer comes back, the window (and with it
// the panel it owns) goes; the state goes with the window.
void EndShow(Slides& s) {
  s.ended = true;
  StopTimer(s);
  ShowPointer();
  DestroyWindow(s.window);
}

// A failure while loading or drawing: pointer shown, window hidden, one
// message, show ended. Nothing of the show acts while the box is up.
// The box lets messages through: the show may be gone when it returns (the
// frame closed meanwhile), so it is looked up again by its window.
void FailShow(Slides& s, int message) {
  const HWND window = s.window;
  s.ended = true;
  StopTimer(s);
  ShowPointer();
  ShowWindow(window, SW_HIDE);
  if (message == kAviOpenFailure) {
    MessageBoxA(nullptr, kAviOpenErrorText, std::string(kAppCaption).c_str(), MB_OK | MB_TASKMODAL);
  } else if (message == kNoImages) {
    MessageBoxA(nullptr, kNoImagesText, std::string(kAppCaption).c_str(),
                MB_OK | MB_ICONHAND | MB_TASKMODAL);
  } else {
    ShowError(message);
  }
  if (Slides* still = ShowOf(window)) EndShow(*still);
}

// The picture now due, read from its own file.
Result<ImageRecord> ReadSlide(const std::string& path) {
  if (!io::Fs().Exists(path)) return Failure{err::kFileDoesNotExist};
  switch (show::SlideKindOf(path)) {
    case show::SlideKind::kBmp: {
      auto read = ReadBitmapFile(path);
      if (!read) return read.failure();
      return std::move(read->record);
    }
    case show::SlideKind::kJpeg: {
      // Through a temporary bitmap file, without a meter; the file is gone
      // again when this returns.
      auto read = LoadJpeg(path);
      if (!read) return read.failure();
      return std::move(read->record);
    }
    case show::SlideKind::kMovie: {
      auto frame = ReadMovieFrame(path);
      if (frame) return frame;
      if (frame.message() == err::kFileCannotBeOpened) return Failure{kAviOpenFailure};
      return Failure{err::kNoCorrespondence};
    }
    case show::SlideKind::kOther:
      break;
  }
  return Failure{err::kNoCorrespondence};
}

// Reads and prepares the current picture for drawing; the failure's
// message otherwise.
Status PrepareSlide(Slides& s) {
  s.shown = ShownPicture{};
  auto read = ReadSlide(s.paths[static_cast<size_t>(s.order->current())]);
  if (!read) return read.failure();
  ImageRecord record = std::move(read).value();
  auto normal = NormalizeImage(record);
  if (!normal) return normal.failure();
  normal->ApplyTo(record);
  auto display = MakeDisplayCopy(s.window, record);
  if (!display) return display.failure();
  display->ApplyTo(record);
  auto palette = CreateImagePalette(record);
  if (!palette) return palette.failure();
  s.shown.record = std::move(record);
  s.shown.palette = std::move(palette).value();
  s.shown.valid = true;
  return Status::Ok();
}

// Where the current picture goes on the screen.
show::SlideRect PlaceOf(const Slides& s) {
  return show::SlideDestination(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                ImageWidth(s.shown.record), ImageHeight(s.shown.record),
                                s.options.size);
}

// The picture in its place on the screen. It is stretched in
// colour-on-colour mode (whole pixels repeated or dropped) once per picture
// and size mode, and then only copied to the screen.
void DrawSlide(Slides& s, HDC dc) {
  ShownPicture& p = s.shown;
  const show::SlideRect d = PlaceOf(s);
  SelectedPalette palette(dc, p.palette.get());
  if (p.scaled.empty() || !(p.at == d)) {
    auto scaled = show::ScaleForSlide(p.record, d.width, d.height);
    p.scaled = scaled ? std::move(scaled).value() : ImageRecord();
    p.at = d;
  }
  if (p.scaled.empty()) {
    // A form the scaling does not take: the system stretches it.
    const int w = ImageWidth(p.record), h = ImageHeight(p.record);
    StretchDrawImage(dc, p.record, RECT{d.x, d.y, d.x + d.width, d.y + d.height}, RECT{0, 0, w, h});
    return;
  }
  SetDIBitsToDevice(dc, d.x, d.y, static_cast<DWORD>(d.width), static_cast<DWORD>(d.height), 0, 0, 0,
                    static_cast<UINT>(d.height), ImageBits(p.scaled),
                    reinterpret_cast<const BITMAPINFO*>(p.scaled.data()), DIB_RGB_COLORS);
}

// Black around the picture; the picture's own place is left to the paint,
// so a repaint does not flash black first.
bool OnEraseBackground(Slides& s, HWND window, HDC dc) {
  RECT all;
  GetClientRect(window, &all);
  const int saved = SaveDC(dc);
  if (s.shown.valid && !s.ended) {
    const show::SlideRect d = PlaceOf(s);
    ExcludeClipRect(dc, d.x, d.y, d.x + d.width, d.y + d.height);
  }
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RestoreDC(dc, saved);
  return true;
}

// A new picture is due: drawn at the next paint.
void SelectSlide(Slides& s) {
  s.shown.valid = false;
  s.drawn = false;
  InvalidateRect(s.window, nullptr, TRUE);
}

// --- Messages -----------------------------------------------------------------

LRESULT OnCreate(HWND window, const CREATESTRUCTA& cs) {
  auto s = std::make_unique<Slides>();
  s->window = window;
  s->album_path = *static_cast<const std::string*>(cs.lpCreateParams);
  s->options = settings::ReadSlideShowOptionsForShow(settings::Store());
  g_show = std::move(s);
  HidePointer();
  PostMessageA(window, kMsgLoadSlides, 0, 0);
  return 0;
}

void OnLoad(Slides& s) {
  auto album = album::ReadAlbumFile(s.album_path);
  if (!album) return FailShow(s, album.message());
  if (album->entries.empty()) return FailShow(s, kNoImages);
  for (auto& e : album->entries) s.paths.push_back(std::move(e.path));
  s.order = std::make_unique<show::SlideOrder>(
      static_cast<int>(s.paths.size()), s.options.type == 1,
      [&r = s.random] { return static_cast<uint32_t>(r()) + GetTickCount(); });
  s.order->First(GetTickCount());
  SelectSlide(s);
}

void OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  Slides* s = ShowOf(window);
  Status prepared = Status::Ok();
  bool drew = false;
  if (s && !s->ended && s->order) {
    if (!s->shown.valid) prepared = PrepareSlide(*s);
    if (prepared) {
      DrawSlide(*s, dc);
      drew = true;
    }
  }
  EndPaint(window, &ps);
  if (!s) return;
  if (!prepared) return FailShow(*s, prepared.message());
  if (!drew || s->drawn) return;  // a repaint of the same picture
  s->drawn = true;
  // The window has no caption; its text names the picture on the screen
  // (for the task list and for tests that wait for a picture).
  SetWindowTextA(window, s->paths[static_cast<size_t>(s->order->current())].c_str());
  if (s->order->count() != 1 && s->playing) StartTimer(*s);
}

void OnTimer(Slides& s) {
  StopTimer(s);
  if (s.ended || !s.order) return;
  s.order->Next();
  SelectSlide(s);
}

void OnCommand(Slides& s, int id) {
  if (s.ended) return;
  switch (id) {
    case IDC_SLIDE_EXIT:
      EndShow(s);
      return;
    case IDC_SLIDE_POINTER:
      s.pointer_wanted = !s.pointer_wanted;
      if (s.pointer_wanted) ShowPointer();
      else HidePointer();
      return;
  }
  if (!s.order) return;  // the album is not read yet
  switch (id) {
    case IDC_SLIDE_SIZE:
      // For this show only.
      s.options.size = s.options.size == show::kSizeFullScreen ? show::kSizeOwn
                                                               : show::kSizeFullScreen;
      if (s.order->random()) {
        StopTimer(s);
        s.order->Next();
        SelectSlide(s);
      } else {
        InvalidateRect(s.window, nullptr, TRUE);  // the same picture, kept decoded
      }
      return;
    case IDC_SLIDE_PREV:
      StopTimer(s);
      if (s.order->Previous()) SelectSlide(s);
      return;
    case IDC_SLIDE_PLAY:
      if (s.playing) {
        StopTimer(s);
        s.playing = false;
      } else {
        if (s.order->count() != 1) StartTimer(s);
        s.playing = true;
      }
      return;
    case IDC_SLIDE_NEXT:
      StopTimer(s);
      s.order->Next();
      SelectSlide(s);
      return;
  }
}

void TogglePanel(Slides& s) {
  if (s.panel && IsWindow(s.panel)) {
    DestroyWindow(s.panel);
    return;
  }
  s.panel = OpenSlidePanel(s.window);
}

void OnMouseMove(Slides& s) {
  if (s.panel || s.pointer_wanted) ShowPointer();
  else HidePointer();
}

LRESULT CALLBACK SlideShowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return OnCreate(window, *reinterpret_cast<CREATESTRUCTA*>(lParam));
  if (msg == WM_PAINT) {
    OnPaint(window);
    return 0;
  }
  Slides* s = ShowOf(window);
  if (!s) return DefWindowProcA(window, msg, wParam, lParam);
  switch (msg) {
    case kMsgLoadSlides:
      if (!s->ended) OnLoad(*s);
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBackground(*s, window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_TIMER:
      if (wParam == kSlideTimer) OnTimer(*s);
      return 0;
    case WM_COMMAND:
      OnCommand(*s, LOWORD(wParam));
      return 0;
    case WM_CHAR:
    case WM_LBUTTONDOWN:
      if (!s->ended) EndShow(*s);
      return 0;
    case WM_RBUTTONDOWN:
      if (!s->ended) TogglePanel(*s);
      return 0;
    case WM_MOUSEMOVE:
      if (!s->ended) OnMouseMove(*s);
      return 0;
    case WM_DESTROY:
      // However the window goes (also with the frame), the pointer comes
      // back and nothing of the show runs on.
      s->ended = true;
      StopTimer(*s);
      ShowPointer();
      return 0;
    case WM_NCDESTROY:
      g_show.reset();
      return DefWindowProcA(window, msg, wParam, lParam);
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

// The display count moves by one per call; the bound only guards against a
// system that never reaches the wanted side.
constexpr int kMaxPointerSteps = 256;

void ShowPointer() {
  for (int i = 0; i < kMaxPointerSteps && ShowCursor(TRUE) < 0; ++i) {
  }
}

void HidePointer() {
  for (int i = 0; i < kMaxPointerSteps && ShowCursor(FALSE) >= 0; ++i) {
  }
}

bool RegisterSlideShowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kSlideShowClass,
                                        .procedure = SlideShowProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_ALBUM,
                                        .cursor = IDC_ARROW,
                                        .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

bool StartSlideShow(HWND frame, const std::string& album_path) {
  if (g_show) {
    SetForegroundWindow(g_show->window);
    return false;
  }
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(frame, GWLP_HINSTANCE));
  HWND window = CreateWindowExA(0, kSlideShowClass, "", WS_POPUP | WS_DLGFRAME, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                frame, nullptr, instance, const_cast<std::string*>(&album_path));
  if (!window) return false;
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  return true;
}

std::optional<SlideShowState> SlideShowStateOf(HWND show) {
  const Slides* s = ShowOf(show);
  if (!s || s->ended) return std::nullopt;
  return SlideShowState{.pointer_wanted = s->pointer_wanted,
                        .full_size = s->options.size == show::kSizeFullScreen,
                        .playing = s->playing};
}

bool SlideShowDrawing(HWND show) {
  const Slides* s = ShowOf(show);
  return s && !s->ended && !s->drawn;
}

void SetSlidePanel(HWND show, HWND panel) {
  if (Slides* s = ShowOf(show)) s->panel = panel;
}

}  // namespace fq::win
