// The editor's road in a real image window, in process: an edit is
// committed only when its picture can be shown (a failure, reported once,
// changes nothing), a committed edit keeps the old picture for Undo, and the
// kept picture goes with its window.
#include <windows.h>

#include <map>
#include <string>

#include "base/file_io.h"
#include "base/settings_store.h"
#include "base/win/win_file_system.h"
#include "edit/geometry.h"
#include "edit/undo_slot.h"
#include "edit/win/undo.h"
#include "image/bmp_file.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"
#include "shell/win/frame_window.h"
#include "shell/win/shell_state.h"
#include "wintest.h"

namespace {

class MemoryStore final : public fq::settings::SettingsStore {
 public:
  int ReadInt(std::string_view, std::string_view, int def) override { return def; }
  std::string ReadString(std::string_view, std::string_view, std::string_view def, size_t) override {
    return std::string(def);
  }
  void WriteString(std::string_view, std::string_view, std::string_view) override {}
};

// Presses OK on the first box this thread shows, from another thread.
struct BoxAnswerer {
  DWORD ui_thread = GetCurrentThreadId();
  int boxes = 0;
  HANDLE thread = nullptr;
  static BOOL CALLBACK Find(HWND h, LPARAM lp) {
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof cls);
    // (The drawing-tool window is a dialog too.)
    const bool tool = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    if (std::string(cls) != "#32770" || !IsWindowVisible(h) || tool) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<BoxAnswerer*>(p);
    for (int i = 0; i < 500; ++i) {
      HWND box = nullptr;
      EnumThreadWindows(self->ui_thread, Find, reinterpret_cast<LPARAM>(&box));
      if (box) {
        ++self->boxes;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
      }
      Sleep(10);
    }
    return 0;
  }
  BoxAnswerer() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
  ~BoxAnswerer() {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
};

std::string TempBmp() {
  char folder[MAX_PATH] = "", path[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  GetTempFileNameA(folder, "EDT", 0, path);
  return path;
}

}  // namespace

WIN_TEST(EditCommitsOnlyWhatCanBeShownAndUndoGoesWithItsWindow) {
  MemoryStore store;
  fq::settings::SetStore(&store);
  fq::io::SetFileSystem(&fq::win::TheWinFileSystem());
  HINSTANCE inst = GetModuleHandleA(nullptr);
  fq::win::RegisterFrameClass(inst);
  fq::win::RegisterImageWindowClass(inst);
  HWND frame = fq::win::CreateFrameWindow(inst, LoadMenuA(inst, "DscMenu"));
  CHECK(frame != nullptr);
  if (!frame) return;
  HWND mdi = fq::win::Shell().mdi_client;

  const std::string path = TempBmp();
  auto picture = fq::ImageRecord::Create(30, 20, 24);
  CHECK(picture.ok() && fq::WriteBitmapFile(path, *picture).ok());
  CHECK(fq::win::OpenImageDocument(mdi, path));
  HWND window = fq::win::FindImageWindow(mdi, path);
  fq::win::ImageDocument* doc = fq::win::DocumentOf(window);
  CHECK(doc != nullptr);
  if (!doc) return;

  // A picture the display cannot take (rows missing): reported once, and
  // the document, its counter and the undo slot stay as they were.
  auto broken = fq::ImageRecord::Create(40, 40, 24);
  CHECK(broken->Resize(fq::kInfoHeaderSize).ok());
  {
    BoxAnswerer answer;
    CHECK(!fq::win::CommitEdit(window, std::move(*broken), fq::edit::kEditContent));
    Sleep(100);
    CHECK_EQ(answer.boxes, 1);
  }
  CHECK_EQ(doc->width, 30);
  CHECK_EQ(doc->edit_counter, 0);
  CHECK(!fq::win::UndoOffered(window));

  // A quarter turn: committed, the old picture kept for Undo.
  auto turned = fq::edit::RotateQuarter(doc->picture, fq::edit::Turn::kRight);
  CHECK(turned.ok());
  CHECK(fq::win::CommitEdit(window, std::move(*turned), 90));
  CHECK_EQ(doc->width, 20);
  CHECK_EQ(doc->height, 30);
  CHECK_EQ(doc->edit_counter, 1);
  CHECK(fq::win::UndoOffered(window));
  CHECK_EQ(fq::ImageWidth(fq::win::UndoSlotForTests().kept()), 30);
  CHECK(fq::win::ImageWindowStateOf(window)->undo_offered);

  // The window goes: so does what it kept.
  SendMessageA(mdi, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  CHECK(!IsWindow(window));
  CHECK(fq::win::UndoSlotForTests().kept().empty());
  CHECK(!fq::win::UndoOffered(window));

  DestroyWindow(frame);
  fq::settings::SetStore(nullptr);
  fq::io::SetFileSystem(nullptr);
  DeleteFileA(path.c_str());
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  // The classes go too: other tests register them afresh.
  UnregisterClassA("ORXDscFrame", inst);
  UnregisterClassA(fq::win::kImageWindowClass, inst);
}
