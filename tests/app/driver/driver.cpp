// fqdriver: acts on the program's windows and on serial ports from another
// Wine process, the way a user or a camera would, for the end-to-end tests.
//
//   fqdriver <command> <arguments...>
//
// A window is named by its class and its title; "-" for the title takes the
// first window of the class. Every waiting command takes a timeout in
// milliseconds and fails (exit 1) when it runs out; exit 2 is a usage error.
#include "driver.h"

#include "dialog_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fqdriver {
namespace {

constexpr DWORD kPollMs = 10;
constexpr UINT kSendTimeoutMs = 5000;

HWND Find(const char* cls, const char* title) {
  return FindWindowA(cls, std::strcmp(title, "-") == 0 ? nullptr : title);
}

unsigned long long NowUnixMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  // 100-ns ticks since 1601 to milliseconds since 1970.
  return (t.QuadPart - 116444736000000000ULL) / 10000ULL;
}

DWORD ParseMs(const char* s) { return static_cast<DWORD>(std::strtoul(s, nullptr, 10)); }

}  // namespace

HWND Require(const char* cls, const char* title) {
  HWND h = Find(cls, title);
  if (!h) std::fprintf(stderr, "no window of class %s titled %s\n", cls, title);
  return h;
}

namespace {

int WaitWindow(char** a) {
  DWORD start = GetTickCount();
  DWORD timeout = ParseMs(a[2]);
  for (;;) {
    if (HWND h = Find(a[0], a[1]); h && IsWindowVisible(h)) {
      std::printf("hwnd=%p at_ms=%llu\n", static_cast<void*>(h), NowUnixMs());
      return kOk;
    }
    if (GetTickCount() - start >= timeout) break;
    Sleep(kPollMs);
  }
  std::fprintf(stderr, "timed out waiting for class %s titled %s\n", a[0], a[1]);
  return kFailed;
}

int WaitGone(char** a) {
  DWORD start = GetTickCount();
  DWORD timeout = ParseMs(a[2]);
  while (Find(a[0], a[1])) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "window of class %s titled %s still there\n", a[0], a[1]);
      return kFailed;
    }
    Sleep(kPollMs);
  }
  return kOk;
}

// Posted, not sent: a close that opens a message box must not block the
// driver.
int Close(char** a) {
  HWND h = Require(a[0], a[1]);
  return h && PostMessageA(h, WM_CLOSE, 0, 0) ? kOk : kFailed;
}

int GetText(char** a) {
  HWND h = Require(a[0], a[1]);
  if (!h) return kFailed;
  char buf[4096] = "";
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &n)) {
    return kFailed;
  }
  std::printf("%s\n", buf);
  return kOk;
}

// What a window and its class look like, as key=value lines. Only what the
// server keeps is readable from another process: the class's brush and icon
// read as 0 here.
int WindowInfo(char** a) {
  HWND h = Require(a[0], a[1]);
  if (!h) return kFailed;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r;
  GetWindowRect(h, &r);
  RECT c;
  GetClientRect(h, &c);
  char cls[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  std::printf("class=%s\n", cls);
  std::printf("class_style=0x%lx\n", static_cast<unsigned long>(GetClassLongPtrA(h, GCL_STYLE)));
  std::printf("class_extra_bytes=%ld\n", static_cast<long>(GetClassLongPtrA(h, GCL_CBWNDEXTRA)));
  std::printf("style=0x%lx\n", static_cast<unsigned long>(GetWindowLongPtrA(h, GWL_STYLE)));
  std::printf("ex_style=0x%lx\n", static_cast<unsigned long>(GetWindowLongPtrA(h, GWL_EXSTYLE)));
  std::printf("parent=%p\n", static_cast<void*>(GetParent(h)));
  std::printf("visible=%d\n", IsWindowVisible(h) ? 1 : 0);
  std::printf("rect=%d,%d,%d,%d\n", int(r.left), int(r.top), int(r.right), int(r.bottom));
  std::printf("client=%d,%d\n", int(c.right), int(c.bottom));
  std::printf("pid=%lu\n", static_cast<unsigned long>(pid));
  return kOk;
}

// The colour on the screen at a point of a window's client area, as
// rrggbb, beside the system colour it is compared with.
int ClientPixel(char** a) {
  HWND h = Require(a[0], a[1]);
  if (!h) return kFailed;
  POINT p{static_cast<LONG>(std::atoi(a[2])), static_cast<LONG>(std::atoi(a[3]))};
  ClientToScreen(h, &p);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) return kFailed;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::printf("pixel=%02x%02x%02x btnface=%02x%02x%02x\n", GetRValue(c), GetGValue(c),
              GetBValue(c), GetRValue(face), GetGValue(face), GetBValue(face));
  return kOk;
}

// A lambda cannot stand in for a callback here: callbacks use the Windows
// calling convention.
BOOL CALLBACK PrintWindow(HWND h, LPARAM) {
  char cls[256] = "", title[256] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, title, sizeof title);
  std::printf("%p %s \"%s\"%s\n", static_cast<void*>(h), cls, title,
              IsWindowVisible(h) ? " visible" : "");
  return TRUE;
}

int ListWindows(char**) {
  EnumWindows(PrintWindow, 0);
  return kOk;
}

// --- serial ports ---------------------------------------------------------

HANDLE OpenPort(const char* name) {
  std::string path = std::string("\\\\.\\") + name;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s (error %lu)\n", path.c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return nullptr;
  }
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  GetCommState(h, &dcb);
  dcb.BaudRate = CBR_9600;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  if (!SetCommState(h, &dcb)) {
    std::fprintf(stderr, "SetCommState failed on %s\n", name);
    CloseHandle(h);
    return nullptr;
  }
  // Reads return at once with what has arrived; the caller polls.
  COMMTIMEOUTS t = {};
  t.ReadIntervalTimeout = MAXDWORD;
  t.WriteTotalTimeoutConstant = 2000;
  SetCommTimeouts(h, &t);
  return h;
}

bool WritePort(HANDLE h, const char* text) {
  DWORD n = static_cast<DWORD>(std::strlen(text));
  DWORD put = 0;
  return WriteFile(h, text, n, &put, nullptr) && put == n;
}

// Reads until `count` bytes arrived or the timeout ran out.
std::string ReadPort(HANDLE h, size_t count, DWORD timeout) {
  std::string got;
  DWORD start = GetTickCount();
  while (got.size() < count && GetTickCount() - start < timeout) {
    char buf[256];
    DWORD n = 0;
    DWORD want = static_cast<DWORD>((std::min)(sizeof buf, count - got.size()));
    if (!ReadFile(h, buf, want, &n, nullptr)) break;
    if (n == 0) {
      Sleep(kPollMs);
      continue;
    }
    got.append(buf, n);
  }
  return got;
}

int ComWrite(char** a) {
  HANDLE h = OpenPort(a[0]);
  if (!h) return kFailed;
  bool ok = WritePort(h, a[1]);
  CloseHandle(h);
  return ok ? kOk : kFailed;
}

int ComRead(char** a) {
  HANDLE h = OpenPort(a[0]);
  if (!h) return kFailed;
  size_t count = std::strtoul(a[1], nullptr, 10);
  std::string got = ReadPort(h, count, ParseMs(a[2]));
  CloseHandle(h);
  std::printf("%s\n", got.c_str());
  return got.size() == count ? kOk : kFailed;
}

// Writes a text and reads the reply on the same open port, as the camera
// link does.
int ComExchange(char** a) {
  HANDLE h = OpenPort(a[0]);
  if (!h) return kFailed;
  if (!WritePort(h, a[1])) {
    std::fprintf(stderr, "write to %s failed\n", a[0]);
    CloseHandle(h);
    return kFailed;
  }
  size_t count = std::strtoul(a[2], nullptr, 10);
  std::string got = ReadPort(h, count, ParseMs(a[3]));
  CloseHandle(h);
  std::printf("%s\n", got.c_str());
  return got.size() == count ? kOk : kFailed;
}

struct Command {
  const char* name;
  const char* args;
  int argc;
  CommandFn run;
};

// The dialog commands come as table rows; others register themselves.
std::vector<Command>& Commands() {
  static std::vector<Command> commands = {FQ_DIALOG_COMMANDS};
  return commands;
}

FQ_DRIVER_COMMAND("wait-window", "CLASS TITLE TIMEOUT_MS", 3, WaitWindow);
FQ_DRIVER_COMMAND("wait-gone", "CLASS TITLE TIMEOUT_MS", 3, WaitGone);
FQ_DRIVER_COMMAND("close", "CLASS TITLE", 2, Close);
FQ_DRIVER_COMMAND("get-text", "CLASS TITLE", 2, GetText);
FQ_DRIVER_COMMAND("window-info", "CLASS TITLE", 2, WindowInfo);
FQ_DRIVER_COMMAND("client-pixel", "CLASS TITLE X Y", 4, ClientPixel);
FQ_DRIVER_COMMAND("list-windows", "", 0, ListWindows);
FQ_DRIVER_COMMAND("com-write", "COMn TEXT", 2, ComWrite);
FQ_DRIVER_COMMAND("com-read", "COMn COUNT TIMEOUT_MS", 3, ComRead);
FQ_DRIVER_COMMAND("com-exchange", "COMn TEXT REPLY_COUNT TIMEOUT_MS", 4, ComExchange);

int Usage() {
  std::fprintf(stderr, "usage: fqdriver <command> ...\n");
  for (const Command& c : Commands()) std::fprintf(stderr, "  %s %s\n", c.name, c.args);
  return kUsage;
}

}  // namespace

// Two files registering one name would make the link order pick the
// command; the driver refuses to start instead.
Registrar::Registrar(const char* name, const char* args, int argc, CommandFn run) {
  for (const Command& c : Commands()) {
    if (std::strcmp(c.name, name) == 0) {
      std::fprintf(stderr, "fqdriver: command %s registered twice\n", name);
      std::exit(kUsage);
    }
  }
  Commands().push_back({name, args, argc, run});
}

}  // namespace fqdriver

int main(int argc, char** argv) {
  using namespace fqdriver;
  if (argc < 2) return Usage();
  for (const Command& c : Commands()) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    if (argc - 2 != c.argc) return Usage();
    int rc = c.run(argv + 2);
    std::fflush(stdout);
    return rc;
  }
  return Usage();
}
