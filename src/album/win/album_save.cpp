#include "album/win/album_save.h"

#include <commdlg.h>

#include <cstdio>

#include "album/album_file.h"
#include "base/file_io.h"
#include "base/region.h"
#include "base/settings.h"

namespace fq::win {
namespace {

constexpr char kSaveAsTitle[] = "Save As";
constexpr char kAlbumFilter[] = "Album Files(*.ALB)\0*.alb\0";
constexpr char kReplaceQuestion[] = "%s already exists.\nDo you want to replace it?";

struct SaveState {
  std::string chosen;
};

// Save was pressed: the name gets its ".alb" first, and only that final
// name is asked about. True keeps the dialog open.
bool OnFileOk(HWND hook, OPENFILENAMEA* ofn) {
  auto* state = reinterpret_cast<SaveState*>(ofn->lCustData);
  const std::string path = album::WithAlbumExtension(ofn->lpstrFile);
  if (io::Fs().Exists(path)) {
    char text[MAX_PATH + 100];
    std::snprintf(text, sizeof text, kReplaceQuestion, path.c_str());
    if (MessageBoxA(GetParent(hook), text, kSaveAsTitle, MB_YESNO | MB_ICONWARNING) != IDYES) return true;
  }
  state->chosen = path;
  return false;
}

UINT_PTR CALLBACK SaveHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY) return FALSE;
  auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
  if (note->hdr.code != CDN_FILEOK) return FALSE;
  SetWindowLongPtrA(hook, DWLP_MSGRESULT, OnFileOk(hook, note->lpOFN) ? 1 : 0);
  return TRUE;
}

}  // namespace

std::optional<std::string> RunAlbumSaveDialog(HWND owner, const std::string& current_path) {
  char file[MAX_PATH] = "";
  lstrcpynA(file, current_path.c_str(), sizeof file);
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  const std::string folder = settings::ReadLastFolder(settings::Store(), current);
  const std::string template_name = region::Code() == region::kJapanese ? "FILESAVE_JAPAN" : "FILESAVE";
  SaveState state;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kAlbumFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kSaveAsTitle;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_HIDEREADONLY | OFN_LONGNAMES |
              OFN_PATHMUSTEXIST;
  ofn.lpTemplateName = template_name.c_str();
  ofn.lpfnHook = SaveHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!GetSaveFileNameA(&ofn) || state.chosen.empty()) return std::nullopt;
  settings::WriteLastFolder(settings::Store(), state.chosen);
  return state.chosen;
}

}  // namespace fq::win
