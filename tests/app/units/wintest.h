// A very small test runner for the Win32 layer, run under Wine (the host's
// GoogleTest cannot be linked into a Wine program). Tests register with
// WIN_TEST; CHECK and CHECK_EQ record failures and go on.
#pragma once

#include <sstream>
#include <string>

namespace wintest {

using TestFn = void (*)();
struct Registrar {
  Registrar(const char* name, TestFn fn);
};
void Fail(const char* file, int line, const std::string& what);

template <class A, class B>
void CheckEq(const A& a, const B& b, const char* as, const char* bs, const char* file, int line) {
  if (a == b) return;
  std::ostringstream s;
  s << as << " == " << bs << " (" << a << " vs " << b << ")";
  Fail(file, line, s.str());
}

}  // namespace wintest

#define WIN_TEST(name)                                       \
  static void name();                                        \
  static ::wintest::Registrar name##_registrar(#name, name); \
  static void name()

#define CHECK(cond)                                                \
  do {                                                             \
    if (!(cond)) ::wintest::Fail(__FILE__, __LINE__, #cond);       \
  } while (0)

#define CHECK_EQ(a, b) ::wintest::CheckEq((a), (b), #a, #b, __FILE__, __LINE__)
