// The command table of fqdriver. Each tests/app/driver/*.cpp file may add
// commands with a static FQ_DRIVER_COMMAND registration, so the driver grows
// with the program without one file knowing every command.
#pragma once

#include <windows.h>

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

}  // namespace fqdriver

#define FQ_DRIVER_COMMAND(name, args, argc, fn) \
  static ::fqdriver::Registrar fn##_registrar(name, args, argc, fn)
