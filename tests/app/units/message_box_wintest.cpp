// The message boxes as a user meets them: text, caption, icon, buttons,
// owner and task modality, answered by a helper thread that presses a
// button the way a user would.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "base/win/message_box.h"
#include "wintest.h"

namespace {

struct SeenBox {
  bool found = false;
  std::string text;
  std::string caption;
  HICON icon = nullptr;
  bool ok = false, cancel = false, yes = false, no = false;
  HWND owner = nullptr;
  bool probe_enabled = true;
};

struct FindState {
  DWORD pid;
  HWND box;
};

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<FindState*>(lp);
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == s->pid && std::string(cls) == "#32770" && IsWindowVisible(h)) {
    s->box = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ReadStatics(HWND h, LPARAM lp) {
  auto* seen = reinterpret_cast<SeenBox*>(lp);
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "Static") return TRUE;
  if ((GetWindowLongPtrA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    seen->icon = reinterpret_cast<HICON>(SendMessageA(h, STM_GETICON, 0, 0));
  } else {
    char text[512] = "";
    GetWindowTextA(h, text, sizeof text);
    if (*text) seen->text = text;
  }
  return TRUE;
}

bool Shown(HWND box, int id) {
  HWND b = GetDlgItem(box, id);
  return b && IsWindowVisible(b);
}

struct Helper {
  SeenBox* seen;
  HWND probe;
  int press;
};

// Finds the box of this process that appears, notes what it shows and
// presses a button.
DWORD WINAPI Inspect(void* arg) {
  auto* h = static_cast<Helper*>(arg);
  SeenBox& seen = *h->seen;
  FindState s{GetCurrentProcessId(), nullptr};
  for (int i = 0; i < 1000 && !s.box; ++i) {
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    if (!s.box) Sleep(10);
  }
  if (!s.box) return 1;
  seen.found = true;
  char caption[128] = "";
  GetWindowTextA(s.box, caption, sizeof caption);
  seen.caption = caption;
  EnumChildWindows(s.box, ReadStatics, reinterpret_cast<LPARAM>(&seen));
  seen.ok = Shown(s.box, IDOK);
  seen.cancel = Shown(s.box, IDCANCEL);
  seen.yes = Shown(s.box, IDYES);
  seen.no = Shown(s.box, IDNO);
  seen.owner = GetWindow(s.box, GW_OWNER);
  seen.probe_enabled = IsWindowEnabled(h->probe) != FALSE;
  PostMessageA(s.box, WM_COMMAND, MAKEWPARAM(h->press, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(s.box, h->press)));
  return 0;
}

// Runs `show` on this thread while a helper thread inspects the box that
// appears and presses `press`. Returns the answer of `show`. The helper is
// a system thread: threads of the C++ library know nothing of the window
// system here.
int Answer(const std::function<int()>& show, int press, SeenBox& seen, HWND probe) {
  Helper helper{&seen, probe, press};
  HANDLE thread = CreateThread(nullptr, 0, Inspect, &helper, 0, nullptr);
  int answer = show();
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return answer;
}

// A top-level window of this thread with the keyboard focus: the box must
// be owned by it, and being task-modal, disable it while it shows.
struct FocusWindow {
  HWND hwnd;
  FocusWindow() {
    hwnd = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
  }
  ~FocusWindow() { DestroyWindow(hwnd); }
};

}  // namespace

WIN_TEST(ShowErrorShowsTheTextWithErrorIconAndOk) {
  FocusWindow focus;
  SeenBox seen;
  int answer = Answer([] { return fq::win::ShowError(fq::err::kDiskFull); }, IDOK, seen, focus.hwnd);
  CHECK(seen.found);
  CHECK_EQ(answer, IDOK);
  CHECK_EQ(seen.text, std::string("Disk is full."));
  CHECK_EQ(seen.caption, std::string("Fotaquill"));
  CHECK(seen.icon == LoadIconA(nullptr, IDI_HAND));
  CHECK(seen.ok && !seen.cancel && !seen.yes && !seen.no);
  CHECK(seen.owner == focus.hwnd);
  CHECK(!seen.probe_enabled);
  CHECK(IsWindowEnabled(focus.hwnd));  // enabled again afterwards
}

WIN_TEST(ShowErrorOutsideTheTableShowsTheUndefinedText) {
  for (int index : {-1, fq::err::kLast + 1}) {
    SeenBox seen;
    Answer([index] { return fq::win::ShowError(index); }, IDOK, seen, nullptr);
    CHECK(seen.found);
    CHECK_EQ(seen.text, std::string("It is a non-definition error."));
    CHECK(seen.icon == LoadIconA(nullptr, IDI_HAND));
  }
}

WIN_TEST(AskYesNoAnswersWhatTheUserPressed) {
  FocusWindow focus;
  for (int press : {IDYES, IDNO}) {
    SeenBox seen;
    int answer = Answer([] { return fq::win::AskYesNo(fq::ask::kCloseWindow); }, press, seen,
                        focus.hwnd);
    CHECK(seen.found);
    CHECK_EQ(answer, press);
    CHECK_EQ(seen.text, std::string("OK to close window?"));
    CHECK(seen.icon == LoadIconA(nullptr, IDI_QUESTION));
    CHECK(seen.yes && seen.no && !seen.ok && !seen.cancel);
    CHECK(!seen.probe_enabled);
  }
}

WIN_TEST(AskYesNoOutsideTheTableIsAnErrorAnsweredNo) {
  SeenBox seen;
  int answer = Answer([] { return fq::win::AskYesNo(fq::ask::kLast + 1); }, IDOK, seen, nullptr);
  CHECK(seen.found);
  CHECK_EQ(answer, IDNO);
  CHECK_EQ(seen.text, std::string("It is a non-definition error."));
  CHECK(seen.icon == LoadIconA(nullptr, IDI_HAND));
}

WIN_TEST(AskYesNoCancelFillsInThePictureNumber) {
  for (int press : {IDYES, IDNO, IDCANCEL}) {
    SeenBox seen;
    int answer = Answer([] { return fq::win::AskYesNoCancel(0, 12); }, press, seen, nullptr);
    CHECK(seen.found);
    CHECK_EQ(answer, press);
    CHECK_EQ(seen.text, std::string("Are you sure you want to delete Image No.12?"));
    CHECK(seen.icon == LoadIconA(nullptr, IDI_QUESTION));
    CHECK(seen.yes && seen.no && seen.cancel);
  }
  SeenBox seen;
  int answer = Answer([] { return fq::win::AskYesNoCancel(1, 12); }, IDOK, seen, nullptr);
  CHECK_EQ(answer, IDNO);
  CHECK_EQ(seen.text, std::string("It is a non-definition error."));
}

WIN_TEST(ShowResultMapsCameraCodes) {
  SeenBox seen;
  Answer([] { return fq::win::ShowResult(92); }, IDOK, seen, nullptr);
  CHECK(seen.found);
  CHECK_EQ(seen.text, std::string("Camera memory is full."));
  // A code without a message shows nothing.
  CHECK_EQ(fq::win::ShowResult(0), 0);

  SeenBox failure;
  fq::Result<int> r = fq::Failure{fq::err::kMemory};
  Answer([&] { fq::win::ShowFailure(r); return 0; }, IDOK, failure, nullptr);
  CHECK_EQ(failure.text, std::string("Memory cannot be allocated."));
}
