// A print job behind the "Printing..." box: the printer context, the
// document, the abort procedure that keeps the program alive while the
// printer works, and Cancel.
#pragma once

#include <windows.h>

#include <string>

namespace fq::win {

class PrintJob {
 public:
  PrintJob() = default;
  ~PrintJob() { EndPrintJob(); }
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // Shows "PRTDLG" captioned with `name`, disables the frame, installs the
  // abort procedure and starts the document. False when the box cannot be
  // made (error 43 shown) or the document does not start (nothing shown);
  // EndPrintJob() then undoes what was done.
  bool BeginPrintJob(HWND frame, HDC dc, const std::string& name);
  // Ends the document, or aborts it after Cancel; the frame comes back and
  // the box goes. Safe to call twice.
  void EndPrintJob();

  bool StartPage();
  bool EndPage();
  // Takes the waiting messages (Cancel among them); false once cancelled.
  bool KeepAlive();
  bool cancelled() const;

 private:
  HDC dc_ = nullptr;
  HWND frame_ = nullptr;
  bool started_ = false;
  bool in_page_ = false;
};

}  // namespace fq::win
