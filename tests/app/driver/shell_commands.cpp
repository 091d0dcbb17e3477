// fqdriver commands for the frame window: its child controls, the toolbar's
// button states, the status bar's first part, and the menu driven from the
// keyboard the way a user opens it with Alt and the arrow keys.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver.h"

namespace {

using fqdriver::kFailed;
using fqdriver::kOk;

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kKeySettleMs = 300;

HWND Child(char** a, int id) {
  HWND frame = fqdriver::Require(a[0], a[1]);
  return frame ? GetDlgItem(frame, id) : nullptr;
}

bool TextOf(HWND h, char* buf, size_t size) {
  DWORD_PTR n = 0;
  buf[0] = '\0';
  return SendMessageTimeoutA(h, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &n) != 0;
}

// Whether the frame has a child control of an id: "present" or "absent".
int HasChild(char** a) {
  if (!fqdriver::Require(a[0], a[1])) return kFailed;
  HWND c = Child(a, std::atoi(a[2]));
  std::printf("%s\n", c && IsWindowVisible(c) ? "present" : "absent");
  return kOk;
}

// The state bits of the toolbar's (control 701) buttons, one "id=state"
// line each, and their count.
int ToolbarStates(char** a) {
  HWND tb = Child(a, 701);
  if (!tb) return kFailed;
  DWORD_PTR count = 0;
  SendMessageTimeoutA(tb, TB_BUTTONCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count);
  std::printf("count=%lu\n", static_cast<unsigned long>(count));
  for (char* p = a[2]; *p;) {
    char* end = nullptr;
    long id = std::strtol(p, &end, 10);
    if (end == p) break;
    DWORD_PTR state = 0;
    SendMessageTimeoutA(tb, TB_GETSTATE, id, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
    std::printf("%ld=%ld\n", id, static_cast<long>(state));
    p = *end ? end + 1 : end;
  }
  return kOk;
}

// The text of the status bar's (control 700) part 0.
int StatusText(char** a) {
  HWND sb = Child(a, 700);
  if (!sb) return kFailed;
  char buf[512];
  if (!TextOf(sb, buf, sizeof buf)) return kFailed;
  std::printf("%s\n", buf);
  return kOk;
}

// Keys for the frame's menu: a lower-case letter opens the menu-bar popup
// of that mnemonic, D U L R move down, up, left, right, E is Escape. After
// each key the status bar's part 0 is printed.
int MenuKeys(char** a) {
  HWND frame = fqdriver::Require(a[0], a[1]);
  HWND sb = frame ? GetDlgItem(frame, 700) : nullptr;
  if (!frame) return kFailed;
  for (const char* k = a[2]; *k; ++k) {
    WPARAM vk = 0;
    switch (*k) {
      case 'D': vk = VK_DOWN; break;
      case 'U': vk = VK_UP; break;
      case 'L': vk = VK_LEFT; break;
      case 'R': vk = VK_RIGHT; break;
      case 'E': vk = VK_ESCAPE; break;
      default:
        PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, static_cast<unsigned char>(*k));
        break;
    }
    if (vk) PostMessageA(frame, WM_KEYDOWN, vk, 1);
    Sleep(kKeySettleMs);
    char buf[512] = "";
    if (sb) TextOf(sb, buf, sizeof buf);
    std::printf("%c %s\n", *k, buf);
  }
  return kOk;
}

// Posts a command to a window as its menu would.
int PostCommand(char** a) {
  HWND h = fqdriver::Require(a[0], a[1]);
  return h && PostMessageA(h, WM_COMMAND, std::strtoul(a[2], nullptr, 0), 0) ? kOk : kFailed;
}

// How many top-level windows of a class have a title beginning with a text.
struct Count {
  const char* cls;
  const char* prefix;
  int n;
};
BOOL CALLBACK CountOne(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<Count*>(lp);
  char cls[256] = "", title[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  if (std::strcmp(cls, c->cls) == 0 && std::strncmp(title, c->prefix, std::strlen(c->prefix)) == 0)
    ++c->n;
  return TRUE;
}
int CountWindows(char** a) {
  Count c{a[0], a[1], 0};
  EnumWindows(CountOne, reinterpret_cast<LPARAM>(&c));
  std::printf("%d\n", c.n);
  return kOk;
}

// The titles of the MDI children of the frame's client (control 3232).
int MdiChildren(char** a) {
  HWND mdi = Child(a, 3232);
  if (!mdi) return kFailed;
  for (HWND c = GetWindow(mdi, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[256] = "", title[512] = "";
    GetClassNameA(c, cls, sizeof cls);
    TextOf(c, title, sizeof title);
    std::printf("%s \"%s\"\n", cls, title);
  }
  return kOk;
}

// Drops files on a window as the shell would: the drop list is built in the
// program's own memory and handed over with WM_DROPFILES. NAMES are
// separated by '|'.
int DropFiles(char** a) {
  HWND h = fqdriver::Require(a[0], a[1]);
  if (!h) return kFailed;
  std::string list;
  for (const char* p = a[2];; ++p) {
    if (*p == '|' || *p == '\0') {
      list.push_back('\0');
      if (*p == '\0') break;
    } else {
      list.push_back(*p);
    }
  }
  list.push_back('\0');
  DROPFILES df = {};
  df.pFiles = sizeof df;
  std::string block(reinterpret_cast<const char*>(&df), sizeof df);
  block += list;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return kFailed;
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  return ok && PostMessageA(h, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) ? kOk : kFailed;
}

}  // namespace

FQ_DRIVER_COMMAND("has-child", "CLASS TITLE ID", 3, HasChild);
FQ_DRIVER_COMMAND("toolbar-states", "CLASS TITLE ID,ID,...", 3, ToolbarStates);
FQ_DRIVER_COMMAND("status-text", "CLASS TITLE", 2, StatusText);
FQ_DRIVER_COMMAND("menu-keys", "CLASS TITLE KEYS", 3, MenuKeys);
FQ_DRIVER_COMMAND("frame-command", "CLASS TITLE ID", 3, PostCommand);
FQ_DRIVER_COMMAND("count-windows", "CLASS TITLE_PREFIX", 2, CountWindows);
FQ_DRIVER_COMMAND("drop-files", "CLASS TITLE NAME|NAME...", 3, DropFiles);
FQ_DRIVER_COMMAND("mdi-children", "CLASS TITLE", 2, MdiChildren);
