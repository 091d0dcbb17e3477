#include "album/win/album_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "album/album_file.h"
#include "album/album_rename.h"
#include "album/win/album_cell.h"
#include "album/win/album_save.h"
#include "album/win/cell_picture.h"
#include "album/win/picture_date.h"
#include "album_res.h"
#include "base_res.h"
#include "base/win/frame_link.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"

namespace fq::win {
namespace {

constexpr DWORD kAlbumStyle = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;
constexpr char kUntitled[] = "Album %d";
constexpr char kSaveQuestion[] = "(%s) was updated!! Do you want to save?";
constexpr char kOpenElsewhere[] =
    "Could not be saved on %s. \nFile may have already been opened.\nSave under a different "
    "name or close the file and execute again.";

AlbumProcessState g_albums;

// --- Geometry -----------------------------------------------------------------

// The client extent as if no scroll bars were shown.
album::Extent FullClient(HWND album) {
  RECT c;
  GetClientRect(album, &c);
  const LONG style = GetWindowLongA(album, GWL_STYLE);
  return {c.right + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0),
          c.bottom + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0)};
}

album::Point ScrollPosition(HWND album) {
  return {GetScrollPos(album, SB_HORZ), GetScrollPos(album, SB_VERT)};
}

album::Point ScrollLimits(HWND album) {
  int lo = 0, hx = 0, hy = 0;
  GetScrollRange(album, SB_HORZ, &lo, &hx);
  GetScrollRange(album, SB_VERT, &lo, &hy);
  return {hx, hy};
}

// Every cell at the grid place of its index, less the scroll position.
void LayoutCells(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  const album::Point scroll = ScrollPosition(album);
  int index = 0;
  for (HWND c = rec->first; c; c = EntryOf(c)->next, ++index) {
    const album::Point at = album::CellOrigin(index);
    SetWindowPos(c, nullptr, at.x - scroll.x, at.y - scroll.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void ScrollTo(HWND album, album::Point pos) {
  const album::Point old = ScrollPosition(album);
  if (old == pos) return;
  SetScrollPos(album, SB_HORZ, pos.x, TRUE);
  SetScrollPos(album, SB_VERT, pos.y, TRUE);
  LayoutCells(album);
}

void UpdateScrollRanges(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec || IsIconic(album)) return;
  const album::Extent content = album::ContentExtent(rec->count);
  const album::Extent full = FullClient(album);
  const int h = album::ScrollRange(content.width, full.width, GetSystemMetrics(SM_CXVSCROLL));
  const int v = album::ScrollRange(content.height, full.height, GetSystemMetrics(SM_CYHSCROLL));
  const album::Point before = ScrollPosition(album);
  SetScrollRange(album, SB_HORZ, 0, h, FALSE);
  SetScrollRange(album, SB_VERT, 0, v, FALSE);
  SetScrollPos(album, SB_HORZ, std::min(before.x, h), TRUE);
  SetScrollPos(album, SB_VERT, std::min(before.y, v), TRUE);
  if (!(ScrollPosition(album) == before)) LayoutCells(album);
}

// Sizes the window so that its client area (without bars) is `client`,
// keeping its place.
void SizeClientTo(HWND album, album::Extent client) {
  RECT r{0, 0, client.width, client.height};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_MDICHILD);
  SetWindowPos(album, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowWindow(HWND album, int old_count) {
  AlbumRecord* rec = AlbumOf(album);
  if (IsZoomed(album) || IsIconic(album)) return;
  const album::Extent full = FullClient(album);
  const album::Extent grown =
      album::GrownClient(full, album::ContentExtent(old_count), album::ContentExtent(rec->count));
  if (!(grown == full)) SizeClientTo(album, grown);
}

void ShrinkWindow(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (IsIconic(album)) return;
  if (IsZoomed(album)) SendMessageA(GetParent(album), WM_MDIRESTORE, reinterpret_cast<WPARAM>(album), 0);
  const album::Extent full = FullClient(album);
  const album::Extent shrunk = album::ShrunkClient(full, album::ContentExtent(rec->count));
  if (!(shrunk == full)) SizeClientTo(album, shrunk);
}

void Repaint(HWND cell) {
  if (cell && IsWindow(cell)) RedrawWindow(cell, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HWND FindAlbumWindow(HWND mdi_client, const std::string& path, HWND except = nullptr) {
  for (HWND c = GetWindow(mdi_client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const AlbumRecord* rec = AlbumOf(c);
    if (c != except && rec && !rec->path.empty() && album::SamePath(rec->path, path)) return c;
  }
  return nullptr;
}

void RaiseDocument(HWND mdi_client, HWND window) {
  if (IsIconic(window)) SendMessageA(mdi_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
  SendMessageA(mdi_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  SetFocus(window);
}

// --- Window procedure ---------------------------------------------------------

BOOL OnCreate(HWND album, LPCREATESTRUCT cs) {
  auto* mdi = static_cast<MDICREATESTRUCTA*>(cs->lpCreateParams);
  auto* rec = reinterpret_cast<AlbumRecord*>(mdi->lParam);
  if (!rec) return FALSE;
  SetWindowLongPtrA(album, kRecordSlot, reinterpret_cast<LONG_PTR>(rec));
  SetWindowLongPtrA(album, kKindSlot, static_cast<LONG_PTR>(WindowKind::kAlbum));
  ++g_albums.open_albums;
  return TRUE;
}

void OnDestroy(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  rec->destroying = true;
  if (g_albums.drag_source && GetParent(g_albums.drag_source) == album) {
    g_albums.drag_source = nullptr;
    ReleaseCapture();
  }
  for (HWND c = rec->last; c;) {
    HWND previous = EntryOf(c)->previous;
    DestroyWindow(c);
    c = previous;
  }
  --g_albums.open_albums;
  if (rec->closing_notice) {
    auto notice = std::move(rec->closing_notice);
    notice(album);
  }
  Frame().DocumentClosing(album);
}

void OnNcDestroy(HWND album) {
  std::unique_ptr<AlbumRecord> rec(AlbumOf(album));
  SetWindowLongPtrA(album, kRecordSlot, 0);
  SetWindowLongPtrA(album, kKindSlot, 0);
}

void ScrollBy(HWND album, int bar, int code, int thumb) {
  RECT c;
  GetClientRect(album, &c);
  const int extent = bar == SB_HORZ ? c.right : c.bottom;
  int lo = 0, hi = 0;
  GetScrollRange(album, bar, &lo, &hi);
  album::Point pos = ScrollPosition(album);
  int& p = bar == SB_HORZ ? pos.x : pos.y;
  switch (code) {
    case SB_LINEUP: p -= album::LineStep(extent); break;
    case SB_LINEDOWN: p += album::LineStep(extent); break;
    case SB_PAGEUP: p -= extent; break;
    case SB_PAGEDOWN: p += extent; break;
    case SB_THUMBPOSITION: p = thumb; break;  // the thumb scrolls when released
    default: return;
  }
  p = std::clamp(p, lo, std::max(lo, hi));
  ScrollTo(album, pos);
}

// Keys reaching the album itself go to its selected cell.
void OnKey(HWND album, UINT msg, WPARAM wp, LPARAM lp) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec || !rec->selected) return;
  SelectCell(rec->selected);
  SendMessageA(rec->selected, msg, wp, lp);
}

void OnSetFocus(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (rec && rec->selected) SetFocus(rec->selected);
}

void OnMdiActivate(HWND album, HWND activated) {
  if (activated != album) return;
  Frame().DocumentChanged(album);
  if (AlbumRecord* rec = AlbumOf(album); rec && rec->selected)
    SendMessageA(rec->selected, kMsgRealizePalette, 0, 0);
}

// True when the album may close: unchanged, saved, or the user said No.
bool ConfirmClose(HWND album) {
  EndTitleEdit(album);
  AlbumRecord* rec = AlbumOf(album);
  if (!rec || !rec->modified) return true;
  char title[512] = "";
  GetWindowTextA(album, title, sizeof title);
  char text[700];
  std::snprintf(text, sizeof text, kSaveQuestion, title);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  const int answer =
      MessageBoxA(album, text, kAppCaption.data(), MB_YESNOCANCEL | MB_ICONWARNING | MB_TASKMODAL);
  if (answer == IDNO) return true;
  if (answer == IDYES) return SaveAlbum(album, true);  // the dialog always shows
  return false;
}

// --- Dragging -------------------------------------------------------------------

void EndDrag(HWND album, POINT at) {
  HWND source = g_albums.drag_source;
  if (!source) return;
  g_albums.drag_source = nullptr;
  ReleaseCapture();
  SetCursor(g_albums.cursor_before_drag ? g_albums.cursor_before_drag : LoadCursor(nullptr, IDC_ARROW));
  HWND mdi = GetParent(album);
  ClientToScreen(album, &at);
  ScreenToClient(mdi, &at);
  HWND target = ChildWindowFromPointEx(mdi, at, CWP_SKIPINVISIBLE);
  if (!target || target == mdi || target == album || !AlbumOf(target)) return;
  const AlbumEntry* entry = EntryOf(source);
  if (!entry) return;
  // The source keeps its picture; the target gets the path and a copy of
  // the thumbnail.
  auto copy = entry->thumbnail.Clone();
  if (!copy) {
    ShowError(copy.message());
    return;
  }
  const std::string path = entry->path;
  AddPicture(target, path, *copy);
  SendMessageA(mdi, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(target), 0);
}

void OnCaptureChanged(HWND album, HWND gaining) {
  if (gaining == album || !g_albums.drag_source) return;
  g_albums.drag_source = nullptr;
  SetCursor(g_albums.cursor_before_drag ? g_albums.cursor_before_drag : LoadCursor(nullptr, IDC_ARROW));
}

LRESULT CALLBACK AlbumWindowProc(HWND album, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    HANDLE_MSG(album, WM_CREATE, OnCreate);
    HANDLE_MSG(album, WM_DESTROY, OnDestroy);
    case WM_NCDESTROY:
      OnNcDestroy(album);
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollBy(album, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) UpdateScrollRanges(album);
      break;  // the MDI child procedure must see it too
    case WM_KEYDOWN:
    case WM_CHAR:
      OnKey(album, msg, wParam, lParam);
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(album);
      return 0;
    case WM_MOUSEMOVE:
      if (g_albums.drag_source) SetCursor(LoadCursorA(GetModuleHandleA(nullptr), kDropCursor));
      return 0;
    case WM_LBUTTONUP:
      EndDrag(album, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(album, reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_MDIACTIVATE:
      OnMdiActivate(album, reinterpret_cast<HWND>(lParam));
      break;
    case kMsgRealizePalette:
      if (AlbumRecord* rec = AlbumOf(album); rec && rec->selected)
        return SendMessageA(rec->selected, kMsgRealizePalette, wParam, lParam);
      return 0;
    case WM_PALETTECHANGED:
      RedrawWindow(album, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      return 0;
    case WM_CLOSE:
      if (!ConfirmClose(album)) return 0;
      break;
    case WM_QUERYENDSESSION:
      return ConfirmClose(album) ? TRUE : FALSE;
  }
  return DefMDIChildProcA(album, msg, wParam, lParam);
}

}  // namespace

AlbumProcessState& Albums() { return g_albums; }

AlbumRecord* AlbumOf(HWND window) {
  if (!window || GetClassLongPtrA(window, GCL_CBWNDEXTRA) < kDocumentExtraBytes) return nullptr;
  if (GetWindowLongPtrA(window, kKindSlot) != static_cast<LONG_PTR>(WindowKind::kAlbum)) return nullptr;
  return reinterpret_cast<AlbumRecord*>(GetWindowLongPtrA(window, kRecordSlot));
}

bool RegisterAlbumChildClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kAlbumWindowClass,
                                        .procedure = AlbumWindowProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_ALBUM,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

HWND CreateAlbumWindow(HWND mdi_client, const std::string& path) {
  if (!path.empty()) {
    if (HWND open = FindAlbumWindow(mdi_client, path)) {
      ShowError(err::kSameNameOpen);
      RaiseDocument(mdi_client, open);
      return nullptr;
    }
  }
  auto rec = std::make_unique<AlbumRecord>();
  rec->path = path;
  std::string title;
  if (path.empty()) {
    char text[32];
    std::snprintf(text, sizeof text, kUntitled, g_albums.next_untitled++);
    title = text;
  } else {
    title = album::TitleOf(path);
  }
  const album::Extent content = album::ContentExtent(0);
  RECT r{0, 0, content.width, content.height};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_MDICHILD);
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = kAlbumWindowClass;
  mcs.szTitle = title.c_str();
  mcs.hOwner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mdi_client, GWLP_HINSTANCE));
  mcs.x = mcs.y = CW_USEDEFAULT;
  mcs.cx = r.right - r.left;
  mcs.cy = r.bottom - r.top;
  mcs.style = kAlbumStyle;
  mcs.lParam = reinterpret_cast<LPARAM>(rec.get());
  HWND album = reinterpret_cast<HWND>(
      SendMessageA(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (!album) {
    ShowError(err::kAlbumCreateFailed);
    return nullptr;
  }
  rec.release();  // the window's now
  UpdateScrollRanges(album);
  Frame().DocumentChanged(album);
  return album;
}

HWND AddPicture(HWND album, const std::string& path, const ImageRecord& picture, bool ticked) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return nullptr;
  if (rec->count >= static_cast<int>(album::kMaxPictures)) {
    g_albums.keep_adding = false;
    ShowError(err::kAlbumFull);
    return nullptr;
  }
  for (HWND c = rec->first; c; c = EntryOf(c)->next) {
    if (album::SamePath(EntryOf(c)->path, path)) {
      ShowError(err::kAlreadyInAlbum);
      return nullptr;
    }
  }
  // The album file keeps a path in a 260-byte field.
  if (path.size() > album::kMaxPathLength) {
    ShowError(err::kFileNameTooLong);
    return nullptr;
  }
  auto entry = std::make_unique<AlbumEntry>();
  entry->path = path;
  entry->date = album::PictureDateOf(path, FileCreationDate(path));
  entry->ticked = ticked;
  auto made = MakeCellPicture(picture);
  if (!made) {
    ShowError(made.message());
    return nullptr;
  }
  entry->thumbnail = std::move(made->thumbnail);
  entry->display = std::move(made->display);
  entry->palette = std::move(made->palette);
  HWND cell = CreateCell(album, rec->count, rec->serial, std::move(entry));
  if (!cell) ShowError(err::kAlbumCreateFailed2);
  return cell;
}

BatchAddition::BatchAddition(HWND album) : album_(album) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  if (rec->batch++ == 0) SendMessageA(album, WM_SETREDRAW, FALSE, 0);
  old_count_ = rec->count;
}

BatchAddition::~BatchAddition() {
  AlbumRecord* rec = AlbumOf(album_);
  if (!rec || --rec->batch > 0) return;  // gone meanwhile, or an outer batch goes on
  SendMessageA(album_, WM_SETREDRAW, TRUE, 0);
  GrowWindow(album_, old_count_);
  UpdateScrollRanges(album_);  // moves the cells when the position changed
  if (rec->selected) {
    SelectCell(rec->selected);
    ScrollCellIntoView(album_, rec->selected);
  }
  RedrawWindow(album_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  Frame().DocumentChanged(album_);
}

void RemoveSelectedPicture(HWND album) {
  AlbumRecord* rec = AlbumOf(album);
  if (rec && rec->selected) DestroyWindow(rec->selected);
}

bool SaveAlbum(HWND album, bool save_as) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return false;
  std::string path = rec->path;
  if (save_as || path.empty()) {
    auto chosen = RunAlbumSaveDialog(album, rec->path);
    if (!chosen) return false;
    path = *chosen;
  }
  if (FindAlbumWindow(GetParent(album), path, album)) {
    char text[MAX_PATH + 200];
    std::snprintf(text, sizeof text, kOpenElsewhere, path.c_str());
    MessageBoxA(album, text, kAppCaption.data(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
    return false;
  }
  album::AlbumFile file;
  for (HWND c = rec->first; c; c = EntryOf(c)->next) {
    const AlbumEntry* e = EntryOf(c);
    auto thumb = e->thumbnail.Clone();
    if (!thumb) {
      ShowError(thumb.message());
      return false;
    }
    file.entries.push_back({e->path, std::move(*thumb), e->ticked});
  }
  Status written;
  {
    WaitCursor wait;
    written = album::WriteAlbumFile(path, file);
  }
  if (!written) {
    // The old file is as it was; the album stays changed.
    ShowError(written.message());
    return false;
  }
  rec->path = path;
  rec->modified = false;
  SetWindowTextA(album, album::TitleOf(path).c_str());
  InvalidateRect(album, nullptr, TRUE);
  Frame().DocumentChanged(album);
  return true;
}

int CellIndex(HWND cell) {
  const AlbumEntry* e = EntryOf(cell);
  if (!e) return -1;
  int index = 0;
  for (HWND c = e->previous; c; c = EntryOf(c)->previous) ++index;
  return index;
}

HWND CellAt(HWND album, int index) {
  AlbumRecord* rec = AlbumOf(album);
  if (!rec || index < 0) return nullptr;
  HWND c = rec->first;
  for (; c && index > 0; --index) c = EntryOf(c)->next;
  return c;
}

void LinkNewCell(HWND album, HWND cell) {
  AlbumRecord* rec = AlbumOf(album);
  AlbumEntry* entry = EntryOf(cell);
  entry->previous = rec->last;
  if (rec->last) EntryOf(rec->last)->next = cell;
  rec->last = cell;
  if (!rec->first) rec->first = cell;
  const int old_count = rec->count++;
  ++rec->serial;
  rec->modified = true;
  if (rec->batch) {
    const album::Point scroll = ScrollPosition(album);
    const album::Point at = album::CellOrigin(old_count);
    SetWindowPos(cell, nullptr, at.x - scroll.x, at.y - scroll.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    rec->selected = cell;
    return;
  }
  GrowWindow(album, old_count);
  UpdateScrollRanges(album);
  const album::Point scroll = ScrollPosition(album);
  const album::Point at = album::CellOrigin(old_count);
  SetWindowPos(cell, nullptr, at.x - scroll.x, at.y - scroll.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SelectCell(cell);
  ScrollCellIntoView(album, cell);
}

void UnlinkCell(HWND album, HWND cell) {
  AlbumRecord* rec = AlbumOf(album);
  AlbumEntry* entry = EntryOf(cell);
  if (!rec || !entry) return;
  if (entry->previous) EntryOf(entry->previous)->next = entry->next;
  if (entry->next) EntryOf(entry->next)->previous = entry->previous;
  if (rec->first == cell) rec->first = entry->next;
  if (rec->last == cell) rec->last = entry->previous;
  --rec->count;
  rec->modified = true;
  HWND successor = nullptr;
  if (rec->selected == cell) {
    successor = entry->next ? entry->next : entry->previous;
    rec->selected = rec->destroying ? nullptr : successor;
  }
  if (g_albums.previous_selected == cell) g_albums.previous_selected = nullptr;
  if (g_albums.last_selected == cell) g_albums.last_selected = rec->destroying ? nullptr : successor;
  if (g_albums.drag_source == cell) g_albums.drag_source = nullptr;
  entry->previous = entry->next = nullptr;
  if (rec->destroying) return;
  ShrinkWindow(album);
  UpdateScrollRanges(album);
  LayoutCells(album);
  if (rec->selected) {
    ScrollCellIntoView(album, rec->selected);
    Repaint(rec->selected);
    if (IsActiveAlbum(album)) SetFocus(rec->selected);
  }
  Frame().DocumentChanged(album);
}

void SelectCell(HWND cell) {
  HWND album = GetParent(cell);
  AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  HWND old = rec->selected;
  rec->selected = cell;
  if (g_albums.last_selected != cell) {
    g_albums.previous_selected = g_albums.last_selected;
    g_albums.last_selected = cell;
  }
  if (old != cell) Repaint(old);
  Repaint(g_albums.previous_selected);
  Repaint(cell);
  if (IsActiveAlbum(album)) SetFocus(cell);
  Frame().DocumentChanged(album);
}

void ScrollCellIntoView(HWND album, HWND cell) {
  const int index = CellIndex(cell);
  if (index >= 0) ScrollTo(album, album::ScrollToShow(index, ScrollLimits(album)));
}

void BeginDrag(HWND album, HWND cell) {
  g_albums.drag_source = cell;
  SetCapture(album);
  g_albums.cursor_before_drag = SetCursor(LoadCursorA(GetModuleHandleA(nullptr), kDropCursor));
}

void MarkModified(HWND album) {
  if (AlbumRecord* rec = AlbumOf(album)) rec->modified = true;
  Frame().DocumentChanged(album);
}

bool IsActiveAlbum(HWND album) {
  HWND mdi = GetParent(album);
  return mdi && reinterpret_cast<HWND>(SendMessageA(mdi, WM_MDIGETACTIVE, 0, 0)) == album;
}

}  // namespace fq::win
