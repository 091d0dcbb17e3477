// fqdriver commands for printing and screen capture: a PostScript printer
// in the prefix, a solid test window to capture, and the clipboard filled
// with several formats and dumped format by format.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace fqdriver {
namespace {

constexpr char kPsDriver[] = "Wine PostScript Driver";
constexpr char kTestFormat[] = "Fotaquill Test Format";

std::vector<char> ReadAll(const char* path) {
  std::vector<char> bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  return bytes;
}

// add-printer NAME PORT PPD: the PostScript driver with the PPD, a printer
// on PORT (a file name takes every job into that file) as the default.
int AddTestPrinter(char** a) {
  char dir[MAX_PATH] = "";
  DWORD need = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &need)) {
    std::fprintf(stderr, "no printer driver folder\n");
    return kFailed;
  }
  const std::string version_dir = std::string(dir) + "\\3";
  CreateDirectoryA(dir, nullptr);
  CreateDirectoryA(version_dir.c_str(), nullptr);
  const std::string ppd = version_dir + "\\generic.ppd";
  if (!CopyFileA(a[2], ppd.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s to %s\n", a[2], ppd.c_str());
    return kFailed;
  }
  DRIVER_INFO_3A di = {};
  di.cVersion = 3;
  di.pName = const_cast<char*>(kPsDriver);
  di.pDriverPath = const_cast<char*>("wineps.drv");
  di.pDataFile = const_cast<char*>("generic.ppd");
  di.pConfigFile = const_cast<char*>("wineps.drv");
  if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&di)) &&
      GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
    std::fprintf(stderr, "AddPrinterDriver failed (%lu)\n", static_cast<unsigned long>(GetLastError()));
    return kFailed;
  }
  HANDLE existing = nullptr;
  if (OpenPrinterA(a[0], &existing, nullptr)) {
    DeletePrinter(existing);
    ClosePrinter(existing);
  }
  PRINTER_INFO_2A pi = {};
  pi.pPrinterName = a[0];
  pi.pPortName = a[1];
  pi.pDriverName = const_cast<char*>(kPsDriver);
  pi.pPrintProcessor = const_cast<char*>("WinPrint");
  pi.pDatatype = const_cast<char*>("RAW");
  pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
  if (!printer) {
    std::fprintf(stderr, "AddPrinter failed (%lu)\n", static_cast<unsigned long>(GetLastError()));
    return kFailed;
  }
  ClosePrinter(printer);
  if (!SetDefaultPrinterA(a[0])) {
    std::fprintf(stderr, "SetDefaultPrinter failed\n");
    return kFailed;
  }
  return kOk;
}

// remove-printers: no printer left (the machine without one).
int RemovePrinters(char**) {
  DWORD need = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &need, &count);
  std::vector<BYTE> buf(need + 1);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buf.data(), need, &need, &count)) return kOk;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buf.data());
  for (DWORD i = 0; i < count; ++i) {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSA def = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(info[i].pPrinterName, &h, &def)) {
      DeletePrinter(h);
      ClosePrinter(h);
    }
  }
  return kOk;
}

LRESULT CALLBACK SolidProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(h, msg, wParam, lParam);
}

// solid-window X Y W H RRGGBB MS: a borderless window of one colour at the
// given screen rectangle, kept in the foreground for MS milliseconds.
int SolidWindow(char** a) {
  const unsigned long rgb = std::strtoul(a[4], nullptr, 16);
  HBRUSH brush = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = SolidProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = brush;
  wc.lpszClassName = "FqSolidWindow";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(WS_EX_TOPMOST, "FqSolidWindow", "solid", WS_POPUP | WS_VISIBLE,
                           std::atoi(a[0]), std::atoi(a[1]), std::atoi(a[2]), std::atoi(a[3]), nullptr,
                           nullptr, wc.hInstance, nullptr);
  if (!w) return kFailed;
  const DWORD start = GetTickCount(), ms = std::strtoul(a[5], nullptr, 10);
  std::printf("shown\n");
  std::fflush(stdout);
  int ticks = 0, in_front = 0;
  while (GetTickCount() - start < ms) {
    ++ticks;
    if (GetForegroundWindow() == w) ++in_front;
    else SetForegroundWindow(w);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(50);
  }
  DestroyWindow(w);
  DeleteObject(brush);
  std::printf("in front %d of %d ticks\n", in_front, ticks);
  return kOk;
}

HGLOBAL Block(const void* p, size_t n) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
  if (!h) return nullptr;
  std::memcpy(GlobalLock(h), p, n);
  GlobalUnlock(h);
  return h;
}

bool OpenClip() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// clipboard-fill TEXT BMP_FILE EXTRA: text, the bitmap of a BMP file as a
// device-independent bitmap, and EXTRA in a format of the test's own.
int ClipboardFill(char** a) {
  const std::vector<char> bmp = ReadAll(a[1]);
  if (bmp.size() <= 14) return kFailed;
  const UINT own = RegisterClipboardFormatA(kTestFormat);
  if (!OpenClip()) return kFailed;
  EmptyClipboard();
  bool ok = SetClipboardData(CF_TEXT, Block(a[0], std::strlen(a[0]) + 1)) != nullptr;
  ok = ok && SetClipboardData(CF_DIB, Block(bmp.data() + 14, bmp.size() - 14)) != nullptr;
  ok = ok && SetClipboardData(own, Block(a[2], std::strlen(a[2]) + 1)) != nullptr;
  CloseClipboard();
  return ok ? kOk : kFailed;
}

// clipboard-dump: one line per format the program put there itself (text,
// bitmap, the test's own): its name, size and a hash of its bytes.
int ClipboardDump(char**) {
  const UINT own = RegisterClipboardFormatA(kTestFormat);
  if (!OpenClip()) return kFailed;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
    char name[128] = "";
    if (!GetClipboardFormatNameA(f, name, sizeof name)) std::snprintf(name, sizeof name, "#%u", f);
    if (f != CF_TEXT && f != CF_DIB && f != own) {
      std::printf("format %s\n", name);
      continue;
    }
    HGLOBAL h = GetClipboardData(f);
    const auto* p = static_cast<const unsigned char*>(h ? GlobalLock(h) : nullptr);
    size_t n = p ? GlobalSize(h) : 0;
    if (f == CF_TEXT && p) n = std::strlen(reinterpret_cast<const char*>(p)) + 1;
    unsigned long long hash = 1469598103934665603ULL;
    for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 1099511628211ULL;
    std::printf("data %s size=%zu hash=%016llx\n", name, n, hash);
    if (p) GlobalUnlock(h);
  }
  CloseClipboard();
  return kOk;
}

unsigned long long NowMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return (t.QuadPart - 116444736000000000ULL) / 10000ULL;
}

// click-at TITLE ID: clicks a button of the program's dialog of that title
// and prints the moment (ms since 1970), for timing what follows.
int ClickAt(char** a) {
  HWND d = ProgramDialog(a[0]);
  HWND c = d ? GetDlgItem(d, std::atoi(a[1])) : nullptr;
  if (!c) return kFailed;
  const unsigned long long at = NowMs();
  if (!PostMessageA(c, BM_CLICK, 0, 0)) return kFailed;
  std::printf("at_ms=%llu\n", at);
  return kOk;
}

// wait-untitled COUNT TIMEOUT_MS: waits until the frame's MDI client holds
// COUNT windows titled "Untitled ..." and prints that moment.
int WaitUntitled(char** a) {
  const int want = std::atoi(a[0]);
  const DWORD start = GetTickCount(), timeout = std::strtoul(a[1], nullptr, 10);
  for (;;) {
    HWND frame = FindWindowA("ORXDscFrame", nullptr);
    HWND client = frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
    int n = 0;
    for (HWND c = client ? GetWindow(client, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
      char title[64] = "";
      GetWindowTextA(c, title, sizeof title);
      if (std::strncmp(title, "Untitled", 8) == 0) ++n;
    }
    if (n >= want) {
      std::printf("at_ms=%llu\n", NowMs());
      return kOk;
    }
    if (GetTickCount() - start >= timeout) return kFailed;
    Sleep(5);
  }
}

}  // namespace

FQ_DRIVER_COMMAND("click-at", "TITLE ID", 2, ClickAt);
FQ_DRIVER_COMMAND("wait-untitled", "COUNT TIMEOUT_MS", 2, WaitUntitled);
FQ_DRIVER_COMMAND("add-printer", "NAME PORT PPD", 3, AddTestPrinter);
FQ_DRIVER_COMMAND("remove-printers", "", 0, RemovePrinters);
FQ_DRIVER_COMMAND("solid-window", "X Y W H RRGGBB MS", 6, SolidWindow);
FQ_DRIVER_COMMAND("clipboard-fill", "TEXT BMP_FILE EXTRA", 3, ClipboardFill);
FQ_DRIVER_COMMAND("clipboard-dump", "", 0, ClipboardDump);

}  // namespace fqdriver
