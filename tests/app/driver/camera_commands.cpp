// fqdriver commands for the camera's windows: the rows of a list box, and
// the message box of the program whose text holds a given phrase (the
// progress dialog and other boxes may be shown at the same time).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver.h"

namespace {

using fqdriver::kFailed;
using fqdriver::kOk;

constexpr UINT kSendTimeoutMs = 5000;

DWORD ProgramProcess() {
  HWND frame = FindWindowA("ORXDscFrame", nullptr);
  DWORD pid = 0;
  if (frame) GetWindowThreadProcessId(frame, &pid);
  return pid;
}

std::string TextOf(HWND h) {
  char buf[1024] = "";
  DWORD_PTR n = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &n);
  return buf;
}

struct BoxSearch {
  DWORD pid;
  const char* phrase;
  HWND found = nullptr;
  std::string texts;
};

BOOL CALLBACK CollectText(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  char cls[32] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (!std::strcmp(cls, "Static")) s->texts += TextOf(h) + "\n";
  return TRUE;
}

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char cls[32] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (pid != s->pid || std::strcmp(cls, "#32770") || !IsWindowVisible(h)) return TRUE;
  s->texts.clear();
  EnumChildWindows(h, CollectText, lp);
  if (s->texts.find(s->phrase) == std::string::npos) return TRUE;
  s->found = h;
  return FALSE;
}

HWND WaitBox(BoxSearch& s, DWORD timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    s.pid = ProgramProcess();
    if (s.pid) EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    if (s.found || GetTickCount() - start >= timeout) return s.found;
    Sleep(50);
  }
}

// box-press PHRASE ID TIMEOUT_MS: waits for a dialog of the program with a
// static text holding PHRASE, prints its texts and presses button ID.
int BoxPress(char** a) {
  BoxSearch s{0, a[0], nullptr, {}};
  HWND box = WaitBox(s, static_cast<DWORD>(std::atoi(a[2])));
  if (!box) {
    std::fprintf(stderr, "no box saying '%s'\n", a[0]);
    return kFailed;
  }
  std::printf("%s", s.texts.c_str());
  const int id = std::atoi(a[1]);
  return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box, id)))
             ? kOk
             : kFailed;
}

// list-rows TITLE ID: the length of each row of a list box in the program's
// window TITLE, one a line (between processes Wine brings back only the
// first character of a row's text).
int ListRows(char** a) {
  HWND d = FindWindowA("#32770", a[0]);
  HWND list = d ? GetDlgItem(d, std::atoi(a[1])) : nullptr;
  if (!list) return kFailed;
  DWORD_PTR n = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &n);
  for (DWORD_PTR i = 0; i < n; ++i) {
    DWORD_PTR len = 0;
    SendMessageTimeoutA(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len);
    std::printf("%lu\n", static_cast<unsigned long>(len));
  }
  return kOk;
}

}  // namespace

FQ_DRIVER_COMMAND("box-press", "PHRASE ID TIMEOUT_MS", 3, BoxPress);
FQ_DRIVER_COMMAND("list-rows", "TITLE ID", 2, ListRows);
