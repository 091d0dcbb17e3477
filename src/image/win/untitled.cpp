#include "image/win/untitled.h"

namespace fq::win {
namespace {
int g_next = 1;
}  // namespace

int NextUntitledNumber() { return g_next++; }

}  // namespace fq::win
