// The progress meter control, the progress and status dialogs, the message
// pump and the private-profile settings store, inside one process.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/cancel_flag.h"
#include "base/win/meter.h"
#include "base/win/pump.h"
#include "base/win/status_dialogs.h"
#include "base_res.h"
#include "base/win/profile_store.h"
#include "wintest.h"

namespace {

using namespace fq::win;
using fq::CancelRequested;
using fq::SetCancelRequested;

std::string ItemText(HWND dialog, int id) {
  char buf[512] = "";
  GetDlgItemTextA(dialog, id, buf, sizeof buf);
  return buf;
}

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void Setup() { RegisterMeterClass(GetModuleHandleA(nullptr)); }

int g_commands = 0;
int g_users = 0;
LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) ++g_commands;
  if (msg == WM_USER + 7) ++g_users;
  return DefWindowProcA(h, msg, wp, lp);
}

HWND PlainWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FqMeterUnitOwner";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowA("FqMeterUnitOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                       nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

WIN_TEST(MeterControlMessages) {
  Setup();
  HWND meter = CreateWindowA(ORX_METER_CLASS, "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  CHECK(meter != nullptr);
  CHECK_EQ(MeterRange(meter), 100);
  CHECK_EQ(MeterPos(meter), 0);
  SetMeterRange(meter, 25);
  SetMeterPos(meter, 13);
  CHECK_EQ(MeterRange(meter), 25);
  CHECK_EQ(MeterPos(meter), 13);
  CHECK_EQ(SendMessageA(meter, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_STATIC));
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(meter, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  CHECK(reinterpret_cast<HFONT>(SendMessageA(meter, WM_GETFONT, 0, 0)) == font);
  DestroyWindow(meter);
}

WIN_TEST(ProgressDialogStartsWithCancelHiddenButEnabled) {
  Setup();
  SetCancelRequested(true);
  HWND d = CreateProgressDialog(nullptr);
  CHECK(d != nullptr);
  if (!d) return;
  CHECK(!CancelRequested());
  CHECK_EQ(MeterRange(ProgressMeter(d)), 25);
  CHECK_EQ(MeterPos(ProgressMeter(d)), 0);
  CHECK(!Visible(d, IDCANCEL));
  CHECK(Enabled(d, IDCANCEL));
  CHECK_EQ(ItemText(d, IDC_METER_LINE1), std::string());
  // The Cancel command does nothing while Cancel is hidden.
  SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
  CHECK(!CancelRequested());
  DestroyWindow(d);
}

WIN_TEST(ProgressCancelOnceByKeyOrButton) {
  Setup();
  HWND d = CreateProgressDialog(nullptr);
  CHECK(d != nullptr);
  if (!d) return;
  SetProgressText(d, "Now Compressing image.", "File Name: a.jpg");
  CHECK_EQ(ItemText(d, IDC_METER_LINE2), std::string("File Name: a.jpg"));
  // Typing "C" asks, also while Cancel is hidden.
  SendMessageA(d, WM_CHAR, 'C', 1);
  CHECK(CancelRequested());
  CHECK_EQ(ItemText(d, IDC_METER_LINE2), std::string(kCancelNotice));
  CHECK(!Enabled(d, IDCANCEL));
  // A second request has no further effect.
  SetCancelRequested(false);
  SendMessageA(d, WM_CHAR, 'c', 1);
  CHECK(!CancelRequested());

  // The next item offers Cancel again; its button asks once more.
  OfferCancel(d, true);
  CHECK(Visible(d, IDCANCEL));
  CHECK(Enabled(d, IDCANCEL));
  SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
  CHECK(CancelRequested());
  // "c" typed while the Cancel button has the focus still reaches the dialog.
  OfferCancel(d, true);
  SetCancelRequested(false);
  SendMessageA(GetDlgItem(d, IDCANCEL), WM_CHAR, 'c', 1);
  CHECK(CancelRequested());
  // The last item: Cancel hidden and a pending request dropped.
  OfferCancel(d, false);
  CHECK(!Visible(d, IDCANCEL));
  CHECK(!CancelRequested());
  DestroyWindow(d);
}

WIN_TEST(StatusWindowsOverAnOwner) {
  Setup();
  HWND owner = PlainWindow();
  StatusOwner link;
  link.status_window = owner;
  // Removing when nothing shows leaves the owner alone.
  CHECK(ShowDeleteStatus(link, false));
  CHECK(IsWindow(owner));
  CHECK(link.status_window == owner);

  CHECK(ShowDeleteStatus(link, true));
  HWND d = link.status_window;
  CHECK(d != owner && IsWindow(d));
  CHECK(GetWindow(d, GW_OWNER) == owner);
  CHECK(!IsWindowEnabled(owner));
  CHECK(!Visible(d, IDCANCEL));
  SetCancelRequested(false);
  SendMessageA(d, WM_COMMAND, IDOK, 0);
  CHECK(CancelRequested());
  CHECK(!Enabled(d, IDCANCEL));

  // Another status window replaces it and still restores the same owner.
  CHECK(ShowConnectionStatus(link, true));
  CHECK(!IsWindow(d));
  CHECK_EQ(ItemText(link.status_window, IDC_STATUS_LINE1), std::string(kConnectingText));
  CHECK(ShowConnectionStatus(link, false));
  CHECK(link.status_window == owner);
  CHECK(IsWindowEnabled(owner));
  CHECK(!link.showing);
  DestroyWindow(owner);
}

WIN_TEST(MessageWindowTexts) {
  Setup();
  StatusOwner link;
  CHECK(ShowMovieMessage(link, true));
  CHECK_EQ(ItemText(link.status_window, IDC_AVI_MSG),
           std::string("Making AVI file now. Please wait a minute."));
  CHECK(ShowPreviewMessage(link, true));
  HWND d = link.status_window;
  char caption[64] = "";
  GetWindowTextA(d, caption, sizeof caption);
  CHECK_EQ(std::string(caption), std::string("Preview"));
  // The blink timer's ticks: text, empty, text.
  SendMessageA(d, WM_TIMER, 1, 0);
  CHECK_EQ(ItemText(d, IDC_PREVIEW_MSG), std::string(kPreviewBlinkText));
  SendMessageA(d, WM_TIMER, 1, 0);
  CHECK_EQ(ItemText(d, IDC_PREVIEW_MSG), std::string());
  SendMessageA(d, WM_TIMER, 1, 0);
  CHECK_EQ(ItemText(d, IDC_PREVIEW_MSG), std::string(kPreviewBlinkText));
  CHECK(ShowCardMessage(link, true));
  CHECK_EQ(ItemText(link.status_window, IDC_CARD_MSG),
           std::string("Now reading CF card data. please wait."));
  SendMessageA(link.status_window, WM_TIMER, 1, 0);
  CHECK_EQ(ItemText(link.status_window, IDC_CARD_MSG),
           std::string("Now reading CF card data, please wait."));
  ShowCardMessage(link, false);
  CHECK(link.status_window == nullptr);
}

WIN_TEST(PumpDropsCommandsAndKeepsQuit) {
  HWND w = PlainWindow();
  g_commands = g_users = 0;
  PostMessageA(w, WM_COMMAND, 100, 0);
  PostMessageA(w, WM_USER + 7, 0, 0);
  CHECK(PumpMessages());
  CHECK_EQ(g_commands, 0);
  CHECK_EQ(g_users, 1);

  PostQuitMessage(7);
  PostMessageA(w, WM_USER + 7, 0, 0);
  CHECK(!PumpMessages());
  MSG msg;
  // The quit comes back for the main loop.
  bool quit = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message == WM_QUIT) quit = msg.wParam == 7;
  CHECK(quit);
  DestroyWindow(w);
}

WIN_TEST(ProfileStoreReadsAndWrites) {
  char dir[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "fq_profile_unit.ini";
  DeleteFileA(path.c_str());
  ProfileStore s(path);
  CHECK_EQ(s.ReadInt("CAPTURE", "Time", 5), 5);
  CHECK_EQ(s.ReadString("ORXAPP", "com", "COM1", 16), std::string("COM1"));
  s.WriteString("capture", "time", "12x");
  s.WriteString("ORXAPP", "com", "COM1234567890123456789");
  s.WriteString("ORXAPP", "Tool", "-3");
  CHECK_EQ(s.ReadInt("CAPTURE", "Time", 5), 12);
  CHECK_EQ(s.ReadInt("ORXAPP", "Tool", 5), 0);
  CHECK_EQ(s.ReadString("orxapp", "COM", "", 16), std::string("COM123456789012"));
  s.WriteString("ORXAPP", "dir", "C:\\a\r\n[X]");
  CHECK_EQ(s.ReadString("ORXAPP", "dir", "", 260), std::string("C:\\a"));
  DeleteFileA(path.c_str());
}
