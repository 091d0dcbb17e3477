#include "album/win/album_cell.h"

#include <windowsx.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "album/album_add.h"
#include "album/album_file.h"
#include "album/album_layout.h"
#include "album/album_rename.h"
#include "album/win/album_window.h"
#include "album_res.h"
#include "base/messages.h"
#include "base/region.h"
#include "base/win/message_box.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"
#include "show/win/movie_window.h"

namespace fq::win {
namespace {

// Geometry inside a cell (client coordinates).
constexpr RECT kSelectedFill{4, 4, 125, 145};
constexpr RECT kDateBand{12, 8, 118, 28};
constexpr int kDateBottomWhenWide = 18;
constexpr RECT kThumbnailFrame{16, 26, 114, 100};
constexpr POINT kBitmapAt{17, 27};
constexpr RECT kCheckBox{10, 116, 25, 131};
constexpr RECT kTitleFrame{26, 113, 114, 135};
constexpr RECT kTitleField{27, 114, 113, 134};
constexpr int kTitleMargin = 2;  // where the field starts its text

// The raised or sunken frame: two paths along the upper-left edges and two
// along the lower-right ones.
constexpr POINT kUpperLeft1[] = {{124, 3}, {3, 3}, {3, 144}};
constexpr POINT kUpperLeft2[] = {{125, 4}, {4, 4}, {4, 145}};
constexpr POINT kLowerRight1[] = {{127, 6}, {127, 147}, {6, 147}};
constexpr POINT kLowerRight2[] = {{126, 5}, {126, 146}, {5, 146}};

constexpr UINT kMsgTitleRefused = WM_APP + 0x40;  // the title cannot be edited now

HWND AlbumOfCell(HWND cell) { return GetParent(cell); }
HWND MdiClientOfCell(HWND cell) { return GetParent(AlbumOfCell(cell)); }

// --- Drawing --------------------------------------------------------------------

void DrawPath(HDC dc, const POINT (&path)[3]) {
  MoveToEx(dc, path[0].x, path[0].y, nullptr);
  LineTo(dc, path[1].x, path[1].y);
  LineTo(dc, path[2].x, path[2].y);
}

void DrawFrame(HDC dc, bool selected) {
  GdiObject<HPEN> upper(CreatePen(PS_SOLID, selected ? 2 : 1,
                                  selected ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNHIGHLIGHT)));
  GdiObject<HPEN> lower(CreatePen(PS_SOLID, selected ? 2 : 1,
                                  selected ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNSHADOW)));
  {
    SelectedObject pen(dc, upper.get());
    DrawPath(dc, kUpperLeft1);
    DrawPath(dc, kUpperLeft2);
  }
  SelectedObject pen(dc, lower.get());
  DrawPath(dc, kLowerRight1);
  DrawPath(dc, kLowerRight2);
}

void DrawDate(HDC dc, const AlbumEntry& e) {
  const std::string label = album::DateLabel(e.date, region::Code());
  if (label.empty()) return;
  SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  SIZE size{};
  GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &size);
  RECT band = kDateBand;
  if (size.cx <= band.right - band.left) {
    DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &band,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  const UINT align = SetTextAlign(dc, TA_LEFT | TA_BOTTOM);
  TextOutA(dc, band.left, kDateBottomWhenWide, label.c_str(), static_cast<int>(label.size()));
  SetTextAlign(dc, align);
}

void DrawThumbnail(HDC dc, HWND cell, const AlbumEntry& e, bool selected) {
  {
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, kThumbnailFrame.left, kThumbnailFrame.top, kThumbnailFrame.right, kThumbnailFrame.bottom);
  }
  if (!e.display) return;
  // The palette goes to the foreground only for the selected cell of the
  // active album.
  const bool foreground = selected && IsActiveAlbum(AlbumOfCell(cell));
  SelectedPalette palette(dc, e.palette.get(), !foreground);
  MemoryDC memory(dc);
  if (!memory) return;
  SelectedPalette memory_palette(memory.get(), e.palette.get(), true);
  SelectedObject bitmap(memory.get(), e.display.get());
  BitBlt(dc, kBitmapAt.x, kBitmapAt.y, album::kThumbnailMaxWidth, album::kThumbnailMaxHeight, memory.get(), 0, 0,
         SRCCOPY);
}

// The title as the read-only field shows it, while there is no field.
void DrawTitle(HDC dc, const AlbumEntry& e) {
  FillRect(dc, &kTitleField, GetSysColorBrush(COLOR_WINDOW));
  SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT text{kTitleField.left + kTitleMargin, kTitleField.top + 1, kTitleField.right, kTitleField.bottom};
  DrawTextA(dc, e.title.c_str(), static_cast<int>(e.title.size()), &text,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void OnPaint(HWND cell) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(cell, &ps);
  if (const AlbumEntry* e = EntryOf(cell)) {
    const AlbumRecord* rec = AlbumOf(AlbumOfCell(cell));
    const bool selected = rec && rec->selected == cell;
    // The inside of the frame: sunken shadow for the selected cell, the
    // face again for one that was selected before.
    FillRect(dc, &kSelectedFill, GetSysColorBrush(selected ? COLOR_BTNSHADOW : COLOR_BTNFACE));
    DrawFrame(dc, selected);
    DrawThumbnail(dc, cell, *e, selected);
    DrawDate(dc, *e);
    RECT frame = kTitleFrame;
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    if (!e->title_field) DrawTitle(dc, *e);
  }
  EndPaint(cell, &ps);
}

// --- Opening --------------------------------------------------------------------

void OpenPicture(HWND cell) {
  const AlbumEntry* e = EntryOf(cell);
  if (!e) return;
  const std::string path = e->path;
  HWND mdi = MdiClientOfCell(cell);
  if (FindImageWindow(mdi, path)) {
    OpenImageDocument(mdi, path);  // raises the window with its message
    return;
  }
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ShowError(err::kFileDoesNotExist);
    return;
  }
  switch (album::PictureKindOf(path)) {
    case album::PictureKind::kBmp:
    case album::PictureKind::kJpeg:
      OpenImageDocument(mdi, path);
      return;
    case album::PictureKind::kMovie:
      PlayMovie(mdi, path);
      return;
    case album::PictureKind::kOther:
      break;
  }
  ShowError(err::kNoCorrespondence);
}

// --- Title editing ----------------------------------------------------------------

std::string FieldText(HWND field) {
  char text[album::kTitleLength + 2] = "";
  GetWindowTextA(field, text, sizeof text);
  text[album::kTitleLength] = '\0';
  return text;
}

void SetEditable(AlbumEntry& e, bool editable) {
  e.editing = editable;
  SendMessageA(e.title_field, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
}

void ShowBox(std::string_view text) {
  const std::string body(text);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  MessageBoxA(GetFocus(), body.c_str(), kAppCaption.data(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

// The field got the focus: editable, unless an image window shows the
// picture (its file cannot be renamed then).
void OnTitleFocus(HWND cell) {
  AlbumEntry* e = EntryOf(cell);
  if (!e || e->editing) return;
  if (FindImageWindow(MdiClientOfCell(cell), e->path)) {
    PostMessageA(cell, kMsgTitleRefused, 0, 0);
    return;
  }
  e->title = FieldText(e->title_field);
  SetEditable(*e, true);
}

// Puts the title from before the edit back.
void RestoreTitle(AlbumEntry& e) { SetWindowTextA(e.title_field, e.saved_title.c_str()); }

void EditAgain(HWND cell) { PostMessageA(cell, kMsgEditAgain, 0, 0); }

// The field lost the focus while editable: the new title renames the file.
void CommitTitle(HWND cell) {
  AlbumEntry* e = EntryOf(cell);
  if (!e || !e->editing) return;
  const std::string text = FieldText(e->title_field);
  auto accept = [&](const std::string& title) {
    e->title = e->saved_title = title;
    SetWindowTextA(e->title_field, title.c_str());
    SetWindowTextA(cell, title.c_str());
    SetEditable(*e, false);
  };
  if (text == e->saved_title) {
    accept(text);
    return;
  }
  switch (album::CheckTitle(text, region::Code())) {
    case album::TitleCheck::kNoExtension:
      ShowError(err::kNoCorrespondence);
      RestoreTitle(*e);
      EditAgain(cell);
      return;
    case album::TitleCheck::kForbidden:
      ShowBox(album::ForbiddenCharactersText(region::Code()));
      RestoreTitle(*e);
      EditAgain(cell);
      return;
    case album::TitleCheck::kAccepted:
      break;
  }
  const album::RenamedPath renamed = album::RenamedPathFor(e->path, text);
  if (renamed.too_long) {
    ShowBox(album::kCannotChangeName);
    EditAgain(cell);
    return;
  }
  if (renamed.path == e->path) {
    accept(text);
    return;
  }
  if (GetFileAttributesA(e->path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ShowError(err::kFileDoesNotExist);
    RestoreTitle(*e);
    SetEditable(*e, false);
    return;
  }
  if (GetFileAttributesA(renamed.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ShowBox(album::kNameExists);
    EditAgain(cell);
    return;
  }
  if (!MoveFileA(e->path.c_str(), renamed.path.c_str())) {
    ShowBox(album::kRenameFailed);
    EditAgain(cell);
    return;
  }
  e->path = renamed.path;
  accept(album::TitleOf(renamed.path));
  HWND album = AlbumOfCell(cell);
  MarkModified(album);
  SaveAlbum(album, false);  // the album file names the picture by its new path
}

void OnEditAgain(HWND cell) {
  AlbumEntry* e = EntryOf(cell);
  if (!e) return;
  SetEditable(*e, true);
  SetFocus(e->title_field);
  SendMessageA(e->title_field, EM_SETSEL, 0, -1);
}

void OnTitleEscape(HWND cell) {
  AlbumEntry* e = EntryOf(cell);
  if (!e) return;
  RestoreTitle(*e);
  SetEditable(*e, false);
  SetFocus(cell);
}

void OnTitleRefused(HWND cell) {
  SetFocus(cell);
  ShowBox(album::kTitleOpenInWindow);
}

// The title field: Escape and Enter end an edit; a right click does nothing.
LRESULT CALLBACK TitleFieldProc(HWND field, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_USERDATA));
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE || wp == VK_RETURN) {
        PostMessageA(GetParent(field), wp == VK_ESCAPE ? kMsgTitleEscape : kMsgTitleEnter, 0, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == VK_ESCAPE || wp == VK_RETURN) return 0;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return 0;
  }
  return CallWindowProcA(old, field, msg, wp, lp);
}

HWND MakeControl(HWND cell, const char* cls, const char* text, DWORD style, RECT r, int id);

// The title field as a window: made when the user first clicks the title
// (until then the cell draws the title itself, which an album of 100
// pictures opens much faster for), kept from then on.
HWND TitleField(HWND cell) {
  AlbumEntry* e = EntryOf(cell);
  if (!e) return nullptr;
  if (e->title_field) return e->title_field;
  HWND field = MakeControl(cell, "EDIT", e->title.c_str(), ES_AUTOHSCROLL | ES_READONLY, kTitleField,
                           IDC_CELL_TITLE);
  if (!field) return nullptr;
  SendMessageA(field, EM_LIMITTEXT, album::kTitleLength, 0);
  SetWindowLongPtrA(field, GWLP_USERDATA, GetWindowLongPtrA(field, GWLP_WNDPROC));
  SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TitleFieldProc));
  e->title_field = field;
  return field;
}

// --- Keys, mouse, creation ---------------------------------------------------------

void OnKeyDown(HWND cell, UINT vk, BOOL, int, UINT) {
  album::Arrow arrow;
  switch (vk) {
    case VK_LEFT: arrow = album::Arrow::kLeft; break;
    case VK_RIGHT: arrow = album::Arrow::kRight; break;
    case VK_UP: arrow = album::Arrow::kUp; break;
    case VK_DOWN: arrow = album::Arrow::kDown; break;
    case VK_RETURN: OpenPicture(cell); return;
    default: return;
  }
  HWND album = AlbumOfCell(cell);
  const AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  auto to = album::ArrowTarget(CellIndex(cell), rec->count, arrow);
  if (!to) return;
  HWND target = CellAt(album, *to);
  SelectCell(target);
  ScrollCellIntoView(album, target);
}

void OnLButtonDown(HWND cell, BOOL double_click, int x, int y, UINT) {
  const POINT at{x, y};
  if (PtInRect(&kTitleField, at)) {  // into the title field, as if it had been there
    if (HWND field = TitleField(cell)) SetFocus(field);
    return;
  }
  if (double_click) {
    OpenPicture(cell);
    return;
  }
  SelectCell(cell);
  BeginDrag(AlbumOfCell(cell), cell);
}

HWND MakeControl(HWND cell, const char* cls, const char* text, DWORD style, RECT r, int id) {
  HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, cell, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(cell, GWLP_HINSTANCE)), nullptr);
  if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return h;
}

BOOL OnCreate(HWND cell, LPCREATESTRUCT cs) {
  auto* e = static_cast<AlbumEntry*>(cs->lpCreateParams);
  if (!e) return FALSE;
  SetWindowLongPtrA(cell, kRecordSlot, reinterpret_cast<LONG_PTR>(e));
  SetWindowLongPtrA(cell, kKindSlot, static_cast<LONG_PTR>(WindowKind::kAlbumPicture));
  e->title = e->saved_title = album::TitleOf(e->path);
  SetWindowTextA(cell, e->title.c_str());
  e->check_box = MakeControl(cell, "BUTTON", "", BS_AUTOCHECKBOX, kCheckBox, IDC_CELL_CHECK);
  if (!e->check_box) {
    SetWindowLongPtrA(cell, kRecordSlot, 0);
    return FALSE;
  }
  SendMessageA(e->check_box, BM_SETCHECK, e->ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  LinkNewCell(AlbumOfCell(cell), cell);
  return TRUE;
}

void OnCommand(HWND cell, int id, HWND control, UINT code) {
  AlbumEntry* e = EntryOf(cell);
  if (!e) return;
  if (id == IDC_CELL_CHECK && code == BN_CLICKED) {
    // Ticking is no change of the album's file contents worth a question.
    e->ticked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  } else if (id == IDC_CELL_TITLE && code == EN_SETFOCUS) {
    OnTitleFocus(cell);
  } else if (id == IDC_CELL_TITLE && code == EN_KILLFOCUS) {
    CommitTitle(cell);
  }
}

// The read-only title field looks like a field, not like a label.
std::optional<LRESULT> OnControlColour(HWND cell, HDC dc, HWND control) {
  const AlbumEntry* e = EntryOf(cell);
  if (!e) return std::nullopt;
  if (control == e->check_box) {
    // The check box stands on the cell's inside colour.
    const AlbumRecord* rec = AlbumOf(AlbumOfCell(cell));
    const int colour = rec && rec->selected == cell ? COLOR_BTNSHADOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(colour));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
  }
  if (control != e->title_field) return std::nullopt;
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT OnRealizePalette(HWND cell) {
  const AlbumEntry* e = EntryOf(cell);
  if (!e || !e->palette) return 0;
  WindowDC dc(cell);
  HPALETTE old = SelectPalette(dc.get(), e->palette.get(), FALSE);
  const UINT changed = RealizePalette(dc.get());
  SelectPalette(dc.get(), old, TRUE);
  if (changed) InvalidateRect(cell, nullptr, FALSE);
  return changed ? TRUE : FALSE;
}

void OnDestroy(HWND cell) {
  if (EntryOf(cell)) UnlinkCell(AlbumOfCell(cell), cell);
}

void OnNcDestroy(HWND cell) {
  std::unique_ptr<AlbumEntry> e(EntryOf(cell));
  SetWindowLongPtrA(cell, kRecordSlot, 0);
  SetWindowLongPtrA(cell, kKindSlot, 0);
}

LRESULT CALLBACK CellProc(HWND cell, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    HANDLE_MSG(cell, WM_CREATE, OnCreate);
    HANDLE_MSG(cell, WM_DESTROY, OnDestroy);
    HANDLE_MSG(cell, WM_PAINT, OnPaint);
    HANDLE_MSG(cell, WM_KEYDOWN, OnKeyDown);
    HANDLE_MSG(cell, WM_LBUTTONDOWN, OnLButtonDown);
    HANDLE_MSG(cell, WM_LBUTTONDBLCLK, OnLButtonDown);
    HANDLE_MSG(cell, WM_COMMAND, OnCommand);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (auto brush = OnControlColour(cell, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
        return *brush;
      break;
    case WM_NCDESTROY:
      OnNcDestroy(cell);
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case kMsgTitleEscape:
      OnTitleEscape(cell);
      return 0;
    case kMsgTitleEnter:
      SetFocus(cell);
      return 0;
    case kMsgEditAgain:
      OnEditAgain(cell);
      return 0;
    case kMsgTitleRefused:
      OnTitleRefused(cell);
      return 0;
    case kMsgRealizePalette:
      return OnRealizePalette(cell);
  }
  return DefWindowProcA(cell, msg, wParam, lParam);
}

}  // namespace

AlbumEntry* EntryOf(HWND cell) {
  if (!cell || GetClassLongPtrA(cell, GCL_CBWNDEXTRA) < kDocumentExtraBytes) return nullptr;
  if (GetWindowLongPtrA(cell, kKindSlot) != static_cast<LONG_PTR>(WindowKind::kAlbumPicture)) return nullptr;
  return reinterpret_cast<AlbumEntry*>(GetWindowLongPtrA(cell, kRecordSlot));
}

bool RegisterAlbumCellClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kAlbumCellClass,
                                        .procedure = CellProc,
                                        .extra_style = CS_DBLCLKS,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_BTNFACE)});
}

HWND CreateCell(HWND album, int index, int id, std::unique_ptr<AlbumEntry> entry) {
  const album::Point at = album::CellOrigin(index);
  HWND cell = CreateWindowExA(0, kAlbumCellClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, at.x, at.y,
                              album::kCellWidth, album::kCellHeight, album,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(album, GWLP_HINSTANCE)), entry.get());
  if (cell) entry.release();  // the cell's now
  return cell;
}

void EndTitleEdit(HWND album) {
  const AlbumRecord* rec = AlbumOf(album);
  if (!rec) return;
  for (HWND c = rec->first; c; c = EntryOf(c)->next) {
    if (EntryOf(c)->editing) {
      SetFocus(c);
      return;
    }
  }
}

}  // namespace fq::win
