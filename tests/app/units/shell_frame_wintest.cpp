// The shell's window layer in process: the menu resource against the
// command table, the toolbar's strip and tooltips, the bars the settings
// ask for, the menu and toolbar states read from a document window's slots,
// the status-bar parts, and a close refused by a document.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "album/win/album_commands.h"
#include "shell/commands.h"
#include "shell/frame_rules.h"
#include "base/region.h"
#include "base/settings_store.h"
#include "shell/win/frame_window.h"
#include "shell/win/menu_apply.h"
#include "shell/win/shell_state.h"
#include "base/win/window_slots.h"
#include "shell_res.h"
#include "wintest.h"

namespace {

std::string MenuText(HMENU menu, int pos) {
  char buf[256] = "";
  GetMenuStringA(menu, pos, buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

void CompareMenu(HMENU menu, std::span<const fq::cmd::MenuEntry> entries, const std::string& where) {
  CHECK_EQ(GetMenuItemCount(menu), static_cast<int>(entries.size()));
  for (int pos = 0; pos < static_cast<int>(entries.size()) && pos < GetMenuItemCount(menu); ++pos) {
    const fq::cmd::MenuEntry& e = entries[pos];
    const std::string at = where + "/" + std::to_string(pos);
    MENUITEMINFOA mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, pos, TRUE, &mi);
    switch (e.kind) {
      case fq::cmd::MenuEntryKind::kSeparator:
        CHECK_EQ(at + ((mi.fType & MFT_SEPARATOR) ? " separator" : " item"), at + " separator");
        break;
      case fq::cmd::MenuEntryKind::kItem:
        CHECK_EQ(at + " " + std::to_string(mi.wID), at + " " + std::to_string(e.id));
        CHECK_EQ(MenuText(menu, pos), std::string(e.text));
        CHECK(mi.hSubMenu == nullptr);
        break;
      case fq::cmd::MenuEntryKind::kPopup:
        CHECK_EQ(MenuText(menu, pos), std::string(e.text));
        CHECK(mi.hSubMenu != nullptr);
        if (mi.hSubMenu) CompareMenu(mi.hSubMenu, e.children, at);
        break;
    }
  }
}

// Preferences held in memory for the frame's creation and destruction.
class MemoryStore final : public fq::settings::SettingsStore {
 public:
  std::map<std::string, std::string> values;
  int ReadInt(std::string_view, std::string_view key, int def) override {
    auto it = values.find(std::string(key));
    return it == values.end() ? def : fq::settings::LeadingDigits(it->second);
  }
  std::string ReadString(std::string_view, std::string_view key, std::string_view def,
                         size_t) override {
    auto it = values.find(std::string(key));
    return it == values.end() ? std::string(def) : it->second;
  }
  void WriteString(std::string_view, std::string_view key, std::string_view value) override {
    values[std::string(key)] = std::string(value);
  }
};

UINT CheckOf(HMENU menu, int id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }
bool Greyed(HMENU menu, int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

struct Frame {
  HMENU menu = nullptr;
  HWND hwnd = nullptr;
  explicit Frame(MemoryStore& store) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    fq::win::RegisterFrameClass(inst);
    fq::settings::SetStore(&store);
    menu = LoadMenuA(inst, "DscMenu");
    hwnd = fq::win::CreateFrameWindow(inst, menu);
  }
  ~Frame() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    fq::settings::SetStore(nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

// A document window that refuses to close, as one whose save question was
// cancelled.
LRESULT CALLBACK StubbornProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_QUERYENDSESSION) return FALSE;
  return DefMDIChildProcA(h, m, w, l);
}

HWND MakeChild(const char* cls, fq::win::WindowKind kind) {
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = cls;
  mcs.szTitle = "doc";
  mcs.hOwner = GetModuleHandleA(nullptr);
  mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
  HWND child = reinterpret_cast<HWND>(
      SendMessageA(fq::win::Shell().mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (child) {
    SetWindowLongPtrA(child, fq::win::kRecordSlot, 1);
    SetWindowLongPtrA(child, fq::win::kKindSlot, static_cast<LONG_PTR>(kind));
  }
  return child;
}

}  // namespace

WIN_TEST(MenuResourceMatchesCommandTable) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), "DscMenu");
  CHECK(menu != nullptr);
  if (!menu) return;
  CompareMenu(menu, fq::cmd::MenuBar(), "DscMenu");
  DestroyMenu(menu);
}

WIN_TEST(ToolbarStripAndTooltipStrings) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HBITMAP strip = LoadBitmapA(inst, MAKEINTRESOURCEA(IDB_TOOLBAR));
  CHECK(strip != nullptr);
  BITMAP bm = {};
  if (strip) GetObjectA(strip, sizeof bm, &bm);
  CHECK_EQ(bm.bmWidth, 16 * fq::cmd::kOwnImageCount);
  CHECK_EQ(bm.bmHeight, 16);
  if (strip) DeleteObject(strip);
  for (const fq::cmd::ToolbarEntry& e : fq::cmd::Toolbar()) {
    if (e.id == 0) continue;
    char text[128] = "";
    LoadStringA(inst, e.id, text, sizeof text);
    CHECK_EQ(std::string(text), std::string(e.tooltip));
  }
}

WIN_TEST(BarsFollowTheSettingsAndAreWrittenBack) {
  struct Case {
    const char* tool;
    const char* status;
    bool toolbar, status_bar;
  };
  for (const Case& c : {Case{"0", "0", true, true}, Case{"0", "1", true, false},
                        Case{"1", "0", false, true}, Case{"1", "1", false, false},
                        Case{"2", "0", false, false}}) {
    MemoryStore store;
    store.values["Tool"] = c.tool;
    store.values["Status"] = c.status;
    {
      Frame f(store);
      CHECK(f.hwnd != nullptr);
      if (!f.hwnd) return;
      HWND tb = GetDlgItem(f.hwnd, fq::cmd::kToolbarId);
      HWND sb = GetDlgItem(f.hwnd, fq::shell::kStatusBarId);
      CHECK_EQ(tb != nullptr, c.toolbar);
      CHECK_EQ(sb != nullptr, c.status_bar);
      CHECK_EQ(CheckOf(f.menu, fq::cmd::kToolbarOnOff) != 0, c.toolbar);
      CHECK_EQ(CheckOf(f.menu, fq::cmd::kStatusbarOnOff) != 0, c.status_bar);
      CHECK(Greyed(f.menu, fq::cmd::kToolOnOff));
      if (tb) CHECK_EQ(SendMessageA(tb, TB_BUTTONCOUNT, 0, 0), LRESULT{fq::cmd::kToolbarEntryCount});
      CHECK(GetDlgItem(f.hwnd, fq::shell::kMdiClientId) != nullptr);
      SendMessageA(f.hwnd, WM_CLOSE, 0, 0);
      CHECK(!IsWindow(f.hwnd));
    }
    // What was shown is written back: 0 shown, 1 hidden.
    CHECK_EQ(store.values["Tool"], std::string(c.toolbar ? "0" : "1"));
    CHECK_EQ(store.values["Status"], std::string(c.status_bar ? "0" : "1"));
    CHECK_EQ(store.values["ToolBox"], std::string("0"));
  }
}

WIN_TEST(StatusBarPartsFollowTheWidth) {
  MemoryStore store;
  Frame f(store);
  if (!f.hwnd) return;
  SetWindowPos(f.hwnd, nullptr, 0, 0, 900, 600, SWP_NOZORDER);
  RECT client;
  GetClientRect(f.hwnd, &client);
  HWND sb = GetDlgItem(f.hwnd, fq::shell::kStatusBarId);
  int parts[8] = {};
  CHECK_EQ(SendMessageA(sb, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(parts)), LRESULT{5});
  auto want = fq::shell::StatusBarPartEdges(fq::region::Code(), client.right);
  for (int i = 0; i < 5; ++i) CHECK_EQ(parts[i], want[i]);
  char text[64] = "";
  SendMessageA(sb, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  CHECK_EQ(std::string(text), std::string("Ready"));
}

WIN_TEST(StatesReadTheActiveDocumentSlots) {
  MemoryStore store;
  Frame f(store);
  if (!f.hwnd) return;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  fq::win::RegisterAlbumWindowClass(inst);
  HMENU file = GetSubMenu(f.menu, fq::cmd::kFilePopup);
  HMENU edit = GetSubMenu(f.menu, fq::cmd::kEditPopup);
  HMENU window = GetSubMenu(f.menu, fq::cmd::kWindowPopup);
  fq::win::ApplyMenuPopupState(file);
  fq::win::ApplyMenuPopupState(edit);
  CHECK(Greyed(f.menu, fq::cmd::kSave));
  CHECK(Greyed(f.menu, fq::cmd::kAddToAlbum));
  CHECK(!Greyed(f.menu, fq::cmd::kOpen));

  HWND album = fq::win::NewUntitledAlbum(fq::win::Shell().mdi_client);
  CHECK(album != nullptr);
  if (!album) return;
  fq::shell::ShellState s = fq::win::CurrentShellState();
  CHECK(s.document_window);
  CHECK(s.kind == fq::shell::WindowKind::kAlbum);
  fq::win::ApplyMenuPopupState(file);
  fq::win::ApplyMenuPopupState(edit);
  fq::win::ApplyMenuPopupState(window);
  CHECK(!Greyed(f.menu, fq::cmd::kSave));  // an album can always be saved
  CHECK(!Greyed(f.menu, fq::cmd::kAddToAlbum));
  CHECK(Greyed(f.menu, fq::cmd::kCut));  // nothing selected
  CHECK(!Greyed(f.menu, fq::cmd::kTile));
  CHECK(Greyed(f.menu, fq::cmd::kArrangeIcons));
  fq::win::UpdateToolbarState();
  HWND tb = GetDlgItem(f.hwnd, fq::cmd::kToolbarId);
  CHECK_EQ(SendMessageA(tb, TB_GETSTATE, fq::cmd::kButtonAddToAlbum, 0) & TBSTATE_ENABLED,
           LRESULT{TBSTATE_ENABLED});
  CHECK_EQ(SendMessageA(tb, TB_GETSTATE, fq::cmd::kButtonCut, 0) & TBSTATE_INDETERMINATE,
           LRESULT{TBSTATE_INDETERMINATE});

  // A minimised document makes Arrange Icons available.
  ShowWindow(album, SW_MINIMIZE);
  fq::win::ApplyMenuPopupState(window);
  CHECK(!Greyed(f.menu, fq::cmd::kArrangeIcons));

  // A slot without a record is no document window.
  ShowWindow(album, SW_RESTORE);
  const LONG_PTR record = SetWindowLongPtrA(album, fq::win::kRecordSlot, 0);
  CHECK(!fq::win::CurrentShellState().document_window);
  fq::win::UpdateToolbarState();
  CHECK_EQ(SendMessageA(tb, TB_GETSTATE, fq::cmd::kButtonSaveAs, 0) & TBSTATE_INDETERMINATE,
           LRESULT{TBSTATE_INDETERMINATE});
  SetWindowLongPtrA(album, fq::win::kRecordSlot, record);  // the album frees its record
}

WIN_TEST(CloseRefusedByADocumentKeepsTheFrame) {
  MemoryStore store;
  Frame f(store);
  if (!f.hwnd) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = StubbornProc;
  wc.cbWndExtra = fq::win::kDocumentExtraBytes;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ShellTestStubborn";
  RegisterClassA(&wc);
  HWND doc = MakeChild("ShellTestStubborn", fq::win::WindowKind::kAlbum);
  CHECK(doc != nullptr);
  SendMessageA(f.hwnd, WM_CLOSE, 0, 0);
  CHECK(IsWindow(f.hwnd));
  CHECK(IsWindow(doc));
  // Once the document has gone the close goes through.
  SendMessageA(fq::win::Shell().mdi_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
  SendMessageA(f.hwnd, WM_CLOSE, 0, 0);
  CHECK(!IsWindow(f.hwnd));
}
