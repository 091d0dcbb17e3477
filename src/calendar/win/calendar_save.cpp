#include "calendar/win/calendar_save.h"

#include <commdlg.h>

#include <cstdio>
#include <optional>
#include <string>

#include "base/file_io.h"
#include "base/region.h"
#include "base/settings.h"
#include "base/win/message_box.h"
#include "calendar/calendar_file.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

constexpr char kSaveAsTitle[] = "Save As";
constexpr char kCalendarFilter[] = "Calendar File(*.CAL)\0*.cal\0";
constexpr char kReplaceQuestion[] = "%s already exists.\nDo you want to replace it?";
constexpr char kOpenElsewhere[] =
    "Could not be saved on %s. \nFile may have already been opened.\nSave under a different "
    "name or close the file and execute again.";

struct SaveAsState {
  std::string path;  // the final name, ".cal" appended
  bool decided = false;
};

// Save was pressed: ".cal" is appended first, and only the final name is
// asked about. True keeps the dialog open.
bool OnFileOk(HWND hook, OPENFILENAMEA* ofn) {
  auto* state = reinterpret_cast<SaveAsState*>(ofn->lCustData);
  const std::string path = cal::CalendarFileName(ofn->lpstrFile);
  if (io::Fs().Exists(path)) {
    char text[MAX_PATH + 100];
    std::snprintf(text, sizeof text, kReplaceQuestion, path.c_str());
    if (MessageBoxA(GetParent(hook), text, kSaveAsTitle, MB_YESNO | MB_ICONWARNING) != IDYES)
      return true;
  }
  state->path = path;
  state->decided = true;
  return false;
}

UINT_PTR CALLBACK SaveAsHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY) return FALSE;
  auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
  if (note->hdr.code != CDN_FILEOK) return FALSE;
  SetWindowLongPtrA(hook, DWLP_MSGRESULT, OnFileOk(hook, note->lpOFN) ? 1 : 0);
  return TRUE;
}

std::optional<std::string> RunCalendarSaveAs(HWND owner, const ImageDocument& doc) {
  char file[MAX_PATH] = "";
  lstrcpynA(file, doc.path.c_str(), sizeof file);
  const std::string folder = settings::ReadLastFolder(settings::Store(), doc.folder);
  const std::string template_name = region::Code() == 3 ? "FILESAVE_JAPAN" : "FILESAVE";
  SaveAsState state;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kCalendarFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kSaveAsTitle;
  ofn.lpstrDefExt = "cal";
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_HIDEREADONLY |
              OFN_LONGNAMES | OFN_PATHMUSTEXIST;
  ofn.lpTemplateName = template_name.c_str();
  ofn.lpfnHook = SaveAsHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!GetSaveFileNameA(&ofn) || !state.decided) return std::nullopt;
  settings::WriteLastFolder(settings::Store(), state.path);
  return state.path;
}

}  // namespace

bool SaveCalendarDocument(HWND window, bool save_as) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc || !doc->calendar) return false;
  std::string path = doc->path;
  if (save_as || doc->untitled) {
    auto chosen = RunCalendarSaveAs(GetParent(GetParent(window)), *doc);
    if (!chosen) return false;
    path = *chosen;
    if (FindImageWindow(GetParent(window), path, window)) {
      char text[MAX_PATH + 200];
      std::snprintf(text, sizeof text, kOpenElsewhere, path.c_str());
      MessageBoxA(window, text, kAppCaption.data(), MB_OK | MB_ICONWARNING | MB_TASKMODAL);
      return false;
    }
  }
  // The photograph comes from the page's own calendar file once it has one.
  const std::string own_file = doc->untitled ? std::string() : doc->path;
  Status s = cal::SaveCalendarFile(path, *doc->calendar, own_file);
  if (!s) {
    ShowError(s.message());
    return false;
  }
  doc->path = path;
  doc->folder = FolderPartOf(path);
  doc->display_name = FileNameOf(path);
  doc->edit_counter = 0;
  doc->untitled = false;
  RefreshImageWindow(window);
  return true;
}

}  // namespace fq::win
