#include "shell/win/status_bar.h"

#include <commctrl.h>

#include <string>

#include "shell/commands.h"
#include "shell/frame_rules.h"
#include "base/region.h"
#include "shell/win/shell_state.h"

namespace fq::win {

HWND CreateStatusBar(HWND frame) {
  const std::string ready(cmd::ReadyText(region::Code()));
  return CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, ready.c_str(), frame,
                             shell::kStatusBarId);
}

void SetStatusParts(HWND status_bar, int client_width) {
  auto edges = shell::StatusBarPartEdges(region::Code(), client_width);
  int parts[shell::kStatusBarParts];
  for (int i = 0; i < shell::kStatusBarParts; ++i) parts[i] = edges[i];
  SendMessageA(status_bar, SB_SETPARTS, shell::kStatusBarParts, reinterpret_cast<LPARAM>(parts));
}

void SetStatusText(int part, std::string_view text, bool without_border) {
  HWND bar = Shell().status_bar;
  if (!bar) return;
  const std::string s(text);
  WPARAM how = static_cast<WPARAM>(part) | (without_border ? SBT_NOBORDERS : 0);
  SendMessageA(bar, SB_SETTEXTA, how, reinterpret_cast<LPARAM>(s.c_str()));
}

void ShowReady() { SetStatusText(0, cmd::ReadyText(region::Code())); }

}  // namespace fq::win
