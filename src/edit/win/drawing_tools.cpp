#include "edit/win/drawing_tools.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/win/frame_link.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "edit/drawing.h"
#include "edit/geometry.h"
#include "edit/undo_slot.h"
#include "edit/win/edit_commands.h"
#include "edit/win/tool_state.h"
#include "edit/win/undo.h"
#include "image/image_view.h"
#include "image/win/image_document.h"

namespace fq::win {
namespace {

constexpr DWORD kSecondPressMs = 500;
constexpr int kEdgeBand = 5;
constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

namespace tools {

Canvas::~Canvas() {
  if (old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

bool Canvas::Create(int width, int height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;  // rows bottom-up
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return false;
  bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (!bitmap_ || !bits_) return false;
  old_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  std::memset(bits_, 0, stride() * static_cast<size_t>(height));
  return true;
}

State& S() {
  static State state;
  return state;
}

HWND ActiveImageWindow() {
  HWND frame = FrameWindow();
  HWND mdi = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
  HWND active = mdi ? reinterpret_cast<HWND>(SendMessageA(mdi, WM_MDIGETACTIVE, 0, 0)) : nullptr;
  return DocumentOf(active) ? active : nullptr;
}

HFONT CreateToolFont(int height) {
  if (!S().font) return nullptr;
  LOGFONTA lf = *S().font;
  if (height) lf.lfHeight = height;
  // Crisp letters: every drawn pixel is the tool colour, so the merge keeps
  // all of them.
  lf.lfQuality = NONANTIALIASED_QUALITY;
  return CreateFontIndirectA(&lf);
}

void MeasureText() {
  State& s = S();
  if (!s.placed || !s.text_window || !s.font) return;
  WindowDC dc(s.text_window);
  GdiObject<HFONT> font(CreateToolFont());
  SelectedObject selected(dc.get(), font.get());
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc.get(), &tm);
  s.char_height = tm.tmHeight;
  const auto lines = edit::TextLines(s.text);
  s.lines = static_cast<int>(lines.size());
  int widest = -1;
  for (const std::string& line : lines) {
    SIZE whole = {}, head = {}, last = {};
    GetTextExtentPoint32A(dc.get(), line.c_str(), static_cast<int>(line.size()), &whole);
    if (whole.cx <= widest) continue;
    widest = whole.cx;
    if (!line.empty()) {
      GetTextExtentPoint32A(dc.get(), line.c_str(), static_cast<int>(line.size()) - 1, &head);
      GetTextExtentPoint32A(dc.get(), line.c_str() + line.size() - 1, 1, &last);
    }
    s.widest_without_last = head.cx;
    s.last_char_width = last.cx;
  }
}

int AskFix() {
  const std::string text(edit::kFixQuestion), caption(edit::kFixCaption);
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNOCANCEL | MB_TASKMODAL);
}

}  // namespace tools

namespace {

using tools::S;
using tools::State;

bool Italic() { return S().font && S().font->lfItalic; }

edit::TextBoxSize Box() {
  const State& s = S();
  return edit::TextBox(s.widest_without_last, s.last_char_width, s.lines, s.char_height, Italic());
}

// The text position kept inside a centred picture.
void KeepTextInside(HWND window) {
  State& s = S();
  const ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  RECT c;
  GetClientRect(window, &c);
  const edit::TextBoxSize box = Box();
  s.pos.x = edit::KeepBoxInside(s.pos.x, box.width, c.right, view::Zoomed(doc->width, doc->zoom));
  s.pos.y = edit::KeepBoxInside(s.pos.y, box.height, c.bottom, view::Zoomed(doc->height, doc->zoom));
}

RECT TextRect() {
  const State& s = S();
  const edit::TextBoxSize box = Box();
  return RECT{s.pos.x, s.pos.y, s.pos.x + box.width, s.pos.y + box.height};
}

// A client point of the window as a picture point.
POINT ToPicture(HWND window, const ImageDocument& doc, POINT p) {
  RECT c;
  GetClientRect(window, &c);
  return {edit::WindowToPicture(p.x, c.right, doc.width, GetScrollPos(window, SB_HORZ), doc.zoom),
          edit::WindowToPicture(p.y, c.bottom, doc.height, GetScrollPos(window, SB_VERT), doc.zoom)};
}

// The inverse, for drawing a stroke on the window after it scrolled.
POINT ToWindow(HWND window, const ImageDocument& doc, POINT p) {
  RECT c;
  GetClientRect(window, &c);
  const int zw = view::Zoomed(doc.width, doc.zoom), zh = view::Zoomed(doc.height, doc.zoom);
  return {p.x * doc.zoom / 4 + view::CentringOffset(c.right, zw) - GetScrollPos(window, SB_HORZ),
          p.y * doc.zoom / 4 + view::CentringOffset(c.bottom, zh) - GetScrollPos(window, SB_VERT)};
}

// The surface for strokes or a text on `window`: strokes pending on another
// window are fixed first. Null (reported) when the memory cannot be had.
tools::Surface* SurfaceFor(HWND window, bool eraser) {
  State& s = S();
  if (s.surface && s.surface->window == window) return s.surface.get();
  tools::FixStrokes();
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return nullptr;
  auto work = edit::Workable(doc->picture);
  Result<ImageRecord> base = work ? Result<ImageRecord>(ImageRecord()) : work.failure();
  if (work) {
    const ImageRecord& plain = work->Or(doc->picture);
    base = ImageBitCount(plain) == 24 ? plain.Clone() : Expand8To24(plain);
  }
  auto surface = std::make_unique<tools::Surface>();
  if (!base || !surface->drawing.Create(doc->width, doc->height) ||
      !surface->touched.Create(doc->width, doc->height)) {
    ShowError(base ? err::kMemory : base.message());
    return nullptr;
  }
  surface->base = std::move(*base);
  surface->window = window;
  surface->eraser = eraser;
  const size_t bytes = surface->drawing.stride() * static_cast<size_t>(doc->height);
  std::memcpy(surface->drawing.bits(), ImageBits(surface->base), bytes);
  s.surface = std::move(surface);
  return s.surface.get();
}

// One segment of a stroke, on the window at the pen width and on the
// picture-size surface at the width the zoom gives.
void StrokeTo(HWND window, POINT to_picture) {
  State& s = S();
  ImageDocument* doc = DocumentOf(window);
  tools::Surface* surface = s.surface.get();
  if (!doc || !surface) return;
  const bool eraser = s.tool == tools::kEraser;
  const COLORREF color = eraser ? kWhite : s.color;
  POINT from = s.last;
  // A single press draws a dot.
  POINT to = to_picture;
  if (to.x == from.x && to.y == from.y) ++to.x;
  {
    WindowDC dc(window);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, s.pen_width, color));
    SelectedObject sel(dc.get(), pen.get());
    POINT a = ToWindow(window, *doc, from), b = ToWindow(window, *doc, to);
    if (a.x == b.x && a.y == b.y) ++b.x;
    MoveToEx(dc.get(), a.x, a.y, nullptr);
    LineTo(dc.get(), b.x, b.y);
  }
  const int width = std::max(1, edit::SurfacePenWidth(s.pen_width, doc->zoom));
  const std::pair<HDC, COLORREF> targets[] = {{surface->drawing.dc(), color},
                                              {surface->touched.dc(), kWhite}};
  for (auto [dc, c] : targets) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, width, c));
    SelectedObject sel(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
  }
  surface->dirty = true;
  s.last = to_picture;
}

// Scrolls one line towards a window edge the pointer is near.
void ScrollNearEdge(HWND window, POINT p) {
  RECT c;
  GetClientRect(window, &c);
  if (p.x < kEdgeBand) SendMessageA(window, WM_HSCROLL, SB_LINEUP, 0);
  else if (p.x > c.right - kEdgeBand) SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
  if (p.y < kEdgeBand) SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
  else if (p.y > c.bottom - kEdgeBand) SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
}

// The merge of what the surface holds into the window's picture: an
// undoable edit. The surface is gone afterwards either way.
void MergeSurface() {
  State& s = S();
  std::unique_ptr<tools::Surface> surface = std::move(s.surface);
  s.stroking = false;
  if (!surface || !surface->dirty || !DocumentOf(surface->window)) return;
  const int w = surface->drawing.width(), h = surface->drawing.height();
  auto drawing = ImageRecord::Create(w, h, 24);
  std::vector<uint8_t> touched;
  try {
    touched.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    ShowError(err::kMemory);
    return;
  }
  if (!drawing) {
    ShowFailure(drawing);
    return;
  }
  const size_t stride = surface->drawing.stride();
  std::memcpy(ImageBits(*drawing), surface->drawing.bits(), stride * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = surface->touched.bits() + y * stride;
    for (int x = 0; x < w; ++x) touched[static_cast<size_t>(y) * w + x] = row[3 * x] | row[3 * x + 1] | row[3 * x + 2];
  }
  auto merged = edit::MergeDrawing(surface->base, *drawing, touched, s.color, surface->eraser);
  if (!merged) {
    ShowFailure(merged);
    return;
  }
  CommitEdit(surface->window, std::move(*merged), edit::kEditContent);
}

void Repaint(HWND window) {
  if (window) InvalidateRect(window, nullptr, FALSE);
}

// --- Mouse and keys of the image window -------------------------------------

bool OnTextPress(HWND window, POINT p) {
  State& s = S();
  const RECT box = TextRect();
  const bool inside = PtInRect(&box, p) != 0;
  const DWORD now = GetTickCount();
  if (inside) {
    if (s.last_press_inside && now - s.last_press <= kSecondPressMs) {
      s.last_press_inside = false;
      tools::RunTextInput(window);
      return true;
    }
    s.last_press = now;
    s.last_press_inside = true;
    s.moving = true;
    s.grab = POINT{p.x - s.pos.x, p.y - s.pos.y};
    SetCapture(window);
    return true;
  }
  s.last_press_inside = false;
  switch (tools::AskFix()) {
    case IDYES: tools::FixText(); break;
    case IDCANCEL: tools::DropText(); break;
    default: SetFocus(window); break;
  }
  return true;
}

bool OnButtonDown(HWND window, POINT p) {
  State& s = S();
  if (s.placed && s.text_window == window) return OnTextPress(window, p);
  if (s.tool != tools::kPen && s.tool != tools::kEraser) return s.tool != tools::kSelect;
  ImageDocument* doc = DocumentOf(window);
  if (!doc || !SurfaceFor(window, s.tool == tools::kEraser)) return true;
  SetCapture(window);
  s.stroking = true;
  s.last = ToPicture(window, *doc, p);
  StrokeTo(window, s.last);
  return true;
}

bool OnMove(HWND window, POINT p, WPARAM keys) {
  State& s = S();
  if (s.moving && s.text_window == window) {
    if (!(keys & MK_LBUTTON)) {
      s.moving = false;
      ReleaseCapture();
      return true;
    }
    s.pos = POINT{p.x - s.grab.x, p.y - s.grab.y};
    KeepTextInside(window);
    Repaint(window);
    return true;
  }
  if (!s.stroking || !s.surface || s.surface->window != window) return false;
  if (!(keys & MK_LBUTTON)) {
    s.stroking = false;
    ReleaseCapture();
    return true;
  }
  ScrollNearEdge(window, p);
  if (ImageDocument* doc = DocumentOf(window)) StrokeTo(window, ToPicture(window, *doc, p));
  return true;
}

bool OnButtonUp(HWND window, POINT p) {
  State& s = S();
  if (s.moving) {
    s.moving = false;
    ReleaseCapture();
    return true;
  }
  if (!s.stroking) return s.tool != tools::kSelect || s.placed;
  if (ImageDocument* doc = DocumentOf(window)) StrokeTo(window, ToPicture(window, *doc, p));
  s.stroking = false;
  ReleaseCapture();
  return true;
}

bool OnKey(HWND window, UINT vk) {
  State& s = S();
  if (!s.placed || s.text_window != window) return false;
  switch (vk) {
    case VK_LEFT: --s.pos.x; break;
    case VK_RIGHT: ++s.pos.x; break;
    case VK_UP: --s.pos.y; break;
    case VK_DOWN: ++s.pos.y; break;
    case VK_ESCAPE: tools::DropText(); return true;
    case VK_RETURN:
      switch (tools::AskFix()) {
        case IDYES: tools::FixText(); break;
        case IDCANCEL: tools::DropText(); break;
        default: SetFocus(window); break;
      }
      return true;
    default: return false;
  }
  Repaint(window);
  return true;
}

// Minimise, maximise and close ask about a placed text first (Yes fixes it
// and lets the command go on); strokes are fixed so that nothing is lost.
bool OnWindowCommand(HWND window) {
  State& s = S();
  if (s.placed && s.text_window == window) {
    switch (tools::AskFix()) {
      case IDYES: tools::FixText(); break;
      case IDCANCEL: tools::DropText(); return true;
      default: SetFocus(window); return true;
    }
  }
  if (s.surface && s.surface->window == window) tools::FixStrokes();
  return false;
}

// Calendars have no drawing tools: neither a calendar page in an image
// window nor a calendar window.
bool IsCalendar(HWND window) {
  if (const ImageDocument* doc = DocumentOf(window)) return doc->source_kind == view::kSourceCalendar;
  char cls[32] = "";
  return window && GetClassNameA(window, cls, sizeof cls) && lstrcmpiA(cls, "MYCALCLASS") == 0;
}

// The tool window shows while the user wants it and an image window is
// open, except on calendars. `closing` is a window on its way out, `active`
// the MDI child that is (becoming) active. With `raise`, a window that
// appears is shown active first (some window systems raise a window only
// then) and the active window made active again.
void UpdateVisibility(HWND closing, HWND active, bool raise) {
  State& s = S();
  if (!s.tool_window) return;
  bool any = false;
  HWND frame = FrameWindow();
  HWND mdi = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
  for (HWND h = mdi ? GetWindow(mdi, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (h != closing && DocumentOf(h)) any = true;
  if (!active && mdi) active = reinterpret_cast<HWND>(SendMessageA(mdi, WM_MDIGETACTIVE, 0, 0));
  const bool show = s.wanted && any && !IsCalendar(active);
  if (!show) {
    ShowWindow(s.tool_window, SW_HIDE);
    return;
  }
  if (IsWindowVisible(s.tool_window)) return;
  if (!raise) {
    ShowWindow(s.tool_window, SW_SHOWNOACTIVATE);
    return;
  }
  HWND was_active = GetActiveWindow();
  ShowWindow(s.tool_window, SW_SHOW);
  if (was_active && was_active != s.tool_window) SetActiveWindow(was_active);
}

}  // namespace

namespace tools {

void DropText() {
  State& s = S();
  HWND window = s.text_window;
  s.placed = false;
  s.moving = false;
  s.text.clear();
  s.text_window = nullptr;
  if (s.tool == kText) s.tool = kSelect;
  RefreshToolWindow();
  Repaint(window);
}

// The placed text drawn at its picture place and size into the surface,
// then merged; the tool returns to select.
bool FixText() {
  State& s = S();
  HWND window = s.text_window;
  ImageDocument* doc = DocumentOf(window);
  if (!s.placed || !doc || !s.font) {
    DropText();
    return false;
  }
  Surface* surface = SurfaceFor(window, false);
  if (!surface) {
    DropText();
    return false;
  }
  RECT c;
  GetClientRect(window, &c);
  const int x = edit::WindowToPicture(s.pos.x, c.right, doc->width, GetScrollPos(window, SB_HORZ), doc->zoom);
  const int y = edit::WindowToPicture(s.pos.y, c.bottom, doc->height, GetScrollPos(window, SB_VERT), doc->zoom);
  WindowDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  GdiObject<HFONT> font(CreateToolFont(edit::FixedFontHeight(s.font->lfHeight, dpi, doc->zoom)));
  const std::pair<HDC, COLORREF> targets[] = {{surface->drawing.dc(), s.color},
                                              {surface->touched.dc(), kWhite}};
  for (auto [dc, color] : targets) {
    SelectedObject selected(dc, font.get());
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    RECT r{x, y, doc->width, doc->height};
    for (const std::string& line : edit::TextLines(s.text)) {
      DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE);
      r.top += tm.tmHeight;
    }
  }
  surface->dirty = true;
  s.placed = false;
  s.text.clear();
  s.text_window = nullptr;
  s.tool = kSelect;
  MergeSurface();
  RefreshToolWindow();
  Repaint(window);
  return true;
}

void FixStrokes() {
  State& s = S();
  if (!s.surface) return;
  HWND window = s.surface->window;
  MergeSurface();
  Repaint(window);
}

}  // namespace tools

void DrawingToolsWindowCreated(HWND image_window) {
  State& s = S();
  if (!s.tool_window) {
    HWND frame = GetParent(GetParent(image_window));
    tools::CreateToolWindow(frame);
  }
  UpdateVisibility(nullptr, image_window, true);
}

void DrawingToolsWindowGone(HWND image_window) {
  State& s = S();
  if (s.text_window == image_window) tools::DropText();
  if (s.surface && s.surface->window == image_window) {
    s.surface.reset();
    s.stroking = false;
  }
  UpdateVisibility(image_window, nullptr, false);
}

bool DrawingToolMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  State& s = S();
  *result = 0;
  const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_LBUTTONDOWN: return OnButtonDown(window, p);
    case WM_MOUSEMOVE: return OnMove(window, p, wp);
    case WM_LBUTTONUP: return OnButtonUp(window, p);
    case WM_KEYDOWN: return OnKey(window, static_cast<UINT>(wp));
    case WM_SYSCOMMAND: {
      const UINT cmd = wp & 0xFFF0;
      if (cmd == SC_MINIMIZE || cmd == SC_MAXIMIZE || cmd == SC_CLOSE) return OnWindowCommand(window);
      return false;
    }
    case WM_CLOSE: return OnWindowCommand(window);
    case WM_MDIACTIVATE:
      // Another child becomes active: calendars hide the tool window.
      UpdateVisibility(nullptr, reinterpret_cast<HWND>(lp), false);
      return false;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && (s.tool == tools::kPen || s.tool == tools::kEraser)) {
        SetCursor(LoadCursor(nullptr, IDC_CROSS));
        *result = TRUE;
        return true;
      }
      return false;
  }
  return false;
}

void PaintDrawingTools(HWND window, HDC dc) {
  State& s = S();
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return;
  RECT c;
  GetClientRect(window, &c);
  if (s.surface && s.surface->window == window && s.surface->dirty) {
    const int zw = view::Zoomed(doc->width, doc->zoom), zh = view::Zoomed(doc->height, doc->zoom);
    const int x0 = view::CentringOffset(c.right, zw) - GetScrollPos(window, SB_HORZ);
    const int y0 = view::CentringOffset(c.bottom, zh) - GetScrollPos(window, SB_VERT);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x0, y0, zw, zh, s.surface->drawing.dc(), 0, 0, doc->width, doc->height, SRCCOPY);
  }
  if (!s.placed || s.text_window != window || s.tool != tools::kText || !s.font) return;
  KeepTextInside(window);
  GdiObject<HFONT> font(tools::CreateToolFont());
  SelectedObject selected(dc, font.get());
  SetTextColor(dc, s.color);
  SetBkMode(dc, TRANSPARENT);
  int y = s.pos.y;
  for (const std::string& line : edit::TextLines(s.text)) {
    TextOutA(dc, s.pos.x, y, line.c_str(), static_cast<int>(line.size()));
    y += s.char_height;
  }
  GdiObject<HPEN> dotted(CreatePen(PS_DOT, 1, s.color));
  SelectedObject pen(dc, dotted.get());
  SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
  const RECT box = TextRect();
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

HWND ToolWindow() { return S().tool_window; }

// --- What the frame asks of the tools ---------------------------------------

bool TextToolHoldsText() { return S().placed; }
void FixToolText() { tools::FixText(); }
void FocusToolText() {
  if (S().text_window) SetFocus(S().text_window);
}
void AbandonToolText() { tools::DropText(); }

// Before a command runs the strokes become part of the picture, so that the
// command (a save, a turn) works on what the user sees.
void NotifyDrawingTools(HWND) {
  tools::FixStrokes();
  tools::RefreshToolWindow();
}

void ShowToolWindow(HWND, bool show) {
  S().wanted = show;
  UpdateVisibility(nullptr, nullptr, true);
}

}  // namespace fq::win
