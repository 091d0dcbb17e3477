// "Data out to Camera...": the file dialog, then the portable upload flow
// with its messages, status window and progress dialog.
#include <windows.h>

#include <string>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/win/frame_link.h"
#include "base/win/message_box.h"
#include "base/win/meter.h"
#include "base/win/pump.h"
#include "base/win/status_dialogs.h"
#include "camera/upload.h"
#include "camera/win/camera_commands.h"
#include "camera/win/camera_session.h"
#include "image/win/open_dialog.h"

namespace fq::win {
namespace {

constexpr size_t kSelectionChars = 30720;
constexpr char kDialogTitle[] = "PC to DSC Jpeg File";
constexpr char kJpegFilter[] = "JPEG Files(*.JPG)\0*.jpg;*.jpeg\0All Files(*.*)\0*.*\0";
constexpr DWORD kLingerMs = 1000;

void ShowText(const std::string& text, const char* caption, UINT icon) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (HWND frame = FrameWindow()) SetForegroundWindow(frame);
  MessageBoxA(GetFocus(), text.c_str(), caption, icon | MB_OK | MB_TASKMODAL);
}

// The bar of the progress dialog while it shows.
class DialogMeter final : public UploadMeter {
 public:
  explicit DialogMeter(StatusOwner& status) : status_(status) {}
  HWND Bar() const { return status_.showing ? ProgressMeter(status_.status_window) : nullptr; }
  int Position() override { return Bar() ? MeterPos(Bar()) : 0; }
  int Range() override { return Bar() ? MeterRange(Bar()) : 0; }
  void SetPosition(int p) override {
    if (HWND b = Bar()) SetMeterPos(b, p);
  }
  void Pump() override { PumpMessages(); }
  void Linger() override { PumpWait(kLingerMs); }

 private:
  StatusOwner& status_;
};

class WindowsUploadUi final : public cam::UploadUi {
 public:
  explicit WindowsUploadUi(HWND owner) : meter_(status_) { status_.status_window = owner; }
  ~WindowsUploadUi() override { ShowProgressDialog(status_, false); }

  void ConnectionStatus(bool on) override { ShowConnectionStatus(status_, on); }
  void Refused(const cam::UploadFile& f, cam::Refusal why) override {
    switch (why) {
      case cam::Refusal::kNotTransferable:
        ShowText(cam::NotTransferableText(cam::BaseName(f.path)), std::string(kAppCaption).c_str(),
                 MB_ICONHAND);
        return;
      case cam::Refusal::kSegmentsUnreadable:
        ShowText(std::string(cam::kNotJpegFileBox), nullptr, 0);
        return;
      default:
        if (int m = cam::MessageOfRefusal(why); m >= 0) ShowError(m);
    }
  }
  void Progress(bool on) override { ShowProgressDialog(status_, on); }
  void Lines(std::string_view operation, std::string_view detail) override {
    if (status_.showing) SetProgressText(status_.status_window, operation, detail);
  }
  UploadMeter& Meter() override { return meter_; }
  void SetMeterRange(int range) override {
    if (HWND b = meter_.Bar()) win::SetMeterRange(b, range);
  }
  void OfferCancel(bool more) override {
    if (status_.showing) win::OfferCancel(status_.status_window, more);
    else if (!more) SetCancelRequested(false);
  }
  bool ConfirmCancel() override { return AskYesNo(ask::kCancelTransfer) == IDYES; }
  bool OpenMemoryList(cam::CameraLink& link) override { return OpenMemoryListAfterUpload(link); }

 private:
  StatusOwner status_;
  DialogMeter meter_;
};

}  // namespace

void DataOutCommand(HWND frame) {
  PictureFilesChoice choice = RunPictureFilesDialog(frame, kDialogTitle, kJpegFilter, kSelectionChars);
  if (choice.too_long) {
    ShowError(err::kFileNameTooLong);
    return;
  }
  if (!choice.chosen) return;
  const std::vector<std::string> paths = cam::SelectedFiles(choice.answer);
  if (paths.empty()) return;
  std::vector<cam::UploadFile> files(paths.size());
  for (size_t i = 0; i < files.size(); ++i) files[i].path = paths[i];
  CameraSession& session = Camera();
  session.frame = frame;
  WindowsUploadUi ui(frame);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  (void)cam::RunUpload(session.link, settings::Store(), files, ui);
  SetCursor(old);
}

}  // namespace fq::win
