#include "shell/win/single_instance.h"

#include <string>

#include "shell/command_line.h"
#include "shell/frame_rules.h"

namespace fq::win {
namespace {

struct Search {
  std::string_view cls;
  std::string_view prefix;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  char cls[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (s->cls != cls) return TRUE;
  char title[256] = "";
  GetWindowTextA(h, title, sizeof title);
  if (std::string_view(title).substr(0, s->prefix.size()) != s->prefix) return TRUE;
  s->found = h;
  return FALSE;
}

// Long enough for a running instance that opens what it was handed; it
// answers at once and only then opens the files.
constexpr UINT kHandOverAnswerMs = 10000;

}  // namespace

HWND FindTopLevelWindow(std::string_view cls, std::string_view title_prefix) {
  Search s{cls, title_prefix};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool HandOverToRunningInstance(std::string_view command_line) {
  HWND running = FindTopLevelWindow(shell::kFrameClass, shell::kFrameTitle);
  if (!running) return false;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
  if (command_line.empty()) return true;
  // The running instance is told only about a file written whole: an older
  // or half-written list must never be opened there.
  if (!shell::WriteHandOverFile(shell::HandOverFilePath(), command_line).ok()) return true;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(running, shell::kMsgHandOver, 0, 0, SMTO_NORMAL, kHandOverAnswerMs,
                      &ignored);
  return true;
}

}  // namespace fq::win
