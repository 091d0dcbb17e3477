#include "shell/win/window_classes.h"

#include "album/win/album_commands.h"
#include "calendar/win/calendar_commands.h"
#include "base/win/meter.h"
#include "image/win/image_window.h"
#include "shell/win/frame_window.h"
#include "show/win/show_commands.h"

namespace fq::win {

bool RegisterWindowClasses(HINSTANCE instance) {
  if (!RegisterFrameClass(instance)) return false;
  RegisterImageWindowClass(instance);
  RegisterAlbumWindowClass(instance);
  RegisterAlbumButtonClass(instance);
  RegisterMeterClass(instance);
  RegisterSlideShowClass(instance);
  RegisterCalendarWindowClass(instance);
  RegisterMovieWindowClass(instance);
  return true;
}

}  // namespace fq::win
