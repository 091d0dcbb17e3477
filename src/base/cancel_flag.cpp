#include "base/cancel_flag.h"

namespace fq {
namespace {
bool g_cancel = false;
}  // namespace

bool CancelRequested() { return g_cancel; }
void SetCancelRequested(bool on) { g_cancel = on; }

}  // namespace fq
