#include "base/win/message_box.h"

#include <windows.h>

#include <string>

#include "base/win/frame_link.h"

namespace fq::win {
namespace {

int Show(std::string_view text, UINT type) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  if (HWND frame = FrameWindow()) SetForegroundWindow(frame);
  std::string body(text);
  std::string caption(kAppCaption);
  return MessageBoxA(GetFocus(), body.c_str(), caption.c_str(), type | MB_TASKMODAL);
}

int ShowUndefinedAsNo() {
  Show(kUndefinedMessage, MB_ICONHAND | MB_OK);
  return IDNO;
}

}  // namespace

int ShowError(int index) { return Show(ErrorText(index), MB_ICONHAND | MB_OK); }

int ShowErrorText(std::string_view text) { return Show(text, MB_ICONHAND | MB_OK); }

int AskYesNo(int index) {
  if (!IsQuestionIndex(index)) return ShowUndefinedAsNo();
  return Show(QuestionText(index), MB_ICONQUESTION | MB_YESNO);
}

int AskYesNoCancel(int index, int number) {
  if (index != ask::kDeleteImageNo) return ShowUndefinedAsNo();
  return Show(FormatQuestion(index, number), MB_ICONQUESTION | MB_YESNOCANCEL);
}

int ShowResult(int result_code) {
  auto message = MessageForResult(result_code);
  return message ? ShowError(*message) : 0;
}

void ShowFailure(const Status& status) {
  if (!status.ok()) ShowError(status.message());
}

}  // namespace fq::win
