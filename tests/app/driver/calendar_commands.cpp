// fqdriver commands for the calendar's dialogs: the wizard's property sheet
// (its current page's controls, its Back / Next / Finish / Cancel buttons),
// and any of the program's dialogs found by title (the schedule dialog, the
// font and colour dialogs, message boxes), whose controls are read, typed
// into, clicked and checked the way a user would.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace fqcal {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr UINT kSendTimeoutMs = 5000;

DWORD ProgramProcess() {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  DWORD pid = 0;
  if (frame) GetWindowThreadProcessId(frame, &pid);
  return pid;
}

struct Search {
  DWORD pid;
  const char* title;
  HWND found = nullptr;
};

BOOL CALLBACK FindTitled(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  char cls[64] = "", title[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == s->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(h) &&
      std::strcmp(title, s->title) == 0) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The program's visible dialog of that title, waited for up to `timeout`.
HWND Titled(const char* title, DWORD timeout = 10000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search s{ProgramProcess(), title};
    if (s.pid) EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (GetTickCount() - start >= timeout) break;
    Sleep(20);
  }
  std::fprintf(stderr, "no dialog titled %s\n", title);
  return nullptr;
}

std::string TextOf(HWND h) {
  char buf[1024] = "";
  DWORD_PTR n = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &n);
  return buf;
}

// The sheet's current page (a child dialog).
HWND CurrentPage(HWND sheet) {
  DWORD_PTR page = 0;
  SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &page);
  return reinterpret_cast<HWND>(page);
}

// A control of a dialog or, for the sheet "Calendar", of its current page.
HWND Control(const char* title, const char* id_text) {
  HWND d = Titled(title);
  if (!d) return nullptr;
  const int id = std::atoi(id_text);
  HWND c = GetDlgItem(d, id);
  if (!c && std::strcmp(title, "Calendar") == 0)
    if (HWND page = CurrentPage(d)) c = GetDlgItem(page, id);
  if (!c) {
    // Controls of a custom template sit in a child dialog.
    for (HWND child = GetWindow(d, GW_CHILD); child && !c; child = GetWindow(child, GW_HWNDNEXT))
      c = GetDlgItem(child, id);
  }
  if (!c) std::fprintf(stderr, "no control %s in %s\n", id_text, title);
  return c;
}

// dlg-text TITLE ID: a control's text.
int DlgText(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  std::printf("%s\n", TextOf(c).c_str());
  return kOk;
}

// dlg-set TITLE ID TEXT: types TEXT into an edit box (replacing it).
int DlgSet(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  DWORD_PTR r = 0;
  return SendMessageTimeoutA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2]), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &r)
             ? kOk
             : kFailed;
}

// dlg-type TITLE ID CHARS: types characters one by one at the caret's end.
int DlgType(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(c, EM_SETSEL, 0x7FFF, 0x7FFF, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  for (const char* p = a[2]; *p; ++p)
    SendMessageTimeoutA(c, WM_CHAR, static_cast<unsigned char>(*p), 1, SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &r);
  return kOk;
}

// dlg-click TITLE ID: clicks a button (posted: it may open a modal dialog).
int DlgClick(char** a) {
  HWND c = Control(a[0], a[1]);
  return c && PostMessageA(c, BM_CLICK, 0, 0) ? kOk : kFailed;
}

// dlg-checked TITLE ID: prints 1 when the button is checked.
int DlgChecked(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  std::printf("%d\n", r == BST_CHECKED ? 1 : 0);
  return kOk;
}

// dlg-enabled TITLE ID: prints 1 when the control is enabled.
int DlgEnabled(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  std::printf("%d\n", IsWindowEnabled(c) ? 1 : 0);
  return kOk;
}

// dlg-combo TITLE ID INDEX: chooses an entry of a drop-down list as a user
// would (the dialog hears of the change).
int DlgCombo(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  DWORD_PTR r = 0;
  SendMessageTimeoutA(c, CB_SETCURSEL, std::atoi(a[2]), 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  HWND parent = GetParent(c);
  return PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(c))
             ? kOk
             : kFailed;
}

// dlg-combo-items TITLE ID: the entries of a list, one a line.
int DlgComboItems(char** a) {
  HWND c = Control(a[0], a[1]);
  if (!c) return kFailed;
  DWORD_PTR n = 0;
  SendMessageTimeoutA(c, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &n);
  for (DWORD_PTR i = 0; i < n; ++i) {
    wchar_t w[64] = L"";
    DWORD_PTR r = 0;
    SendMessageTimeoutW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(w), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &r);
    char s[64] = "";
    WideCharToMultiByte(CP_ACP, 0, w, -1, s, sizeof s, nullptr, nullptr);
    std::printf("%s\n", s);
  }
  return kOk;
}

// dlg-statics TITLE: the static texts of a dialog (a message box's text).
BOOL CALLBACK PrintStatic(HWND h, LPARAM) {
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::strcmp(cls, "Static") == 0)
    if (std::string t = TextOf(h); !t.empty()) std::printf("%s\n", t.c_str());
  return TRUE;
}
int DlgStatics(char** a) {
  HWND d = Titled(a[0]);
  if (!d) return kFailed;
  EnumChildWindows(d, PrintStatic, 0);
  return kOk;
}

// dlg-press TITLE ID: presses a dialog's button by its command.
int DlgPress(char** a) {
  HWND d = Titled(a[0]);
  if (!d) return kFailed;
  const int id = std::atoi(a[1]);
  return PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(d, id)))
             ? kOk
             : kFailed;
}

// dlg-gone TITLE TIMEOUT_MS: waits until no dialog of that title is shown.
int DlgGone(char** a) {
  const DWORD start = GetTickCount(), timeout = static_cast<DWORD>(std::atoi(a[1]));
  for (;;) {
    Search s{ProgramProcess(), a[0]};
    if (s.pid) EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
    if (!s.found) return kOk;
    if (GetTickCount() - start >= timeout) break;
    Sleep(20);
  }
  std::fprintf(stderr, "dialog %s still shown\n", a[0]);
  return kFailed;
}

// dlg-wait TITLE TIMEOUT_MS
int DlgWait(char** a) { return Titled(a[0], static_cast<DWORD>(std::atoi(a[1]))) ? kOk : kFailed; }

// sheet-button back|next|finish|cancel: presses a button of the wizard.
int SheetButton(char** a) {
  HWND sheet = Titled("Calendar");
  if (!sheet) return kFailed;
  int b = -1;
  if (!std::strcmp(a[0], "back")) b = PSBTN_BACK;
  if (!std::strcmp(a[0], "next")) b = PSBTN_NEXT;
  if (!std::strcmp(a[0], "finish")) b = PSBTN_FINISH;
  if (!std::strcmp(a[0], "cancel")) b = PSBTN_CANCEL;
  if (b < 0) return fqdriver::kUsage;
  return PostMessageA(sheet, PSM_PRESSBUTTON, b, 0) ? kOk : kFailed;
}

// sheet-page: the resource id of the current page's template is not kept by
// the system, so the page is named by a control only it has.
int SheetPage(char**) {
  HWND sheet = Titled("Calendar");
  if (!sheet) return kFailed;
  HWND page = CurrentPage(sheet);
  if (!page) return kFailed;
  const int page_of[][2] = {{1111, 1}, {1261, 2}, {1351, 3}, {1352, 3}, {1401, 4}};
  for (auto [id, n] : page_of)
    if (GetDlgItem(page, id)) {
      std::printf("%d\n", n);
      return kOk;
    }
  return kFailed;
}

// window-text-of CLASS: titles of the MDI children of a class.
int ChildTitles(char** a) {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  HWND client = frame ? FindWindowExA(frame, nullptr, "MDICLIENT", nullptr) : nullptr;
  if (!client) return kFailed;
  for (HWND h = FindWindowExA(client, nullptr, a[0], nullptr); h;
       h = FindWindowExA(client, h, a[0], nullptr))
    std::printf("%s\n", TextOf(h).c_str());
  return kOk;
}

// font-families: the families the system enumerates (type, name), as the
// calendar's default-font choice sees them.
int CALLBACK PrintFamily(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM) {
  std::printf("%lu %s\n", static_cast<unsigned long>(type), lf->lfFaceName);
  return 1;
}
int FontFamilies(char**) {
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesA(dc, nullptr, PrintFamily, 0);
  ReleaseDC(nullptr, dc);
  return kOk;
}

FQ_DRIVER_COMMAND("font-families", "", 0, FontFamilies);
FQ_DRIVER_COMMAND("dlg-text", "TITLE ID", 2, DlgText);
FQ_DRIVER_COMMAND("dlg-set", "TITLE ID TEXT", 3, DlgSet);
FQ_DRIVER_COMMAND("dlg-type", "TITLE ID CHARS", 3, DlgType);
FQ_DRIVER_COMMAND("dlg-click", "TITLE ID", 2, DlgClick);
FQ_DRIVER_COMMAND("dlg-checked", "TITLE ID", 2, DlgChecked);
FQ_DRIVER_COMMAND("dlg-enabled", "TITLE ID", 2, DlgEnabled);
FQ_DRIVER_COMMAND("dlg-combo", "TITLE ID INDEX", 3, DlgCombo);
FQ_DRIVER_COMMAND("dlg-combo-items", "TITLE ID", 2, DlgComboItems);
FQ_DRIVER_COMMAND("dlg-statics", "TITLE", 1, DlgStatics);
FQ_DRIVER_COMMAND("dlg-press", "TITLE ID", 2, DlgPress);
FQ_DRIVER_COMMAND("dlg-gone", "TITLE TIMEOUT_MS", 2, DlgGone);
FQ_DRIVER_COMMAND("dlg-wait", "TITLE TIMEOUT_MS", 2, DlgWait);
FQ_DRIVER_COMMAND("sheet-button", "back|next|finish|cancel", 1, SheetButton);
FQ_DRIVER_COMMAND("sheet-page", "", 0, SheetPage);
FQ_DRIVER_COMMAND("child-titles", "CLASS", 1, ChildTitles);

}  // namespace
}  // namespace fqcal
