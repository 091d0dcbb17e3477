// Viewfinder preview and deletion from the memory lists: the portable flows
// with the "DscStatusDlg" status dialog, the questions as message boxes and
// the "DSCSTATUSDLGDEL" dialog of the picture grids.
#include <windows.h>

#include <string>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "base/win/message_box.h"
#include "base/win/status_dialogs.h"
#include "base_res.h"
#include "camera/win/camera_commands.h"
#include "camera_res.h"

namespace fq::win {
namespace {

struct DeleteQuestion {
  int number;
  bool offer_all;
};

INT_PTR CALLBACK DeleteQuestionProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* q = reinterpret_cast<const DeleteQuestion*>(lp);
      SetDlgItemTextA(dialog, IDC_DELETE_LINE1, std::string(cam::kDeletingText).c_str());
      SetDlgItemTextA(dialog, IDC_DELETE_LINE2,
                      FormatQuestion(ask::kDeleteImageNo, q->number).c_str());
      EnableWindow(GetDlgItem(dialog, IDC_DELETE_ALL), q->offer_all);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_DELETE_YES:
        case IDC_DELETE_ALL:
        case IDC_DELETE_NO:
        case IDC_DELETE_CANCEL:
          EndDialog(dialog, LOWORD(wp));
          return TRUE;
        case IDCANCEL:  // Escape, or the close box
          EndDialog(dialog, IDC_DELETE_CANCEL);
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

class WindowsDeleteUi final : public cam::DeleteUi {
 public:
  WindowsDeleteUi(HWND owner, const ListHooks& hooks) : hooks_(hooks) {
    status_.status_window = owner;
  }
  ~WindowsDeleteUi() override { ShowDeleteStatus(status_, false); }

  void Status(bool on) override { ShowDeleteStatus(status_, on); }
  void Line303(std::string_view t) override { Line(IDC_STATUS_LINE1, t); }
  void Line304(std::string_view t) override { Line(IDC_STATUS_LINE2, t); }
  void OfferCancel(bool more) override {
    if (status_.showing) win::OfferCancel(status_.status_window, more);
    else if (!more) SetCancelRequested(false);
  }
  bool Confirm(int question) override { return AskYesNo(question) == IDYES; }
  cam::DeleteAnswer AskDelete(int number) override {
    HWND dialog = Dialog();
    if (dialog) EnableWindow(dialog, FALSE);
    const int answer = AskYesNoCancel(ask::kDeleteImageNo, number);
    if (dialog) EnableWindow(dialog, TRUE);
    if (answer == IDYES) return cam::DeleteAnswer::kYes;
    return answer == IDCANCEL ? cam::DeleteAnswer::kCancel : cam::DeleteAnswer::kNo;
  }
  cam::DeleteAnswer AskDeleteInDialog(int number, bool offer_all) override {
    DeleteQuestion q{number, offer_all};
    const INT_PTR answer =
        DialogBoxParamA(GetModuleHandleA(nullptr), "DSCSTATUSDLGDEL", Dialog(), DeleteQuestionProc,
                        reinterpret_cast<LPARAM>(&q));
    switch (answer) {
      case IDC_DELETE_YES: return cam::DeleteAnswer::kYes;
      case IDC_DELETE_ALL: return cam::DeleteAnswer::kDeleteAll;
      case IDC_DELETE_NO: return cam::DeleteAnswer::kNo;
      default: return cam::DeleteAnswer::kCancel;
    }
  }
  void Caret(int row) override {
    if (hooks_.caret) hooks_.caret(row);
  }
  void RowsChanged() override {
    if (hooks_.rows_changed) hooks_.rows_changed();
  }

 private:
  HWND Dialog() const { return status_.showing ? status_.status_window : nullptr; }
  void Line(int id, std::string_view t) {
    if (HWND d = Dialog()) SetDlgItemTextA(d, id, std::string(t).c_str());
  }

  StatusOwner status_;
  ListHooks hooks_;
};

}  // namespace

int PreviewRows(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                const ListHooks& hooks) {
  WindowsDeleteUi ui(owner, hooks);
  return cam::PreviewOnViewfinder(link, rows, ui);
}

int DeleteRowsAsking(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                     const ListHooks& hooks) {
  WindowsDeleteUi ui(owner, hooks);
  return cam::DeleteWithQuestions(link, rows, ui);
}

int DeleteAllRows(HWND owner, cam::CameraLink& link, const std::vector<int>& rows,
                  const ListHooks& hooks) {
  WindowsDeleteUi ui(owner, hooks);
  return cam::DeleteAll(link, rows, ui);
}

int DeleteGridPictures(HWND owner, cam::CameraLink& link,
                       const std::vector<cam::GridPicture>& selection, std::vector<int>& deleted) {
  WindowsDeleteUi ui(owner, {});
  return cam::DeleteSelected(link, selection, ui, deleted);
}

}  // namespace fq::win
