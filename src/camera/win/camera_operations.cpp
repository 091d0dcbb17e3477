#include "camera/win/camera_operations.h"

#include <string>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "base/win/message_box.h"
#include "base/win/status_dialogs.h"
#include "base_res.h"
#include "camera/delete_flows.h"
#include "camera/memory_list.h"
#include "camera/win/camera_session.h"
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
  // `owner` is the memory list; `list` its list box (type 1) or nullptr.
  WindowsDeleteUi(HWND owner, HWND list) : list_(list) { status_.status_window = owner; }
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
    if (list_ && row >= 0) SendMessageA(list_, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
  }
  // The camera renumbered: the rows again from the link's list.
  void RowsChanged() override {
    if (!list_) return;
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const cam::ListRow& row : cam::Type1Rows(Camera().link.listed))
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
  }

 private:
  HWND Dialog() const { return status_.showing ? status_.status_window : nullptr; }
  void Line(int id, std::string_view t) {
    if (HWND d = Dialog()) SetDlgItemTextA(d, id, std::string(t).c_str());
  }

  StatusOwner status_;
  HWND list_;
};

std::vector<int> Numbers(std::span<const int> numbers) { return {numbers.begin(), numbers.end()}; }

}  // namespace

int PreviewOnViewfinder(cam::CameraLink& link, HWND list, std::span<const int> numbers) {
  WindowsDeleteUi ui(GetParent(list), list);
  return cam::PreviewOnViewfinder(link, Numbers(numbers), ui);
}

int DeleteWithQuestions(cam::CameraLink& link, HWND list, std::span<const int> numbers,
                        std::vector<int>& deleted) {
  WindowsDeleteUi ui(GetParent(list), list);
  return cam::DeleteWithQuestions(link, Numbers(numbers), ui, deleted);
}

int DeleteAll(cam::CameraLink& link, HWND list, std::span<const int> numbers, std::vector<int>& deleted) {
  WindowsDeleteUi ui(GetParent(list), list);
  return cam::DeleteAll(link, Numbers(numbers), ui, deleted);
}

int DeleteSelected(cam::CameraLink& link, HWND grid, std::span<const cam::TransferItem> items,
                   std::vector<int>& deleted) {
  std::vector<cam::GridPicture> selection;
  for (const cam::TransferItem& i : items) selection.push_back({i.number, i.folder, i.file});
  WindowsDeleteUi ui(grid, nullptr);
  return cam::DeleteSelected(link, std::move(selection), ui, deleted);
}

}  // namespace fq::win
