#include "output/win/print_job.h"

#include "base/messages.h"
#include "base/win/message_box.h"

namespace fq::win {
namespace {

// One job at a time: the box, the frame it disabled, and Cancel.
struct JobState {
  HWND box = nullptr;
  HWND frame = nullptr;
  bool cancelled = false;
};
JobState g_job;

void EnableFrame() {
  if (g_job.frame) EnableWindow(g_job.frame, TRUE);
}

INT_PTR CALLBACK AbortBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        // The frame is usable at once; the job is aborted at its next step.
        g_job.cancelled = true;
        EnableFrame();
        DestroyWindow(dlg);
        g_job.box = nullptr;
      }
      return TRUE;
  }
  return FALSE;
}

// Between printing calls: every waiting message is handled until Cancel.
BOOL CALLBACK AbortProc(HDC, int) {
  MSG msg;
  while (!g_job.cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (g_job.box && IsDialogMessageA(g_job.box, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return g_job.cancelled ? FALSE : TRUE;
}

}  // namespace

bool PrintJob::BeginPrintJob(HWND frame, HDC dc, const std::string& name) {
  dc_ = dc;
  g_job = JobState{};
  g_job.box = CreateDialogParamA(GetModuleHandleA(nullptr), "PRTDLG", frame, AbortBoxProc, 0);
  if (!g_job.box) {
    ShowError(err::kPrintFailed);
    return false;
  }
  SetWindowTextA(g_job.box, name.c_str());
  ShowWindow(g_job.box, SW_SHOW);
  UpdateWindow(g_job.box);
  frame_ = frame;
  g_job.frame = frame;
  EnableWindow(frame, FALSE);
  SetAbortProc(dc, AbortProc);
  DOCINFOA di = {};
  di.cbSize = sizeof di;
  di.lpszDocName = name.c_str();
  started_ = StartDocA(dc, &di) > 0;
  return started_;
}

bool PrintJob::StartPage() {
  if (!started_ || cancelled()) return false;
  in_page_ = ::StartPage(dc_) > 0;
  return in_page_;
}

bool PrintJob::EndPage() {
  if (!in_page_) return false;
  in_page_ = false;
  if (cancelled()) return false;
  return ::EndPage(dc_) > 0;
}

bool PrintJob::KeepAlive() {
  AbortProc(dc_, 0);
  return !cancelled();
}

bool PrintJob::cancelled() const { return g_job.cancelled; }

void PrintJob::EndPrintJob() {
  if (!dc_) return;
  if (started_) {
    if (g_job.cancelled) {
      AbortDoc(dc_);
    } else {
      if (in_page_) ::EndPage(dc_);
      EndDoc(dc_);
    }
  }
  started_ = in_page_ = false;
  if (frame_) EnableWindow(frame_, TRUE);
  if (g_job.box) DestroyWindow(g_job.box);
  g_job = JobState{};
  dc_ = nullptr;
  frame_ = nullptr;
}

}  // namespace fq::win
