// Everything on the clipboard, set aside while the screen capture of a
// palette display uses it, and put back afterwards.
#pragma once

#include <windows.h>

#include <vector>

#include "output/win/clipboard.h"

namespace fq::win {

class ClipboardKeeper {
 public:
  ClipboardKeeper() = default;
  ~ClipboardKeeper();
  ClipboardKeeper(const ClipboardKeeper&) = delete;
  ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

  // Copies every format the clipboard holds, then empties it. False when
  // the clipboard cannot be opened (nothing changed then).
  bool TakeAsideAndEmpty(HWND owner);
  // Puts every copy back, in its format, waiting a little for a clipboard
  // another program holds open; false when it never opened (the copies are
  // then kept for another try).
  bool PutBack(HWND owner);
  bool holding() const { return !items_.empty(); }

 private:
  struct Item {
    UINT format = 0;
    HANDLE handle = nullptr;  // a global block or a GDI object, by format
  };
  static void Free(Item& item);
  std::vector<Item> items_;
};

// Opens the clipboard, trying for up to `ms` while another program holds it.
bool OpenClipboardWithin(HWND owner, DWORD ms);

}  // namespace fq::win
