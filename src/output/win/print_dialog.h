// The print dialog with the program's option panel, Print Setup, and the
// printer chosen in them, which is kept for the run (never stored).
#pragma once

#include <windows.h>

#include "base/settings.h"
#include "base/win/gdi.h"

namespace fq::win {

// What is being printed decides which option groups apply.
enum class PrintKind { kImage, kCalendar, kAlbum };

// The print dialog on "PRINT88C" (or "PRINT88C_EU"): one copy, no page
// numbers, no selection. Its panel opens with the stored options; OK
// stores those of `kind` and keeps the chosen printer. False on Cancel and
// when the system has no printer (it says so itself).
bool ShowPrintDialog(HWND owner, PrintKind kind, settings::PrintOptions& options);

// Print Setup: only the kept printer changes.
void ShowPrintSetup(HWND owner);

// A device context for the kept printer (the system's default printer
// while none has been chosen); null when it cannot be made.
class PrinterDC {
 public:
  PrinterDC() = default;
  explicit PrinterDC(HDC dc) : dc_(dc) {}
  ~PrinterDC() {
    if (dc_) DeleteDC(dc_);
  }
  PrinterDC(const PrinterDC&) = delete;
  PrinterDC& operator=(const PrinterDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_ = nullptr;
};
HDC CreateKeptPrinterDC();

}  // namespace fq::win
