#include "base/win/frame_link.h"

namespace fq::win {
namespace {

class NoFrame final : public FrameLink {
 public:
  HWND Frame() override { return nullptr; }
  void DocumentChanged(HWND) override {}
  void DocumentClosing(HWND) override {}
  void SetStatusText(int, const char*, bool) override {}
};

NoFrame g_no_frame;
FrameLink* g_link = &g_no_frame;

}  // namespace

void InstallFrameLink(FrameLink* link) { g_link = link ? link : &g_no_frame; }
FrameLink& Frame() { return *g_link; }

}  // namespace fq::win
