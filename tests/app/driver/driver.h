// The command table of fqdriver. Each tests/app/driver/*.cpp file may add
// commands with a static FQ_DRIVER_COMMAND registration, so the driver grows
// with the program without one file knowing every command.
#pragma once

#include <windows.h>

#include <string>

namespace fqdriver {

inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

using CommandFn = int (*)(char** args);
struct Registrar {
  Registrar(const char* name, const char* args, int argc, CommandFn run);
};

// The top-level window of a class and a title ("-": any title), or null
// with a message on stderr.
HWND Require(const char* cls, const char* title);

// The process of the program's frame (0 when it is not running).
DWORD ProgramProcess();

// The program's visible dialog (class #32770) with exactly that title, now
// (null when there is none).
HWND ShownDialog(const char* title);

// The same, waited for up to `timeout_ms`; null with a message on stderr.
HWND ProgramDialog(const char* title, DWORD timeout_ms = 10000);

// A window's text, asked for with a time limit (a hung program gives "").
std::string TextOf(HWND h);

}  // namespace fqdriver

#define FQ_DRIVER_COMMAND(name, args, argc, fn) \
  static ::fqdriver::Registrar fn##_registrar(name, args, argc, fn)
