#include "show/win/show_commands.h"

#include "show/win/slide_options.h"

namespace fq::win {

void SlideShowStartCommand(HWND frame) { RunSlideShowStart(frame); }
void SlideShowOptionCommand(HWND frame) { RunSlideShowOptions(frame); }

}  // namespace fq::win
