#include "shell/win/command_dispatch.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "album/win/album_commands.h"
#include "calendar/win/calendar_commands.h"
#include "base/messages.h"
#include "camera/win/camera_commands.h"
#include "edit/win/edit_commands.h"
#include "image/win/image_window.h"
#include "output/win/output_commands.h"
#include "shell/commands.h"
#include "shell/frame_rules.h"
#include "shell/win/frame_create.h"
#include "shell/win/help.h"
#include "shell/win/menu_apply.h"
#include "shell/win/open_document.h"
#include "shell/win/shell_state.h"
#include "shell/win/status_bar.h"
#include "shell/win/toolbar.h"
#include "shell/win/version_dialog.h"
#include "base/win/window_slots.h"
#include "show/win/show_commands.h"

namespace fq::win {
namespace {

using Handler = void (*)(HWND frame, int id);

HWND Mdi() { return Shell().mdi_client; }

// The active document window when it is of `kind`, else nullptr.
HWND ActiveOfKind(shell::WindowKind kind) {
  const shell::ShellState s = CurrentShellState();
  if (!s.document_window || s.kind != kind) return nullptr;
  return ActiveChild();
}

// Asks a window whether it may close (it answers as for the end of a
// session: its own save question) and destroys it if it agrees.
bool AskAndDestroy(HWND child) {
  if (!SendMessageA(child, WM_QUERYENDSESSION, 0, 0)) return false;
  SendMessageA(Mdi(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  return true;
}

std::vector<HWND> MdiChildren() {
  std::vector<HWND> children;
  if (!Mdi()) return children;
  for (HWND c = GetWindow(Mdi(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

// --- File ---------------------------------------------------------------

void OnNewAlbum(HWND, int) { NewAlbumCommand(Mdi()); }
void OnOpen(HWND, int) {
  OpenFileCommand(Mdi(), [](const std::string& path) { return OpenChosenFile(Mdi(), path); });
}

void OnClose(HWND frame, int id) {
  HWND active = ActiveChild();
  if (!active || !CurrentShellState().document_window) return;
  if (ImageWindowCommand(frame, active, id)) return;
  AskAndDestroy(active);
}

// Save, Save As, Image Information and the zoom and cutout items act on
// the active image or album.
void OnDocumentCommand(HWND frame, int id) {
  if (HWND image = ActiveOfKind(shell::WindowKind::kImage)) {
    ImageWindowCommand(frame, image, id);
  } else if (HWND album = ActiveOfKind(shell::WindowKind::kAlbum)) {
    if (id == cmd::kSave || id == cmd::kSaveAs || id == cmd::kImageInformation) AlbumCommand(album, id);
  }
}

void OnSlideShowStart(HWND frame, int) { SlideShowStartCommand(frame); }
void OnSlideShowOption(HWND frame, int) { SlideShowOptionCommand(frame); }

void SetCameraCommandsGreyed(bool greyed) {
  bool maximized = false;
  ActiveChild(&maximized);
  if (HMENU menu = Shell().menu) {
    HMENU popup = GetSubMenu(menu, cmd::CommunicationPopupIndex(maximized));
    if (popup)
      EnableMenuItem(popup, cmd::kFileCommunicationPosition,
                     MF_BYPOSITION | (greyed ? MF_GRAYED : MF_ENABLED));
  }
  if (HWND tb = Shell().toolbar) {
    const std::vector<shell::ItemState> buttons = {{cmd::kButtonDataIn, greyed},
                                                   {cmd::kButtonDataOut, greyed}};
    ApplyToolbarStates(tb, buttons);
  }
}

// The download pumps messages while it runs; CommBusy keeps the frame open
// and the camera commands greyed until it returns.
void OnDataIn(HWND frame, int) {
  SetCommBusy(true);
  SetCameraCommandsGreyed(true);
  DataInCommand(frame);
  SetCommBusy(false);
  SetCameraCommandsGreyed(false);
}

// Upload and camera setup run with the frame disabled.
void RunWithFrameDisabled(HWND frame, void (*flow)(HWND)) {
  EnableWindow(frame, FALSE);
  flow(frame);
  SetCommBusy(false);
  EnableWindow(frame, TRUE);
  SetFocus(frame);
}
void OnDataOut(HWND frame, int) { RunWithFrameDisabled(frame, DataOutCommand); }
void OnCameraSetup(HWND frame, int) { RunWithFrameDisabled(frame, CameraSetupCommand); }
void OnComPortSetup(HWND frame, int) { ComPortSetupCommand(frame); }

void OnCalendar(HWND, int id) {
  SetAllButtonsGreyed(Shell().toolbar, true);
  CalendarCommand(Mdi(), id);
  SetAllButtonsGreyed(Shell().toolbar, false);
}

void OnSchedule(HWND, int) {
  if (HWND image = ActiveOfKind(shell::WindowKind::kImage)) ScheduleCommand(image);
}

void OnCapture(HWND frame, int id) { CaptureCommand(frame, id); }

void OnPrint(HWND frame, int) {
  HWND doc = ActiveOfKind(shell::WindowKind::kImage);
  if (!doc) doc = ActiveOfKind(shell::WindowKind::kAlbum);
  if (doc) PrintCommand(frame, doc);
}
void OnPrintSetup(HWND frame, int) { PrintSetupCommand(frame); }

void OnExit(HWND frame, int) {
  if (CommBusy()) {
    ShowBusyRefusal(true);
    return;
  }
  SendMessageA(frame, WM_CLOSE, 0, 0);
}

// --- Edit and Image -----------------------------------------------------

void OnAlbumEdit(HWND, int id) {
  if (HWND album = ActiveOfKind(shell::WindowKind::kAlbum)) AlbumCommand(album, id);
}

void OnImageEdit(HWND, int id) {
  HWND image = ActiveOfKind(shell::WindowKind::kImage);
  if (!image) return;
  if (id == cmd::kRotateRight || id == cmd::kRotateLeft) SetStatusText(4, "");
  if (id == cmd::kUndo && TextToolHoldsText()) AbandonToolText();
  EditCommand(image, id);
}

// --- Window -------------------------------------------------------------

void OnCascade(HWND, int) { SendMessageA(Mdi(), WM_MDICASCADE, 0, 0); }
void OnTile(HWND, int) { SendMessageA(Mdi(), WM_MDITILE, MDITILE_HORIZONTAL, 0); }
void OnArrangeIcons(HWND, int) { SendMessageA(Mdi(), WM_MDIICONARRANGE, 0, 0); }
void OnCloseAll(HWND, int) { CloseAllDocuments(); }
void OnToolbarOnOff(HWND frame, int) { SetToolbarShown(frame, !Shell().toolbar_on); }
void OnStatusbarOnOff(HWND frame, int) { SetStatusBarShown(frame, !Shell().status_bar_on); }

void OnToolOnOff(HWND frame, int) {
  ShellWindows& s = Shell();
  s.toolbox_on = !s.toolbox_on;
  if (s.menu)
    CheckMenuItem(s.menu, cmd::kToolOnOff, MF_BYCOMMAND | (s.toolbox_on ? MF_CHECKED : MF_UNCHECKED));
  ShowToolWindow(frame, s.toolbox_on);
  if (s.toolbox_on) SetFocus(frame);
}

// --- Help ---------------------------------------------------------------

void OnHelpContents(HWND frame, int) { HelpContentsCommand(frame); }
void OnVersion(HWND frame, int) { ShowVersionDialog(frame); }

struct Route {
  int id;
  Handler run;
};

constexpr Route kRoutes[] = {
    {cmd::kNewAlbum, OnNewAlbum},
    {cmd::kOpen, OnOpen},
    {cmd::kClose, OnClose},
    {cmd::kSave, OnDocumentCommand},
    {cmd::kSaveAs, OnDocumentCommand},
    {cmd::kSlideShowStart, OnSlideShowStart},
    {cmd::kSlideShowOption, OnSlideShowOption},
    {cmd::kDataIn, OnDataIn},
    {cmd::kDataOut, OnDataOut},
    {cmd::kComPortSetup, OnComPortSetup},
    {cmd::kCameraSetup, OnCameraSetup},
    {cmd::kImageInformation, OnDocumentCommand},
    {cmd::kMonthlyCalendar, OnCalendar},
    {cmd::kYearlyCalendar, OnCalendar},
    {cmd::kSchedule, OnSchedule},
    {cmd::kDisplayCapture, OnCapture},
    {cmd::kWindowCapture, OnCapture},
    {cmd::kPrint, OnPrint},
    {cmd::kPrintSetup, OnPrintSetup},
    {cmd::kExit, OnExit},
    {cmd::kAddToAlbum, OnAlbumEdit},
    {cmd::kCut, OnAlbumEdit},
    {cmd::kCopy, OnAlbumEdit},
    {cmd::kPaste, OnAlbumEdit},
    {cmd::kUndo, OnImageEdit},
    {cmd::kImageAdjustment, OnImageEdit},
    {cmd::kRotateRight, OnImageEdit},
    {cmd::kRotateLeft, OnImageEdit},
    {cmd::kImageCutout, OnDocumentCommand},
    {cmd::kImageSize, OnImageEdit},
    {cmd::kZoom400, OnDocumentCommand},
    {cmd::kZoom200, OnDocumentCommand},
    {cmd::kZoom100, OnDocumentCommand},
    {cmd::kZoom50, OnDocumentCommand},
    {cmd::kZoom25, OnDocumentCommand},
    {cmd::kCascade, OnCascade},
    {cmd::kTile, OnTile},
    {cmd::kArrangeIcons, OnArrangeIcons},
    {cmd::kCloseAll, OnCloseAll},
    {cmd::kToolbarOnOff, OnToolbarOnOff},
    {cmd::kStatusbarOnOff, OnStatusbarOnOff},
    {cmd::kToolOnOff, OnToolOnOff},
    {cmd::kHelpContents, OnHelpContents},
    {cmd::kVersionInformation, OnVersion},
};

// Text still held by the text tool is fixed, kept for correction or
// dropped before another command; false when the command must not run.
bool SettleToolText() {
  if (!TextToolHoldsText()) return true;
  const std::string question(cmd::kFixTextQuestion), caption(cmd::kFixTextCaption);
  switch (MessageBoxA(nullptr, question.c_str(), caption.c_str(), MB_YESNOCANCEL | MB_TASKMODAL)) {
    case IDYES:
      FixToolText();
      return true;
    case IDNO:
      FocusToolText();
      return false;
    default:
      AbandonToolText();
      return false;
  }
}

}  // namespace

bool RunCommand(HWND frame, int id) {
  const int command = cmd::ButtonCommand(id).value_or(id);
  for (const Route& r : kRoutes) {
    if (r.id != command) continue;
    if (!SettleToolText()) return true;
    NotifyDrawingTools(frame);
    if (HWND active = ActiveChild()) InvalidateRect(active, nullptr, FALSE);
    r.run(frame, command);
    return true;
  }
  return false;
}

bool CloseAllDocuments() {
  for (HWND child : MdiChildren()) {
    if (GetWindow(child, GW_OWNER)) continue;  // an icon title
    SendMessageA(Mdi(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    AskAndDestroy(child);
  }
  return !Mdi() || GetWindow(Mdi(), GW_CHILD) == nullptr;
}

void ShowBusyRefusal(bool shutdown) {
  const std::string text(shutdown ? shell::kShutdownWhileBusy : shell::kCloseWhileBusy);
  const std::string caption(kAppCaption);
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

}  // namespace fq::win
