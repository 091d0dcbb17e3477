#include <cstdio>
#include <cstring>
#include <vector>

#include "wintest.h"

namespace wintest {
namespace {

struct Case {
  const char* name;
  TestFn fn;
};

std::vector<Case>& Cases() {
  static std::vector<Case> cases;
  return cases;
}

int g_failures = 0;

}  // namespace

Registrar::Registrar(const char* name, TestFn fn) { Cases().push_back({name, fn}); }

void Fail(const char* file, int line, const std::string& what) {
  ++g_failures;
  std::printf("  %s:%d: check failed: %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

}  // namespace wintest

// fqwintest [name filter]: runs the tests whose names contain the filter.
int main(int argc, char** argv) {
  int failed_tests = 0, run = 0;
  for (const auto& c : wintest::Cases()) {
    if (argc > 1 && !std::strstr(c.name, argv[1])) continue;
    int before = wintest::g_failures;
    std::printf("[ RUN  ] %s\n", c.name);
    std::fflush(stdout);
    c.fn();
    ++run;
    bool ok = wintest::g_failures == before;
    if (!ok) ++failed_tests;
    std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", c.name);
    std::fflush(stdout);
  }
  std::printf("%d tests, %d failed\n", run, failed_tests);
  return failed_tests == 0 && run > 0 ? 0 : 1;
}
