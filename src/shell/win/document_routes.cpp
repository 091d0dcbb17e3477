// Stand-ins for the image window's entry points, used only while the image
// window is not linked into the program: the real definitions replace these
// weak ones. The class is registered with the attributes the frame expects
// and a window procedure that behaves as a plain MDI child.
#include <string>

#include "camera/messages.h"
#include "image/win/image_window.h"
#include "shell/win/window_slots.h"
#include "shell_res.h"

namespace fq::win {
namespace {

LRESULT CALLBACK PlaceholderImageProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefMDIChildProcA(h, m, w, l);
}

void ShowNoImageWindow(const std::string& what) {
  const std::string text = "Picture windows are not available in this version yet:\n" + what;
  const std::string caption(kAppCaption);
  MessageBoxA(GetFocus(), text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace

__attribute__((weak)) bool RegisterImageWindowClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PlaceholderImageProc;
  wc.cbWndExtra = kDocumentExtraBytes;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_IMAGE));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kImageWindowClass;
  return RegisterClassA(&wc) != 0;
}

__attribute__((weak)) bool OpenImageDocument(HWND, const std::string& path) {
  ShowNoImageWindow(path);
  return false;
}

__attribute__((weak)) bool OpenFileCommand(HWND) {
  ShowNoImageWindow("File Open");
  return false;
}

__attribute__((weak)) bool ImageWindowCommand(HWND, HWND, int) { return false; }

__attribute__((weak)) bool IsImageWindow(HWND) { return false; }

__attribute__((weak)) bool IsImageModified(HWND) { return false; }

}  // namespace fq::win
