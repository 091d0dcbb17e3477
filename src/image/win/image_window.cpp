#include "image/win/image_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/win/frame_link.h"
#include "calendar/calendar_file.h"
#include "calendar/win/calendar_window.h"
#include "edit/win/drawing_tools.h"
#include "edit/win/undo.h"
#include "image/win/cutout.h"
#include "base/win/message_box.h"
#include "image/bmp_file.h"
#include "image/image_view.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/jpeg_segments.h"
#include "image/win/coding_meter.h"
#include "image/win/image_document.h"
#include "image/win/image_info_dialog.h"
#include "image/win/open_dialog.h"
#include "image/win/save.h"
#include "base/command_ids.h"
#include "base/file_io.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"

namespace fq::win {
namespace {

constexpr char kNotJpegBox[] = "This is not a Jpeg file.";
constexpr char kSaveQuestion[] = "(%s) was updated!! Do you want to save?";
constexpr DWORD kChildStyle = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;
constexpr int kTiles = 5;         // the picture is drawn in 5 × 5 stretched tiles
constexpr int kEdgeScrollBand = 5;  // pixels from a client edge that scroll while selecting

// The selection of the image window being dragged in (one at a time).
struct Selection {
  POINT start{}, end{};  // picture coordinates
  RECT shown{};          // client coordinates of the rectangle on screen
  bool drawn = false;
  bool dragging = false;
  bool auto_scroll = false;  // the drag scrolls one pixel at a time
};
Selection g_sel;


// --- Frame ------------------------------------------------------------------

// The frame recomputes its menu for the active document whenever something it
// reads changed (activation, change mark, selection, zoom).
void TellFrame(HWND window) { Frame().DocumentChanged(window); }

void SetStatus(int part, const char* text, bool raised = false) {
  Frame().SetStatusText(part, text, raised);
}

// --- Geometry ---------------------------------------------------------------

RECT ClientRect(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return r;
}

// The window rectangle for the zoomed picture as client area.
RECT WindowRectFor(const ImageDocument& doc) {
  RECT r{0, 0, view::Zoomed(doc.width, doc.zoom), view::Zoomed(doc.height, doc.zoom)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_MDICHILD);
  return r;
}

POINT ToPicture(HWND window, const ImageDocument& doc, int x, int y) {
  RECT c = ClientRect(window);
  return {view::PicturePoint(x, c.right, doc.width, GetScrollPos(window, SB_HORZ), doc.zoom),
          view::PicturePoint(y, c.bottom, doc.height, GetScrollPos(window, SB_VERT), doc.zoom)};
}

// The selection in client coordinates, normalised and clipped to the
// displayed picture.
RECT SelectionClientRect(HWND window, const ImageDocument& doc) {
  RECT c = ClientRect(window);
  int sx = GetScrollPos(window, SB_HORZ), sy = GetScrollPos(window, SB_VERT);
  auto cx = [&](int px) { return view::ClientPoint(px, c.right, doc.width, sx, doc.zoom); };
  auto cy = [&](int py) { return view::ClientPoint(py, c.bottom, doc.height, sy, doc.zoom); };
  RECT r{cx(std::min(g_sel.start.x, g_sel.end.x)), cy(std::min(g_sel.start.y, g_sel.end.y)),
         cx(std::max(g_sel.start.x, g_sel.end.x)), cy(std::max(g_sel.start.y, g_sel.end.y))};
  RECT picture{cx(0), cy(0), cx(doc.width), cy(doc.height)};
  IntersectRect(&r, &r, &picture);
  return r;
}

// Inverting lines: drawing the same rectangle twice removes it.
void InvertFrame(HDC dc, const RECT& r) {
  int w = std::max<int>(1, r.right - r.left), h = std::max<int>(1, r.bottom - r.top);
  PatBlt(dc, r.left, r.top, w, 1, DSTINVERT);
  PatBlt(dc, r.left, r.bottom - 1, w, 1, DSTINVERT);
  PatBlt(dc, r.left, r.top + 1, 1, h - 2, DSTINVERT);
  PatBlt(dc, r.right - 1, r.top + 1, 1, h - 2, DSTINVERT);
}

void EraseShownSelection(HWND window) {
  if (!g_sel.drawn) return;
  WindowDC dc(window);
  InvertFrame(dc.get(), g_sel.shown);
  g_sel.drawn = false;
}

void DrawSelection(HWND window, const ImageDocument& doc) {
  g_sel.shown = SelectionClientRect(window, doc);
  WindowDC dc(window);
  InvertFrame(dc.get(), g_sel.shown);
  g_sel.drawn = true;
}

void ClearSelection(HWND window, ImageDocument& doc, bool all_parts) {
  EraseShownSelection(window);
  g_sel = Selection{};
  doc.selection_shown = false;
  TellFrame(window);
  for (int part = all_parts ? 1 : 3; part <= 4; ++part) SetStatus(part, "");
}

// --- Scrolling --------------------------------------------------------------

void UpdateScrollRanges(HWND window, const ImageDocument& doc) {
  RECT c = ClientRect(window);
  LONG style = GetWindowLongA(window, GWL_STYLE);
  const int bar_w = GetSystemMetrics(SM_CXVSCROLL), bar_h = GetSystemMetrics(SM_CYHSCROLL);
  int full_w = c.right + ((style & WS_VSCROLL) ? bar_w : 0);
  int full_h = c.bottom + ((style & WS_HSCROLL) ? bar_h : 0);
  auto r = view::ComputeScrollRanges(view::Zoomed(doc.width, doc.zoom),
                                     view::Zoomed(doc.height, doc.zoom), full_w, full_h, bar_w,
                                     bar_h);
  SetScrollRange(window, SB_HORZ, 0, r.horizontal, FALSE);
  SetScrollRange(window, SB_VERT, 0, r.vertical, FALSE);
  SetScrollPos(window, SB_HORZ, std::min(GetScrollPos(window, SB_HORZ), r.horizontal), TRUE);
  SetScrollPos(window, SB_VERT, std::min(GetScrollPos(window, SB_VERT), r.vertical), TRUE);
}

void ScrollBy(HWND window, int bar, int code, int thumb) {
  RECT c = ClientRect(window);
  const int extent = bar == SB_HORZ ? c.right : c.bottom;
  const int line = g_sel.auto_scroll ? 1 : std::max(1, extent / 4);
  int lo = 0, hi = 0;
  GetScrollRange(window, bar, &lo, &hi);
  const int old = GetScrollPos(window, bar);
  int pos = old;
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= extent; break;
    case SB_PAGEDOWN: pos += extent; break;
    case SB_THUMBPOSITION: pos = thumb; break;
    default: return;  // the thumb track is ignored
  }
  pos = std::clamp(pos, lo, std::max(lo, hi));
  if (pos == old) return;
  SetScrollPos(window, bar, pos, TRUE);
  if (bar == SB_HORZ) ScrollWindow(window, old - pos, 0, nullptr, nullptr);
  else ScrollWindow(window, 0, old - pos, nullptr, nullptr);
  UpdateWindow(window);
}

// --- Window creation --------------------------------------------------------

BOOL OnCreate(HWND window, LPCREATESTRUCT cs) {
  // The document passes to the window only when creation succeeds.
  auto* mdi = static_cast<MDICREATESTRUCTA*>(cs->lpCreateParams);
  auto* doc = reinterpret_cast<ImageDocument*>(mdi->lParam);
  if (!doc) return FALSE;
  doc->compression = ImageCompression(doc->picture);
  doc->bit_count = ImageBitCount(doc->picture);
  if (!RebuildDisplay(window, *doc)) return FALSE;
  AttachDocument(window, doc);
  DrawingToolsWindowCreated(window);
  return TRUE;
}

void OnDestroy(HWND window) {
  ForgetUndo(window);
  DrawingToolsWindowGone(window);
  std::unique_ptr<ImageDocument> doc(DocumentOf(window));
  AttachDocument(window, nullptr);
  if (g_sel.dragging) ReleaseCapture();
  g_sel = Selection{};
  Frame().DocumentClosing(window);
}

// --- Painting ---------------------------------------------------------------

void SetTitle(HWND window, const ImageDocument& doc) {
  std::string title = view::WindowTitle(doc.display_name, doc.zoom, doc.modified());
  char now[512] = "";
  GetWindowTextA(window, now, sizeof now);
  if (title != now) SetWindowTextA(window, title.c_str());
}

// The window's background: white, the class brush, painted around the
// picture when the client area is larger than the zoomed picture.
HBRUSH BackgroundBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

// Where the zoomed picture lies in the client area: centred, moved by the
// scroll positions.
RECT PictureRect(HWND window, const ImageDocument& doc) {
  RECT c = ClientRect(window);
  const int zw = view::Zoomed(doc.width, doc.zoom), zh = view::Zoomed(doc.height, doc.zoom);
  const int x0 = view::CentringOffset(c.right, zw) - GetScrollPos(window, SB_HORZ);
  const int y0 = view::CentringOffset(c.bottom, zh) - GetScrollPos(window, SB_VERT);
  return RECT{x0, y0, x0 + zw, y0 + zh};
}

// Everything of the client area outside the picture, in the background.
void PaintMargin(HDC dc, HWND window, const RECT& picture) {
  RECT c = ClientRect(window);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
  FillRect(dc, &c, BackgroundBrush());
  RestoreDC(dc, saved);
}

// The device bitmap drawn as 5 × 5 stretched tiles at its place.
void DrawPicture(HDC dc, ImageDocument& doc, const RECT& place) {
  MemoryDC memory(dc);
  if (!memory) return;
  const bool background = GetForegroundWindow() != FrameWindow();
  SelectedPalette pal(dc, doc.display_palette.get(), background);
  SelectedPalette mem_pal(memory.get(), doc.display_palette.get(), true);
  SelectedObject bitmap(memory.get(), doc.device_bitmap.get());
  SetStretchBltMode(dc, COLORONCOLOR);
  const int zw = place.right - place.left, zh = place.bottom - place.top;
  const int x0 = place.left, y0 = place.top;
  const int tw = doc.width / kTiles, th = doc.height / kTiles;
  for (int row = 0; row < kTiles; ++row) {
    const int sy = row * th, sh = row == kTiles - 1 ? doc.height - sy : th;
    // Each tile ends where the next begins: zooming the tile's size alone
    // would leave a one-pixel gap wherever the truncations differ.
    const int dy = view::Zoomed(sy, doc.zoom), dh = (row == kTiles - 1 ? zh : view::Zoomed(sy + sh, doc.zoom)) - dy;
    for (int col = 0; col < kTiles; ++col) {
      const int sx = col * tw, sw = col == kTiles - 1 ? doc.width - sx : tw;
      const int dx = view::Zoomed(sx, doc.zoom), dw = (col == kTiles - 1 ? zw : view::Zoomed(sx + sw, doc.zoom)) - dx;
      if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) continue;
      StretchBlt(dc, x0 + dx, y0 + dy, dw, dh, memory.get(), sx, sy, sw, sh, SRCCOPY);
    }
  }
}

void OnPaint(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (doc) {
    doc->zoom = view::ValidZoom(doc->zoom);
    SetTitle(window, *doc);
    const RECT place = PictureRect(window, *doc);
    PaintMargin(dc, window, place);
    DrawPicture(dc, *doc, place);
    PaintDrawingTools(window, dc);
  }
  EndPaint(window, &ps);
  if (!doc) return;
  if (doc->selection_shown || g_sel.drawn) {
    g_sel.drawn = false;  // the paint covered it
    if (doc->selection_shown || g_sel.dragging) DrawSelection(window, *doc);
  }
  TellFrame(window);
}

// --- Zoom ---------------------------------------------------------------------

void SetZoom(HWND window, ImageDocument& doc, int zoom) {
  doc.zoom = view::ValidZoom(zoom);
  TellFrame(window);
  doc.window_rect = WindowRectFor(doc);
  // From the window's current (restored) top-left corner.
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  GetWindowPlacement(window, &wp);
  const int w = doc.window_rect.right - doc.window_rect.left;
  const int h = doc.window_rect.bottom - doc.window_rect.top;
  wp.rcNormalPosition.right = wp.rcNormalPosition.left + w;
  wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + h;
  if (wp.showCmd == SW_SHOWNORMAL || wp.showCmd == SW_SHOW) {
    SetWindowPos(window, nullptr, wp.rcNormalPosition.left, wp.rcNormalPosition.top, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPlacement(window, &wp);
  }
  InvalidateRect(window, nullptr, TRUE);
  RECT c = ClientRect(window);
  SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right, c.bottom));
}

// --- Mouse and keyboard -----------------------------------------------------

void OnLButtonDown(HWND window, BOOL, int x, int y, UINT) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  SetCapture(window);
  EraseShownSelection(window);
  g_sel.dragging = true;
  g_sel.start = g_sel.end = ToPicture(window, *doc, x, y);
  g_sel.shown = RECT{x, y, x, y};
}

void ShowPoint(HWND, int part, const char* label, POINT p) {
  char text[64];
  std::snprintf(text, sizeof text, "%5d, %5d", int(p.x), int(p.y));
  SetStatus(part, label, true);
  SetStatus(part + 1, text);
}

// Scrolls one pixel towards a client edge the pointer is near, while the
// picture is larger than the client area that way.
void ScrollNearEdge(HWND window, const ImageDocument& doc, int x, int y) {
  RECT c = ClientRect(window);
  g_sel.auto_scroll = true;
  if (c.right < view::Zoomed(doc.width, doc.zoom)) {
    if (x < kEdgeScrollBand) ScrollBy(window, SB_HORZ, SB_LINEUP, 0);
    else if (x > c.right - kEdgeScrollBand) ScrollBy(window, SB_HORZ, SB_LINEDOWN, 0);
  }
  if (c.bottom < view::Zoomed(doc.height, doc.zoom)) {
    if (y < kEdgeScrollBand) ScrollBy(window, SB_VERT, SB_LINEUP, 0);
    else if (y > c.bottom - kEdgeScrollBand) ScrollBy(window, SB_VERT, SB_LINEDOWN, 0);
  }
  g_sel.auto_scroll = false;
}

void OnMouseMove(HWND window, int x, int y, UINT keys) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  POINT p = ToPicture(window, *doc, x, y);
  if (!g_sel.dragging) {
    ShowPoint(window, 1, "Mouse Position", p);
    return;
  }
  if (!(keys & MK_LBUTTON)) {
    g_sel.dragging = false;
    ReleaseCapture();
    return;
  }
  ScrollNearEdge(window, *doc, x, y);
  g_sel.end = ToPicture(window, *doc, x, y);
  ShowPoint(window, 1, "   Start Point", g_sel.start);
  char size[64];
  std::snprintf(size, sizeof size, "%5d x %d", int(std::abs(g_sel.end.x - g_sel.start.x)),
                int(std::abs(g_sel.end.y - g_sel.start.y)));
  SetStatus(3, "   Image Size", true);
  SetStatus(4, size);
  EraseShownSelection(window);
  DrawSelection(window, *doc);
}

void OnLButtonUp(HWND window, int x, int y, UINT) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc || !g_sel.dragging) return;
  g_sel.dragging = false;
  ReleaseCapture();
  g_sel.end = ToPicture(window, *doc, x, y);
  if (g_sel.start.x == g_sel.end.x || g_sel.start.y == g_sel.end.y) {
    ClearSelection(window, *doc, false);
    return;
  }
  doc->selection_shown = true;
  EraseShownSelection(window);
  DrawSelection(window, *doc);
  TellFrame(window);
}

void OnKeyDown(HWND window, UINT vk, BOOL, int, UINT) {
  ImageDocument* doc = DocumentOf(window);
  if (doc && vk == VK_ESCAPE) ClearSelection(window, *doc, false);
}

void OnKillFocus(HWND window, HWND) {
  ImageDocument* doc = DocumentOf(window);
  if (doc && (doc->selection_shown || g_sel.dragging)) ClearSelection(window, *doc, true);
}

// --- Activation and closing -------------------------------------------------

void OnMdiActivate(HWND window, HWND activated) {
  ImageDocument* doc = DocumentOf(window);
  if (doc && activated == window) TellFrame(window);
}

// True when the window may close: unmodified, saved, or the user said No.
bool ConfirmClose(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc || !doc->modified()) return true;
  char title[512] = "";
  GetWindowTextA(window, title, sizeof title);
  char text[700];
  std::snprintf(text, sizeof text, kSaveQuestion, title);
  int answer = MessageBoxA(window, text, kAppCaption.data(),
                           MB_YESNOCANCEL | MB_ICONWARNING | MB_TASKMODAL);
  if (answer == IDNO) return true;
  if (answer == IDYES) return SaveImageDocument(window, true);
  return false;
}

LRESULT CALLBACK ImageWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The drawing tools take the mouse and keys while one is in use; calendar
  // pages are read-only and never theirs.
  const ImageDocument* shown = DocumentOf(window);
  const bool calendar_page = shown && shown->source_kind == view::kSourceCalendar;
  if (LRESULT taken = 0;
      !calendar_page && DrawingToolMessage(window, msg, wParam, lParam, &taken))
    return taken;
  switch (msg) {
    HANDLE_MSG(window, WM_CREATE, OnCreate);
    HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    HANDLE_MSG(window, WM_PAINT, OnPaint);
    case WM_ERASEBKGND:
      // The paint covers the whole client area, margin first, then picture.
      if (DocumentOf(window)) return 1;
      break;
    HANDLE_MSG(window, WM_LBUTTONDOWN, OnLButtonDown);
    HANDLE_MSG(window, WM_MOUSEMOVE, OnMouseMove);
    HANDLE_MSG(window, WM_LBUTTONUP, OnLButtonUp);
    HANDLE_MSG(window, WM_KEYDOWN, OnKeyDown);
    HANDLE_MSG(window, WM_KILLFOCUS, OnKillFocus);
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollBy(window, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SIZE:
      if (ImageDocument* doc = DocumentOf(window)) UpdateScrollRanges(window, *doc);
      break;  // the MDI child procedure must see it too
    case WM_MDIACTIVATE:
      OnMdiActivate(window, reinterpret_cast<HWND>(lParam));
      break;
    case WM_CLOSE:
      if (!ConfirmClose(window)) return 0;
      break;
    case WM_QUERYENDSESSION:
      return ConfirmClose(window) ? TRUE : FALSE;
  }
  return DefMDIChildProcA(window, msg, wParam, lParam);
}

// --- Opening ------------------------------------------------------------------

// The MDI child for a document, titled with its display name at the default
// position; the document passes to the window when it is made.
HWND CreateMdiChild(HWND mdi_client, std::unique_ptr<ImageDocument> doc) {
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = kImageWindowClass;
  mcs.szTitle = doc->display_name.c_str();
  mcs.hOwner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mdi_client, GWLP_HINSTANCE));
  mcs.x = mcs.y = CW_USEDEFAULT;
  mcs.cx = doc->window_rect.right - doc->window_rect.left;
  mcs.cy = doc->window_rect.bottom - doc->window_rect.top;
  mcs.style = kChildStyle;
  mcs.lParam = reinterpret_cast<LPARAM>(doc.get());
  HWND window = reinterpret_cast<HWND>(
      SendMessageA(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (!window) return nullptr;
  doc.release();  // the window's now
  TellFrame(window);
  return window;
}

// An image window on a picture read from a bitmap file; `file_path` is the
// file the user opened (for a JPEG, not the bitmap it was decoded into).
// The reader refuses an uncompressed file whose pixel data is shorter than
// its rows at their own depth, so a 16-, 24- or 32-bit record arriving here
// holds every pixel; it is not measured again against 3 bytes a pixel.
HWND CreateImageWindow(HWND mdi_client, BitmapRead read, const std::string& file_path,
                       const std::string& display_name, int source_kind) {
  auto normal = NormalizeImage(read.record);
  if (!normal.ok()) {
    ShowFailure(normal);
    return nullptr;
  }
  auto doc = std::make_unique<ImageDocument>();
  normal->ApplyTo(read.record);
  doc->picture = std::move(read.record);
  doc->width = ImageWidth(doc->picture);
  doc->height = std::abs(ImageHeight(doc->picture));
  doc->source_kind = source_kind;
  RECT area;
  GetClientRect(mdi_client, &area);
  doc->zoom = view::InitialZoom(doc->width, doc->height, area.right, area.bottom);
  doc->adjustment_mode = 1;
  doc->path = file_path;
  doc->folder = FolderPartOf(file_path);
  doc->display_name = display_name;
  doc->window_rect = WindowRectFor(*doc);
  if (IsJpegFile(file_path)) {
    auto header = ReadHeaderSegments(file_path);
    if (!header.ok()) {
      MessageBoxA(GetParent(mdi_client), kNotJpegBox, nullptr, MB_OK | MB_TASKMODAL);
      return nullptr;
    }
    doc->kept = KeepSegments(*header);
  }
  return CreateMdiChild(mdi_client, std::move(doc));
}

// A JPEG or BMP file into a new window; failures reported here.
bool OpenPicture(HWND mdi_client, const std::string& path, const std::string& name) {
  HWND frame = GetParent(mdi_client);
  if (IsJpegFile(path)) {
    Result<BitmapRead> read = Failure{err::kUnexpected};
    {
      CodingMeter meter(frame, kExtractingText, name);
      read = LoadJpeg(path, meter.Progress());
    }
    if (!read.ok()) {
      ShowFailure(read);
      return false;
    }
    return CreateImageWindow(mdi_client, std::move(*read), path, name, view::kSourceJpeg);
  }
  auto read = ReadBitmapFile(path);
  if (!read.ok()) {
    ShowFailure(read);
    return false;
  }
  return CreateImageWindow(mdi_client, std::move(*read), path, name, view::kSourceBmp);
}

// A BMP file by its first two bytes; only those are read.
bool StartsWithBm(const std::string& path) {
  auto file = io::Fs().OpenRead(path);
  char head[2] = {};
  return file && file->Read(head, sizeof head) == sizeof head && head[0] == 'B' && head[1] == 'M';
}

}  // namespace

bool RegisterImageWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kImageWindowClass,
                                        .procedure = ImageWindowProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_IMAGE,
                                        .cursor = IDC_ARROW,
                                        .background = BackgroundBrush()});
}

bool RaiseImageWindowShowing(HWND mdi_client, const std::string& path) {
  HWND open = FindImageWindow(mdi_client, path);
  if (!open) return false;
  ShowError(err::kSameNameOpen);
  if (IsIconic(open)) SendMessageA(mdi_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(open), 0);
  SendMessageA(mdi_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(open), 0);
  SetFocus(open);
  return true;
}

bool OpenImageDocument(HWND mdi_client, const std::string& path) {
  if (RaiseImageWindowShowing(mdi_client, path)) return false;
  return OpenPicture(mdi_client, path, FileNameOf(path));
}

bool OpenFileCommand(HWND mdi_client, const OpenOtherKind& open_other) {
  auto chosen = RunOpenDialog(GetParent(mdi_client));
  if (!chosen || !io::Fs().Exists(*chosen)) return false;
  if (RaiseImageWindowShowing(mdi_client, *chosen)) return false;
  if (chosen->empty()) {
    ShowError(err::kFileCannotBeOpened);
    return false;
  }
  if (cal::IsCalendarFile(*chosen)) return OpenCalendarFile(mdi_client, *chosen, FileNameOf(*chosen));
  if (!IsJpegFile(*chosen) && !StartsWithBm(*chosen)) {
    // Albums and movies open in windows of their own kinds.
    if (open_other) return open_other(*chosen);
    ShowError(err::kNoCorrespondence);
    return false;
  }
  return OpenPicture(mdi_client, *chosen, FileNameOf(*chosen));
}

void RefreshImageWindow(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  SetTitle(window, *doc);
  TellFrame(window);
  InvalidateRect(window, nullptr, TRUE);
}

bool IsImageWindow(HWND window) { return DocumentOf(window) != nullptr; }

LRESULT CALLBACK ImageWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ImageWindowProc(window, msg, wParam, lParam);
}

bool IsImageModified(HWND window) {
  const ImageDocument* doc = DocumentOf(window);
  return doc && doc->modified();
}

std::optional<ImageWindowState> ImageWindowStateOf(HWND window) {
  const ImageDocument* doc = DocumentOf(window);
  if (!doc) return std::nullopt;
  return ImageWindowState{.modified = doc->modified(),
                          .name = doc->display_name,
                          .zoom = doc->zoom,
                          .selection_shown = doc->selection_shown,
                          .calendar = doc->source_kind == view::kSourceCalendar,
                          .undo_offered = UndoOffered(window)};
}

bool ImageWindowCommand(HWND frame, HWND active_child, int command_id) {
  (void)frame;
  ImageDocument* doc = DocumentOf(active_child);
  if (!doc) return false;
  if (auto zoom = view::ZoomForCommand(command_id)) {
    SetZoom(active_child, *doc, *zoom);
    return true;
  }
  switch (command_id) {
    case cmd::kSave: SaveImageDocument(active_child, false); return true;
    case cmd::kSaveAs: SaveImageDocument(active_child, true); return true;
    case cmd::kImageInformation: ShowImageInformation(active_child); return true;
    case cmd::kClose: SendMessageA(active_child, WM_CLOSE, 0, 0); return true;
    case cmd::kImageCutout: CutOutSelection(active_child); return true;
  }
  return false;
}

void RestoreImageWindow(HWND window) {
  if (DocumentOf(window) && (IsIconic(window) || IsZoomed(window)))
    SendMessageA(GetParent(window), WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
}

std::optional<PictureSelection> ShownSelection(HWND window) {
  const ImageDocument* doc = DocumentOf(window);
  if (!doc || !doc->selection_shown) return std::nullopt;
  return PictureSelection{g_sel.start, g_sel.end};
}

void ShowSelection(HWND window, const PictureSelection& selection) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  EraseShownSelection(window);
  g_sel = Selection{};
  g_sel.start = selection.start;
  g_sel.end = selection.end;
  doc->selection_shown = true;
  InvalidateRect(window, nullptr, FALSE);  // the paint draws it
  TellFrame(window);
}

void ClearImageSelection(HWND window) {
  if (ImageDocument* doc = DocumentOf(window)) ClearSelection(window, *doc, true);
}

void FitImageWindow(HWND window) {
  if (ImageDocument* doc = DocumentOf(window)) SetZoom(window, *doc, doc->zoom);
}

HWND CreateDocumentWindow(HWND mdi_client, std::unique_ptr<ImageDocument> doc) {
  if (!doc) return nullptr;
  doc->window_rect = WindowRectFor(*doc);
  HWND window = CreateMdiChild(mdi_client, std::move(doc));
  if (!window) return nullptr;
  // Inside the client area, less the scroll bars it may show.
  RECT area, r;
  GetClientRect(mdi_client, &area);
  area.right -= GetSystemMetrics(SM_CXVSCROLL);
  area.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, mdi_client, reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = std::max<int>(0, std::min<int>(r.left, area.right - w));
  const int y = std::max<int>(0, std::min<int>(r.top, area.bottom - h));
  if (x != r.left || y != r.top)
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return window;
}

}  // namespace fq::win
