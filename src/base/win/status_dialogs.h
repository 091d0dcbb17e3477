// The small modeless windows shown over long camera and coding work: the
// progress dialog with its percentage bar and Cancel button, the connection
// and delete status dialogs and three one-line message windows. Each is
// shown and removed over an owner window, which stays disabled meanwhile;
// Cancel requests reach the working loop through the process-wide cancel
// flag (camera/cancel_flag.h) while it pumps messages (pump.h).
#pragma once

#include <windows.h>

#include <string_view>

namespace fq::win {

inline constexpr std::string_view kCancelNotice = "It ends the forwarding of a image. Please wait.\n";
inline constexpr std::string_view kConnectingText =
    "Now establishing Communication Connection.\nPlease Wait.";
inline constexpr std::string_view kPreviewBlinkText = "Now transferring thumbnails, please wait.";
inline constexpr std::string_view kCardBlinkText = "Now reading CF card data, please wait.";

// The status-window part of the camera connection record. `status_window`
// holds the owner while no status window shows, and the status window while
// one does; the owner is then kept in `saved_owner`.
struct StatusOwner {
  HWND status_window = nullptr;
  HWND saved_owner = nullptr;
  bool showing = false;
};

// Each shows (on) or removes (off) its window over link.status_window. On:
// the window is created, shown, focused and the owner disabled; a window
// that cannot be made is reported (the unexpected-error message), the owner
// is enabled again and the answer is false. Off: the owner is enabled and
// focused again and the window destroyed; nothing happens when none shows.
// One status window shows at a time: showing another removes the first.
bool ShowProgressDialog(StatusOwner& link, bool on);    // "MeterDlg", "MeterDlg_EU"
bool ShowConnectionStatus(StatusOwner& link, bool on);  // "DscStartStatusDlg"
bool ShowDeleteStatus(StatusOwner& link, bool on);      // "DscStatusDlg"
bool ShowPreviewMessage(StatusOwner& link, bool on);    // "PREVIEWMSG"
bool ShowCardMessage(StatusOwner& link, bool on);       // "CFCARDMSG"
bool ShowMovieMessage(StatusOwner& link, bool on);      // "AVIMSG"

// The progress dialog of the region in force, created over `owner` (which
// this does not disable) and shown; nullptr on failure, reported by the
// caller.
HWND CreateProgressDialog(HWND owner);
// Its two text lines: the operation and the detail (file name).
void SetProgressText(HWND dialog, std::string_view operation, std::string_view detail);
// Its bar.
HWND ProgressMeter(HWND dialog);
// Before each item of a batch: Cancel is shown, enabled and focused when more
// items follow; for the last item it is hidden and a pending request dropped.
void OfferCancel(HWND dialog, bool more_items_follow);

// A progress dialog for the length of one coding: the owner is disabled, the
// dialog made and shown; on destruction the owner is enabled and focused
// again and the dialog destroyed.
class ProgressDialog {
 public:
  explicit ProgressDialog(HWND owner);
  ~ProgressDialog();
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;
  HWND get() const { return dialog_; }
  explicit operator bool() const { return dialog_ != nullptr; }

 private:
  HWND owner_;
  HWND dialog_;
};

// Places a window centred horizontally on the screen, at a third of the free
// height from the top.
void PlaceAtThird(HWND window);

}  // namespace fq::win
