#include "shell/win/open_document.h"

#include "album/win/album_commands.h"
#include "base/win/message_box.h"
#include "image/win/image_window.h"
#include "shell/command_line.h"
#include "shell/file_kind.h"
#include "show/win/show_commands.h"

namespace fq::win {
namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool OpenDocumentFile(HWND mdi_client, const std::string& path) {
  if (!Exists(path)) return false;
  switch (shell::OpenActionFor(shell::DetectFileKind(path))) {
    case shell::OpenAction::kBitmap:
    case shell::OpenAction::kJpeg:
      // The image window recognises the two kinds itself, raises a window
      // that already shows the file and decodes a JPEG through its
      // temporary bitmap file.
      return OpenImageDocument(mdi_client, path);
    case shell::OpenAction::kAlbum:
      return OpenAlbumDocument(mdi_client, path);
    case shell::OpenAction::kRefuse:
      break;
  }
  ShowError(err::kNoCorrespondence);
  return false;
}

bool OpenChosenFile(HWND mdi_client, const std::string& path) {
  switch (shell::DetectFileKind(path)) {
    case shell::FileKind::kAlbum:
      return OpenAlbumDocument(mdi_client, path);
    case shell::FileKind::kMovie:
      return PlayMovie(mdi_client, path);
    default:
      break;
  }
  ShowError(err::kNoCorrespondence);
  return false;
}

void OpenCommandLine(HWND mdi_client, std::string_view command_line) {
  for (const Result<std::string>& name : shell::ParseCommandLine(command_line)) {
    if (!name.ok()) {
      ShowError(name.message());
      continue;
    }
    OpenDocumentFile(mdi_client, name.value());
  }
}

void OpenHandOver(HWND mdi_client) {
  auto text = shell::ReadHandOverFile(shell::HandOverFilePath());
  // The second start waits for this message to be answered: let it go
  // before any window or message box of the opening appears.
  if (InSendMessage()) ReplyMessage(0);
  if (text) OpenCommandLine(mdi_client, *text);
}

}  // namespace fq::win
