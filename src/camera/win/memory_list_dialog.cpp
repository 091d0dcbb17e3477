#include "camera/win/memory_list_dialog.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <vector>

#include "base/region.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "base/win/pump.h"
#include "base/win/status_dialogs.h"
#include "camera/camera_folders.h"
#include "camera/connection.h"
#include "camera/link_codes.h"
#include "camera/memory_list.h"
#include "camera/win/camera_operations.h"
#include "camera/win/camera_session.h"
#include "camera/win/transfer_flow.h"
#include "camera_res.h"

namespace fq::win {
namespace {

constexpr char kListFullText[] = "Memory to indicate memory list is full.";
constexpr char kRangeFailedText[] = "It failed in the range selected.";
constexpr char kNoThumbnailBitmap[] = "NOTHUMBBITMAP";
constexpr uint32_t kCloseWaitMs = 1500;
constexpr UINT_PTR kButtonSubclass = 7;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

void ShowStop(const char* text) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  MessageBoxA(GetFocus(), text, "Fotaquill", MB_ICONHAND | MB_OK | MB_TASKMODAL);
}

// ===== Type 1: "MemReq" ======================================================

struct ListState {
  std::vector<cam::ListRow> rows;
  bool select_all = false;
};

void FillRows(HWND dialog, ListState& s) {
  s.rows = cam::Type1Rows(Camera().link.listed);
  HWND list = GetDlgItem(dialog, IDC_MEM_LIST);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const cam::ListRow& row : s.rows) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
}

std::vector<int> SelectedNumbers(HWND dialog, const ListState& s) {
  HWND list = GetDlgItem(dialog, IDC_MEM_LIST);
  const int n = static_cast<int>(SendMessageA(list, LB_GETSELCOUNT, 0, 0));
  std::vector<int> rows(static_cast<size_t>(std::max(n, 0)));
  if (n > 0) SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(rows.data()));
  std::vector<int> numbers;
  for (int r : rows)
    if (r >= 0 && r < static_cast<int>(s.rows.size())) numbers.push_back(s.rows[static_cast<size_t>(r)].number);
  return numbers;
}

void UpdateListButtons(HWND dialog) {
  const bool any = SendMessageA(GetDlgItem(dialog, IDC_MEM_LIST), LB_GETSELCOUNT, 0, 0) > 0;
  for (int id : {IDC_MEM_TRANSFER, IDC_MEM_PREVIEW, IDC_MEM_DELETE}) Enable(dialog, id, any);
}

void ClearListSelection(HWND dialog, ListState& s) {
  SendMessageA(GetDlgItem(dialog, IDC_MEM_LIST), LB_SETSEL, FALSE, -1);
  s.select_all = false;
  UpdateListButtons(dialog);
}

void ListCommand(HWND dialog, ListState& s, int id, int code) {
  cam::CameraLink& link = Camera().link;
  switch (id) {
    case IDC_MEM_LIST:
      if (code == LBN_SELCHANGE) {
        s.select_all = false;
        UpdateListButtons(dialog);
      }
      return;
    case IDC_MEM_SELECT_ALL: {
      HWND list = GetDlgItem(dialog, IDC_MEM_LIST);
      if (s.select_all) {
        ClearListSelection(dialog, s);
      } else {
        SendMessageA(list, LB_SETSEL, TRUE, -1);
        s.select_all = true;
        UpdateListButtons(dialog);
      }
      return;
    }
    case IDC_MEM_TRANSFER: {
      std::vector<cam::TransferItem> items;
      for (int n : SelectedNumbers(dialog, s)) items.push_back({n});
      if (items.empty()) return;
      auto result = TransferPictures(dialog, std::move(items));
      if (result && *result != cam::rc::kOk) {
        EndDialog(dialog, IDC_MEM_EXIT);
        return;
      }
      ClearListSelection(dialog, s);
      return;
    }
    case IDC_MEM_PREVIEW: {
      const std::vector<int> numbers = SelectedNumbers(dialog, s);
      if (PreviewOnViewfinder(link, GetDlgItem(dialog, IDC_MEM_LIST), numbers) != cam::rc::kOk)
        EndDialog(dialog, IDC_MEM_EXIT);
      return;
    }
    case IDC_MEM_DELETE: {
      const std::vector<int> numbers = SelectedNumbers(dialog, s);
      std::vector<int> deleted;
      int r = cam::rc::kOk;
      if (s.select_all) {
        if (AskYesNo(ask::kDeleteAll) != IDYES) {
          ClearListSelection(dialog, s);
          return;
        }
        r = DeleteAll(link, GetDlgItem(dialog, IDC_MEM_LIST), numbers, deleted);
      } else {
        r = DeleteWithQuestions(link, GetDlgItem(dialog, IDC_MEM_LIST), numbers, deleted);
      }
      FillRows(dialog, s);  // the deletions kept the link's list current
      ClearListSelection(dialog, s);
      if (r != cam::rc::kOk || s.rows.empty()) EndDialog(dialog, IDC_MEM_EXIT);
      return;
    }
    case IDC_MEM_EXIT:
    case IDCANCEL:
      EndDialog(dialog, IDC_MEM_EXIT);
      return;
  }
}

INT_PTR CALLBACK ListProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = reinterpret_cast<ListState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      s = reinterpret_cast<ListState*>(lp);
      PlaceAtThird(dialog);
      Camera().filing = cam::AlbumFiling{};
      FillRows(dialog, *s);
      UpdateListButtons(dialog);
      return TRUE;
    case WM_COMMAND:
      if (s) ListCommand(dialog, *s, LOWORD(wp), HIWORD(wp));
      return TRUE;
    default:
      return FALSE;
  }
}

// ===== Types 2 and 4: the thumbnail grid =====================================

struct GridState {
  int type = 2;
  int total = 0;
  int top_row = 0;
  cam::GridSelection selection;
  cam::ThumbnailCache cache;
  cam::CameraMedia media;  // type 4
  std::string range_text[2];
  bool editing_range = false;
  std::array<WPARAM, cam::kGridButtons> press_keys{};  // mouse-key flags of the last press per button
  std::array<bool, cam::kGridButtons> pressed{};
  Palette cube_palette;
  Bitmap no_thumbnail;
  StatusOwner status;
};

GridState* StateOf(HWND grid) { return reinterpret_cast<GridState*>(GetWindowLongPtrA(grid, DWLP_USER)); }

std::array<int, cam::kGridButtons> Page(const GridState& g) { return cam::PageNumbers(g.top_row, g.total); }

HWND GridButton(HWND grid, int index) { return GetDlgItem(grid, IDC_GRID_BUTTON_FIRST + index); }

void RedrawButtons(HWND grid) {
  for (int i = 0; i < cam::kGridButtons; ++i) InvalidateRect(GridButton(grid, i), nullptr, FALSE);
}

void SetUpScrollBar(HWND grid, const GridState& g) {
  HWND bar = GetDlgItem(grid, IDC_GRID_SCROLL);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, cam::GridRowCount(g.total) - 1);
  si.nPage = cam::kGridRows;
  si.nPos = g.top_row;
  SetScrollInfo(bar, SB_CTL, &si, TRUE);
  EnableWindow(bar, g.total > cam::kGridButtons);
}

void ShowTotal(HWND grid, const GridState& g) {
  SetDlgItemInt(grid, IDC_GRID_TOTAL, static_cast<UINT>(g.total), FALSE);
}

void UpdateActionButtons(HWND grid, const GridState& g) {
  const bool chosen = g.selection.count() > 0;
  Enable(grid, IDC_GRID_TRANSFER, chosen);
  Enable(grid, IDC_GRID_DELETE, chosen);
  Enable(grid, IDC_GRID_PREVIEW, g.total > 0);
}

// A failure the link has not reported yet is reported now; the list closes.
void FailAndClose(HWND grid, int shown_before) {
  if (Camera().link.messages_shown == shown_before) ShowError(err::kTransferError);
  if (GridState* g = StateOf(grid)) g->cache.Clear();
  CloseMemoryList(grid);
}

int FetchOne(const GridState& g, int number, cam::Thumbnail& t) {
  cam::CameraLink& link = Camera().link;
  if (g.type != 4) return cam::FetchThumbnail(link, number, 0, 0, t);
  const cam::CameraFolder* f =
      g.media.chosen >= 0 ? &g.media.folders[static_cast<size_t>(g.media.chosen)] : nullptr;
  if (!f || number < 1 || number > static_cast<int>(f->files.size())) return cam::rc::kNothing;
  return cam::FetchThumbnail(link, number, f->number, f->files[static_cast<size_t>(number - 1)], t);
}

// The thumbnails of the visible page, under the blinking message.
void FetchVisible(HWND grid) {
  GridState* g = StateOf(grid);
  if (!g || g->total == 0) return;
  const auto page = Page(*g);
  bool all_cached = true;
  for (int n : page) all_cached = all_cached && (n == 0 || g->cache.Find(n));
  if (all_cached) {
    RedrawButtons(grid);
    SetUpScrollBar(grid, *g);
    return;
  }
  const int shown = Camera().link.messages_shown;
  g->status.status_window = grid;
  if (!ShowPreviewMessage(g->status, true)) return;
  const int r = cam::FillPage(g->cache, page, [&](int n, cam::Thumbnail& t) { return FetchOne(*g, n, t); });
  ShowPreviewMessage(g->status, false);
  if (r != cam::rc::kOk) {
    FailAndClose(grid, shown);
    return;
  }
  RedrawButtons(grid);
  SetUpScrollBar(grid, *g);
}

void ScrollTo(HWND grid, GridState& g, int row) {
  row = cam::ClampTopRow(row, g.total);
  if (row == g.top_row) return;
  g.top_row = row;
  SetUpScrollBar(grid, g);
  RedrawButtons(grid);
  PostMessageA(grid, kMsgGridFetchPage, 0, 0);
}

void OnScroll(HWND grid, GridState& g, int code) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(GetDlgItem(grid, IDC_GRID_SCROLL), SB_CTL, &si);
  int row = g.top_row;
  switch (code) {
    case SB_LINEUP: --row; break;
    case SB_LINEDOWN: ++row; break;
    case SB_PAGEUP: row -= cam::kGridRows; break;
    case SB_PAGEDOWN: row += cam::kGridRows; break;
    case SB_TOP: row = 0; break;
    case SB_BOTTOM: row = cam::LastTopRow(g.total); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: row = si.nTrackPos; break;
    default: return;
  }
  ScrollTo(grid, g, row);
}

void OnThumbnailClick(HWND grid, GridState& g, int index) {
  const int number = Page(g)[static_cast<size_t>(index)];
  if (number == 0) return;
  WPARAM keys = 0;
  if (g.pressed[static_cast<size_t>(index)]) {
    keys = g.press_keys[static_cast<size_t>(index)];
    g.pressed[static_cast<size_t>(index)] = false;
  } else {
    if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  }
  const cam::ClickKind kind = (keys & MK_SHIFT)     ? cam::ClickKind::kShift
                              : (keys & MK_CONTROL) ? cam::ClickKind::kCtrl
                                                    : cam::ClickKind::kPlain;
  g.selection.Click(number, kind);
  UpdateActionButtons(grid, g);
  RedrawButtons(grid);
}

// The range fields: digits only; a valid range selects its pictures.
void OnRangeEdit(HWND grid, GridState& g, int id) {
  if (g.editing_range) return;
  const int which = id == IDC_GRID_RANGE_FIRST ? 0 : 1;
  char text[64] = "";
  GetDlgItemTextA(grid, id, text, sizeof text);
  const std::string kept = cam::FilterRangeField(text, g.range_text[which], g.total);
  if (kept != text) {
    g.editing_range = true;
    SetDlgItemTextA(grid, id, kept.c_str());
    SendDlgItemMessageA(grid, id, EM_SETSEL, kept.size(), kept.size());
    g.editing_range = false;
  }
  g.range_text[which] = kept;
  if (auto range = cam::ParseRange(g.range_text[0], g.range_text[1], g.total)) {
    g.selection.SelectRange(range->first, range->second);
    Enable(grid, IDC_GRID_TRANSFER, true);
    Enable(grid, IDC_GRID_DELETE, true);
    Enable(grid, IDC_GRID_PREVIEW, true);
    RedrawButtons(grid);
  } else {
    Enable(grid, IDC_GRID_TRANSFER, false);
    Enable(grid, IDC_GRID_DELETE, false);
  }
}

std::vector<cam::TransferItem> ChosenItems(const GridState& g) {
  std::vector<cam::TransferItem> items;
  const cam::CameraFolder* f =
      g.type == 4 && g.media.chosen >= 0 ? &g.media.folders[static_cast<size_t>(g.media.chosen)] : nullptr;
  for (int n : g.selection.Numbers()) {
    cam::TransferItem item{n};
    if (g.type == 4) {
      if (!f || n > static_cast<int>(f->files.size())) continue;
      item.folder = f->number;
      item.file = f->files[static_cast<size_t>(n - 1)];
    }
    items.push_back(item);
  }
  return items;
}

// A new total (a folder chosen, pictures deleted): page, selection, fields.
void ResetGrid(HWND grid, GridState& g, int total) {
  g.total = total;
  g.top_row = 0;
  g.cache.Clear();
  if (!g.selection.Reset(total)) {
    ShowStop(kListFullText);
    CloseMemoryList(grid);
    return;
  }
  ShowTotal(grid, g);
  SetUpScrollBar(grid, g);
  UpdateActionButtons(grid, g);
  RedrawButtons(grid);
}

void FillFolderList(HWND grid, const GridState& g) {
  HWND list = GetDlgItem(grid, IDC_GRID_FOLDER);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const cam::CameraFolder& f : g.media.folders) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", f.number);
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageA(list, CB_SETCURSEL, g.media.chosen >= 0 ? static_cast<WPARAM>(g.media.chosen) : static_cast<WPARAM>(-1), 0);
}

void FillMediumList(HWND grid, const GridState& g) {
  HWND list = GetDlgItem(grid, IDC_GRID_CARD);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  int current = -1;
  for (int m = 1; m <= 2; ++m) {
    if (!g.media.Present(m)) continue;
    const int at = static_cast<int>(SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m == 1 ? "1" : "2")));
    SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(at), m);
    if (m == g.media.current) current = at;
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

// The chosen folder opened (its files learned the first time).
bool OpenChosenFolder(HWND grid, GridState& g) {
  cam::CameraFolder* f = g.media.Chosen();
  if (!f) {
    ResetGrid(grid, g, 0);
    return true;
  }
  const int shown = Camera().link.messages_shown;
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const int r = cam::OpenFolder(Camera().link, *f);
  SetCursor(old);
  if (r != cam::rc::kOk) {
    FailAndClose(grid, shown);
    return false;
  }
  ResetGrid(grid, g, f->count);
  return true;
}

void OpenTypeFour(HWND grid, GridState& g) {
  cam::CameraLink& link = Camera().link;
  const int shown = link.messages_shown;
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  int r = cam::ReadMedia(link, g.media);
  if (r == cam::rc::kOk && !g.media.AnyPresent()) {
    SetCursor(old);
    ShowError(err::kNoStoredImages);
    CloseMemoryList(grid);
    return;
  }
  if (r == cam::rc::kOk) {
    r = cam::ReadFolderList(link, g.media);
    if (r == cam::rc::kNothing && g.media.Present(g.media.current == 1 ? 2 : 1)) r = cam::rc::kOk;
  }
  SetCursor(old);
  if (r != cam::rc::kOk) {
    if (r == cam::rc::kNothing) {  // no folders anywhere: said already
      CloseMemoryList(grid);
      return;
    }
    FailAndClose(grid, shown);
    return;
  }
  FillMediumList(grid, g);
  FillFolderList(grid, g);
  if (!OpenChosenFolder(grid, g)) return;
  SetFocus(GetDlgItem(grid, IDC_GRID_PREVIEW));
}

void OnMediumChosen(HWND grid, GridState& g) {
  HWND list = GetDlgItem(grid, IDC_GRID_CARD);
  const LRESULT at = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return;
  const int medium = static_cast<int>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
  if (medium == g.media.current) return;
  const int shown = Camera().link.messages_shown;
  g.status.status_window = grid;
  ShowCardMessage(g.status, true);
  const int r = cam::ChangeMedium(Camera().link, g.media, medium);
  ShowCardMessage(g.status, false);
  if (r != cam::rc::kOk) {
    FailAndClose(grid, shown);
    return;
  }
  FillMediumList(grid, g);
  FillFolderList(grid, g);
  ResetGrid(grid, g, g.media.Chosen() ? g.media.Chosen()->count : 0);
}

void OnFolderChosen(HWND grid, GridState& g) {
  const LRESULT at = SendMessageA(GetDlgItem(grid, IDC_GRID_FOLDER), CB_GETCURSEL, 0, 0);
  if (at == CB_ERR || at == g.media.chosen) return;
  g.media.chosen = static_cast<int>(at);
  OpenChosenFolder(grid, g);
}

void OnTransfer(HWND grid, GridState& g) {
  std::vector<cam::TransferItem> items = ChosenItems(g);
  if (items.empty()) {
    ShowStop(kRangeFailedText);
    return;
  }
  auto result = TransferPictures(grid, std::move(items));
  if (result && *result != cam::rc::kOk) {
    ShowResult(*result);
    g.cache.Clear();
    CloseMemoryList(grid);
  }
}

void OnDelete(HWND grid, GridState& g) {
  std::vector<cam::TransferItem> items = ChosenItems(g);
  if (items.empty()) {
    ShowStop(kRangeFailedText);
    return;
  }
  const int shown = Camera().link.messages_shown;
  std::vector<int> deleted;
  const int r = DeleteSelected(Camera().link, grid, items, deleted);
  if (!deleted.empty()) {
    g.cache.Deleted(deleted);
    g.selection.Deleted(deleted);
    g.total = g.selection.total();
    if (g.type == 4)
      if (cam::CameraFolder* f = g.media.Chosen()) {
        std::vector<int> files;
        for (size_t i = 0; i < f->files.size(); ++i)
          if (std::find(deleted.begin(), deleted.end(), static_cast<int>(i) + 1) == deleted.end())
            files.push_back(f->files[i]);
        f->files = std::move(files);
        f->count = static_cast<int>(f->files.size());
      }
    g.top_row = cam::ClampTopRow(g.top_row, g.total);
    ShowTotal(grid, g);
    SetUpScrollBar(grid, g);
    RedrawButtons(grid);
  }
  if (r != cam::rc::kOk) {
    FailAndClose(grid, shown);
    return;
  }
  UpdateActionButtons(grid, g);
  if (g.total == 0)
    for (int id : {IDC_GRID_RANGE_FIRST, IDC_GRID_RANGE_LAST, IDC_GRID_PREVIEW, IDC_GRID_TRANSFER, IDC_GRID_DELETE})
      Enable(grid, id, false);
}

// ----- drawing -----

bool FewColours(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) <= 15; }

HPALETTE CubePalette(GridState& g) {
  if (!g.cube_palette) {
    struct {
      WORD version, count;
      PALETTEENTRY entries[256];
    } lp{0x300, 256, {}};
    for (int i = 0; i < 216; ++i) {
      lp.entries[i].peRed = static_cast<BYTE>(51 * (i / 36));
      lp.entries[i].peGreen = static_cast<BYTE>(51 * (i / 6 % 6));
      lp.entries[i].peBlue = static_cast<BYTE>(51 * (i % 6));
    }
    g.cube_palette.reset(CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
  }
  return g.cube_palette.get();
}

void DrawPicture(HDC dc, GridState& g, const ImageRecord& picture, const RECT& area) {
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  const int pw = ImageWidth(picture), ph = ImageHeight(picture);
  if (aw <= 0 || ah <= 0 || pw <= 0 || ph <= 0) return;
  // Fitted into the area, its proportions kept.
  int w = aw, h = static_cast<int>(static_cast<int64_t>(ph) * aw / pw);
  if (h > ah) {
    h = ah;
    w = static_cast<int>(static_cast<int64_t>(pw) * ah / ph);
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  const int x = area.left + (aw - w) / 2, y = area.top + (ah - h) / 2;
  if (FewColours(dc)) {
    auto sized = ResampleBilinear(picture, w, h);
    if (!sized) return;
    auto cube = cam::CubeDither(*sized);
    if (!cube) return;
    SelectedPalette pal(dc, CubePalette(g));
    StretchDIBits(dc, x, y, w, h, 0, 0, w, h, ImageBits(*cube), reinterpret_cast<const BITMAPINFO*>(cube->data()),
                  DIB_RGB_COLORS, SRCCOPY);
    return;
  }
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, x, y, w, h, 0, 0, pw, ph, ImageBits(picture), reinterpret_cast<const BITMAPINFO*>(picture.data()),
                DIB_RGB_COLORS, SRCCOPY);
}

void DrawNoThumbnail(HDC dc, GridState& g, const RECT& area) {
  if (!g.no_thumbnail) g.no_thumbnail.reset(static_cast<HBITMAP>(LoadImageA(Instance(), kNoThumbnailBitmap, IMAGE_BITMAP, 0, 0, 0)));
  if (!g.no_thumbnail) return;
  const int side = std::min(area.right - area.left, area.bottom - area.top);
  const int x = area.left + (area.right - area.left - side) / 2, y = area.top + (area.bottom - area.top - side) / 2;
  MemoryDC mem(dc);
  SelectedObject sel(mem.get(), g.no_thumbnail.get());
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, x, y, side, side, mem.get(), 0, 0, 48, 48, SRCCOPY);
}

void DrawThumbnailButton(GridState& g, const DRAWITEMSTRUCT& d) {
  const int index = static_cast<int>(d.CtlID) - IDC_GRID_BUTTON_FIRST;
  const int number = Page(g)[static_cast<size_t>(index)];
  HDC dc = d.hDC;
  RECT r = d.rcItem;
  const bool selected = number > 0 && g.selection.IsSelected(number);
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  if (number == 0) return;  // past the last picture: an empty button
  DrawEdge(dc, &r, (d.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int line = tm.tmHeight;
  RECT area{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4 - 2 * line};
  const cam::CachedThumbnail* c = g.cache.Find(number);
  if (c && !c->picture.empty()) {
    DrawPicture(dc, g, c->picture, area);
  } else if (c) {
    DrawNoThumbnail(dc, g, area);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
  RECT label{r.left + 2, r.bottom - 3 - 2 * line, r.right - 2, r.bottom - 3 - line};
  const std::string text = cam::ThumbnailLabel(number);
  DrawTextA(dc, text.c_str(), -1, &label, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (c) {
    RECT date{r.left + 2, r.bottom - 3 - line, r.right - 2, r.bottom - 3};
    const std::string when = cam::ThumbnailDateLabel(c->date, region::Code());
    DrawTextA(dc, when.c_str(), -1, &date, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

// The press of a thumbnail button carries the Shift and Ctrl state of the
// mouse message that made it.
LRESULT CALLBACK ButtonProc(HWND button, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    if (GridState* g = reinterpret_cast<GridState*>(data)) {
      const int index = GetDlgCtrlID(button) - IDC_GRID_BUTTON_FIRST;
      if (index >= 0 && index < cam::kGridButtons) {
        g->press_keys[static_cast<size_t>(index)] = wp;
        g->pressed[static_cast<size_t>(index)] = true;
      }
    }
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;  // a second click is a click
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(button, ButtonProc, kButtonSubclass);
  return DefSubclassProc(button, msg, wp, lp);
}

BOOL GridInit(HWND grid, GridState& g) {
  PlaceAtThird(grid);
  CameraSession& s = Camera();
  s.filing = cam::AlbumFiling{};
  g.total = g.type == 4 ? 0 : s.link.picture_count;
  if (!g.selection.Reset(g.total)) {
    ShowStop(kListFullText);
    PostMessageA(grid, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }
  for (int i = 0; i < cam::kGridButtons; ++i)
    SetWindowSubclass(GridButton(grid, i), ButtonProc, kButtonSubclass, reinterpret_cast<DWORD_PTR>(&g));
  ShowTotal(grid, g);
  if (g.type != 4) {
    g.range_text[0].assign(1, '1');
    SetDlgItemTextA(grid, IDC_GRID_RANGE_FIRST, "1");
    Enable(grid, IDC_GRID_RANGE_FIRST, true);
  }
  Enable(grid, IDC_GRID_TRANSFER, false);
  Enable(grid, IDC_GRID_DELETE, false);
  Enable(grid, IDC_GRID_PREVIEW, g.total > 0);
  SetUpScrollBar(grid, g);
  if (HMENU menu = GetSystemMenu(grid, FALSE)) {
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  }
  if (g.type == 4) PostMessageA(grid, kMsgGridOpen, 0, 0);
  return TRUE;
}

INT_PTR CALLBACK GridProc(HWND grid, UINT msg, WPARAM wp, LPARAM lp) {
  GridState* g = StateOf(grid);
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(grid, DWLP_USER, lp);
      return GridInit(grid, *reinterpret_cast<GridState*>(lp));
  }
  if (!g) return FALSE;
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp), code = HIWORD(wp);
      if (id >= IDC_GRID_BUTTON_FIRST && id <= IDC_GRID_BUTTON_LAST) {
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) OnThumbnailClick(grid, *g, id - IDC_GRID_BUTTON_FIRST);
        return TRUE;
      }
      switch (id) {
        case IDC_GRID_RANGE_FIRST:
        case IDC_GRID_RANGE_LAST:
          if (code == EN_CHANGE) OnRangeEdit(grid, *g, id);
          return TRUE;
        case IDC_GRID_PREVIEW:
          FetchVisible(grid);
          return TRUE;
        case IDC_GRID_TRANSFER:
          OnTransfer(grid, *g);
          return TRUE;
        case IDC_GRID_DELETE:
          OnDelete(grid, *g);
          return TRUE;
        case IDC_GRID_CARD:
          if (code == CBN_SELCHANGE) OnMediumChosen(grid, *g);
          return TRUE;
        case IDC_GRID_FOLDER:
          if (code == CBN_SELCHANGE) OnFolderChosen(grid, *g);
          return TRUE;
        case IDCANCEL:
          CloseMemoryList(grid);
          return TRUE;
      }
      return FALSE;
    }
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lp) == GetDlgItem(grid, IDC_GRID_SCROLL)) OnScroll(grid, *g, LOWORD(wp));
      return TRUE;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlID >= IDC_GRID_BUTTON_FIRST && d->CtlID <= IDC_GRID_BUTTON_LAST) {
        DrawThumbnailButton(*g, *d);
        return TRUE;
      }
      return FALSE;
    }
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: {
      if (msg == WM_PALETTECHANGED && reinterpret_cast<HWND>(wp) == grid) return FALSE;
      WindowDC dc(grid);
      if (!dc || !FewColours(dc.get())) return FALSE;
      SelectedPalette pal(dc.get(), CubePalette(*g));
      InvalidateRect(grid, nullptr, TRUE);
      return TRUE;
    }
    case kMsgGridFetchPage: {
      MSG next;  // several scroll steps in a row: fetch once, for the last
      if (PeekMessageA(&next, grid, kMsgGridFetchPage, kMsgGridFetchPage, PM_NOREMOVE)) return TRUE;
      FetchVisible(grid);
      return TRUE;
    }
    case kMsgGridOpen:
      OpenTypeFour(grid, *g);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::string GridTemplateName(int camera_type, int region) {
  const bool folders = camera_type == 4;
  switch (region) {
    case region::kFrench:
    case region::kGerman: return folders ? "MEMReq2_EU_K48T" : "MEMReq2_EU";
    case region::kJapanese: return folders ? "MemReq2_JAPAN_K48T" : "MEMReq2_JAPAN";
    default: return folders ? "MemReq2_K48T" : "MemReq2";
  }
}

void CloseMemoryList(HWND grid) {
  if (!IsWindow(grid)) return;
  CameraSession& s = Camera();
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  cam::BusyWait(s.link, kCloseWaitMs);
  SetCursor(old);
  if (s.frame) EnableWindow(s.frame, TRUE);
  RemoveModelessDialog(grid);
  DestroyWindow(grid);
  cam::EndConnectionSequenced(s.link);
  cam::ClosePort(s.link);
  if (s.frame) SetFocus(s.frame);
}

bool OpenMemoryList(HWND frame) {
  CameraSession& s = Camera();
  s.frame = frame;
  if (s.link.camera_type == 1) {
    ListState state;
    return DialogBoxParamA(Instance(), "MemReq", frame, ListProc, reinterpret_cast<LPARAM>(&state)) != -1;
  }
  GridState state;
  state.type = s.link.camera_type == 4 ? 4 : 2;
  const std::string name = GridTemplateName(state.type, region::Code());
  if (frame) EnableWindow(frame, FALSE);
  HWND grid = CreateDialogParamA(Instance(), name.c_str(), frame, GridProc, reinterpret_cast<LPARAM>(&state));
  if (!grid) {
    if (frame) EnableWindow(frame, TRUE);
    ShowError(err::kUnexpected);
    return false;
  }
  AddModelessDialog(grid);
  ShowWindow(grid, SW_SHOW);
  UpdateWindow(grid);
  // The grid owns the rest of the connection; the command waits here, with
  // the messages of every window going round, until the grid has gone.
  MSG msg;
  while (IsWindow(grid)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      CloseMemoryList(grid);
      break;
    }
    if (got < 0) break;
    if (RouteToModelessDialog(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace fq::win
