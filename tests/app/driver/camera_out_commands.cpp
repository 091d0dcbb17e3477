// Commands for the camera dialogs: the rows of a list box of a dialog (the
// type-1 memory list), marked and chosen as a user chooses them; and the
// program's message boxes told apart from its status and progress dialogs,
// which share their caption.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace fqcamout {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr UINT kSendTimeoutMs = 5000;

HWND ListOf(const char* title, const char* id_text, HWND* dialog) {
  HWND found = fqdriver::ProgramDialog(title);
  if (!found) return nullptr;
  *dialog = found;
  HWND list = GetDlgItem(found, std::atoi(id_text));
  if (!list) std::fprintf(stderr, "no control %s in %s\n", id_text, title);
  return list;
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR r = 0;
  SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
  return static_cast<LRESULT>(r);
}

// list-marks TITLE ID: one line per row of a list box, "INDEX selected" or
// "INDEX -".
int ListMarks(char** a) {
  HWND dialog = nullptr;
  HWND list = ListOf(a[0], a[1], &dialog);
  if (!list) return kFailed;
  const int n = static_cast<int>(Send(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) std::printf("%d %s\n", i, Send(list, LB_GETSEL, i, 0) > 0 ? "selected" : "-");
  return kOk;
}

// list-select TITLE ID ROWS: chooses exactly the rows ROWS ("0,2,3") of a
// list box of several choices, in that order (the last one gets the
// caret), and tells the dialog the selection changed, as a click does.
int ListSelect(char** a) {
  HWND dialog = nullptr;
  HWND list = ListOf(a[0], a[1], &dialog);
  if (!list) return kFailed;
  Send(list, LB_SETSEL, FALSE, -1);
  for (const char* p = a[2]; *p;) {
    char* end = nullptr;
    const long row = std::strtol(p, &end, 10);
    if (end == p) return fqdriver::kUsage;
    if (Send(list, LB_SETSEL, TRUE, row) == LB_ERR) {
      std::fprintf(stderr, "no row %ld\n", row);
      return kFailed;
    }
    Send(list, LB_SETCARETINDEX, row, FALSE);
    p = *end == ',' ? end + 1 : end;
  }
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(list))
             ? kOk
             : kFailed;
}

// The text control of a message box: 0xFFFF on Windows, 100 under Wine.
HWND MessageText(HWND h) {
  for (int id : {0xFFFF, 100}) {
    HWND t = GetDlgItem(h, id);
    char cls[32] = "";
    if (t && GetClassNameA(t, cls, sizeof cls) && lstrcmpiA(cls, "Static") == 0) return t;
  }
  return nullptr;
}

struct BoxSearch {
  DWORD pid;
  int control = 0;  // a dialog holding this control; 0: a message box
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  const bool wanted = s->control ? GetDlgItem(h, s->control) != nullptr : MessageText(h) != nullptr;
  if (pid == s->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(h) && wanted) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND WaitBox(DWORD timeout, int control = 0) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND frame = FindWindowA("ORXDscFrame", nullptr);
    BoxSearch s{0, control};
    if (frame) GetWindowThreadProcessId(frame, &s.pid);
    if (s.pid) EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(20);
  }
}

// msgbox TIMEOUT_MS: waits for a message box of the program and prints its
// caption and text (line breaks as "\n").
int MessageBoxText(char** a) {
  HWND box = WaitBox(static_cast<DWORD>(std::atoi(a[0])));
  if (!box) {
    std::fprintf(stderr, "no message box\n");
    return kFailed;
  }
  char caption[256] = "", text[2048] = "";
  GetWindowTextA(box, caption, sizeof caption);
  GetWindowTextA(MessageText(box), text, sizeof text);
  std::string flat;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r') continue;
    if (*p == '\n') flat += "\\n";
    else flat += *p;
  }
  std::printf("caption=%s\ntext=%s\n", caption, flat.c_str());
  return kOk;
}

// msgbox-press ID TIMEOUT_MS: presses a button of the program's message
// box (1 OK, 2 Cancel, 6 Yes, 7 No).
int MessageBoxPress(char** a) {
  HWND box = WaitBox(static_cast<DWORD>(std::atoi(a[1])));
  if (!box) return kFailed;
  const int id = std::atoi(a[0]);
  return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(box, id)))
             ? kOk
             : kFailed;
}

// no-msgbox MS: succeeds when the program shows no message box for that
// long.
int NoMessageBox(char** a) {
  HWND box = WaitBox(static_cast<DWORD>(std::atoi(a[0])));
  if (!box) return kOk;
  char text[2048] = "";
  GetWindowTextA(MessageText(box), text, sizeof text);
  std::fprintf(stderr, "message box shown: %s\n", text);
  return kFailed;
}

// The question asked before each picture the thumbnail grid deletes: its
// "Yes" button tells it from the message boxes of the same caption.
constexpr int kDeleteQuestionYes = 800;
constexpr int kDeleteQuestionAll = 801;

// delete-question TIMEOUT_MS: waits for the question and prints its two
// lines and whether "Delete All" is offered ("all=1").
int DeleteQuestion(char** a) {
  HWND q = WaitBox(static_cast<DWORD>(std::atoi(a[0])), kDeleteQuestionYes);
  if (!q) {
    std::fprintf(stderr, "no deletion question\n");
    return kFailed;
  }
  std::string lines[2];
  int i = 0;
  for (HWND c = GetWindow(q, GW_CHILD); c && i < 2; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = "";
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) lines[i++] = fqdriver::TextOf(c);
  }
  std::printf("line1=%s\nline2=%s\nall=%d\n", lines[0].c_str(), lines[1].c_str(),
              IsWindowEnabled(GetDlgItem(q, kDeleteQuestionAll)) ? 1 : 0);
  return kOk;
}

// delete-answer ID TIMEOUT_MS: presses a button of the deletion question
// (800 Yes, 801 Delete All, 802 No, 803 Cancel).
int DeleteAnswer(char** a) {
  HWND q = WaitBox(static_cast<DWORD>(std::atoi(a[1])), kDeleteQuestionYes);
  if (!q) return kFailed;
  const int id = std::atoi(a[0]);
  return PostMessageA(q, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(q, id)))
             ? kOk
             : kFailed;
}

// grid-click TITLE ID plain|shift|ctrl: a click of the mouse on a button of
// a dialog with Shift or Ctrl held, as the button sees it (the key state
// rides on the mouse messages).
int GridClick(char** a) {
  HWND dialog = fqdriver::ProgramDialog(a[0]);
  HWND button = dialog ? GetDlgItem(dialog, std::atoi(a[1])) : nullptr;
  if (!button) {
    std::fprintf(stderr, "no control %s in %s\n", a[1], a[0]);
    return kFailed;
  }
  WPARAM keys = 0;
  if (std::strcmp(a[2], "shift") == 0) keys = MK_SHIFT;
  else if (std::strcmp(a[2], "ctrl") == 0) keys = MK_CONTROL;
  else if (std::strcmp(a[2], "plain") != 0) return fqdriver::kUsage;
  // Sent, not posted: the click is done when the command returns, so a
  // scroll that follows cannot overtake it.
  const LPARAM inside = MAKELPARAM(2, 2);
  DWORD_PTR r = 0;
  return SendMessageTimeoutA(button, WM_LBUTTONDOWN, keys | MK_LBUTTON, inside, SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &r) &&
                 SendMessageTimeoutA(button, WM_LBUTTONUP, keys, inside, SMTO_ABORTIFHUNG,
                                     kSendTimeoutMs, &r)
             ? kOk
             : kFailed;
}

// dlg-vscroll TITLE ID CODE: the dialog's scroll bar control ID sends the
// dialog WM_VSCROLL with CODE (1 line down, 0 line up, 3 page down, 7 to
// the bottom...), as a click on its arrows does; then prints the bar's
// position as the dialog set it.
int DlgVScroll(char** a) {
  HWND dialog = fqdriver::ProgramDialog(a[0]);
  HWND bar = dialog ? GetDlgItem(dialog, std::atoi(a[1])) : nullptr;
  if (!bar) {
    std::fprintf(stderr, "no control %s in %s\n", a[1], a[0]);
    return kFailed;
  }
  Send(dialog, WM_VSCROLL, MAKEWPARAM(std::atoi(a[2]), 0), reinterpret_cast<LPARAM>(bar));
  std::printf("%d\n", static_cast<int>(Send(bar, SBM_GETPOS, 0, 0)));
  return kOk;
}

// frame-ready TIMEOUT_MS: waits until the frame takes commands again (a
// camera command keeps it disabled until its last step is done, the end of
// the connection included).
int FrameReady(char** a) {
  const DWORD start = GetTickCount(), timeout = static_cast<DWORD>(std::atoi(a[0]));
  for (;;) {
    HWND frame = FindWindowA("ORXDscFrame", nullptr);
    if (frame && IsWindowEnabled(frame)) return kOk;
    if (GetTickCount() - start >= timeout) break;
    Sleep(20);
  }
  std::fprintf(stderr, "the frame stays disabled\n");
  return kFailed;
}

FQ_DRIVER_COMMAND("frame-ready", "TIMEOUT_MS", 1, FrameReady);
FQ_DRIVER_COMMAND("msgbox", "TIMEOUT_MS", 1, MessageBoxText);
FQ_DRIVER_COMMAND("msgbox-press", "ID TIMEOUT_MS", 2, MessageBoxPress);
FQ_DRIVER_COMMAND("no-msgbox", "MS", 1, NoMessageBox);
FQ_DRIVER_COMMAND("list-marks", "TITLE ID", 2, ListMarks);
FQ_DRIVER_COMMAND("list-select", "TITLE ID ROWS", 3, ListSelect);
FQ_DRIVER_COMMAND("delete-question", "TIMEOUT_MS", 1, DeleteQuestion);
FQ_DRIVER_COMMAND("delete-answer", "ID TIMEOUT_MS", 2, DeleteAnswer);
FQ_DRIVER_COMMAND("grid-click", "TITLE ID plain|shift|ctrl", 3, GridClick);
FQ_DRIVER_COMMAND("dlg-vscroll", "TITLE ID CODE", 3, DlgVScroll);

}  // namespace
}  // namespace fqcamout
