#include "camera/win/transfer_flow.h"

#include <commdlg.h>
#include <dlgs.h>

#include "album/album_thumbnail.h"
#include "album/win/album_commands.h"
#include "base/cancel_flag.h"
#include "base/file_io.h"
#include "base/settings.h"
#include "base/win/message_box.h"
#include "base/win/meter.h"
#include "base/win/status_dialogs.h"
#include "camera/link_codes.h"
#include "camera/win/camera_session.h"
#include "camera_res.h"
#include "image/jpeg_sampled.h"
#include "show/win/movie_picture.h"
#include "show/win/movie_writer.h"

namespace fq::win {
namespace {

constexpr char kFolderSelectTitle[] = "Folder Select";
// The name the hidden name field holds: only the folder of the returned
// path counts.
constexpr char kPlaceholderName[] = "DSC";

UINT_PTR CALLBACK FolderHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY) return FALSE;
  auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
  if (note->hdr.code == CDN_INITDONE) {
    HWND dialog = GetParent(hook);
    for (int id : {edt1, stc3, cmb1, stc2, cmb13}) SendMessageA(dialog, CDM_HIDECONTROL, id, 0);
    SendMessageA(dialog, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>("OK"));
  }
  return FALSE;
}

struct PathDialog {
  std::string folder;
};

INT_PTR CALLBACK StatusDirProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  auto* state = reinterpret_cast<PathDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      state = reinterpret_cast<PathDialog*>(lp);
      PlaceAtThird(dialog);
      SetDlgItemTextA(dialog, IDC_DIR_PATH, state->folder.c_str());
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: {
          char text[MAX_PATH] = "";
          GetDlgItemTextA(dialog, IDC_DIR_PATH, text, sizeof text);
          state->folder = text;
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDC_DIR_BROWSE:
          if (auto chosen = SelectFolder(dialog, state->folder)) {
            state->folder = *chosen;
            SetDlgItemTextA(dialog, IDC_DIR_PATH, chosen->c_str());
          }
          return TRUE;
        case IDCANCEL:
          if (AskYesNo(ask::kCloseWindow) == IDYES) EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// The checks of the chosen folder; the counter to start from, or nothing
// after the failure has been shown.
std::optional<int> CheckFolder(const std::string& folder, int camera_type, int count) {
  if (camera_type != 1) {
    Status drive = cam::CheckDrive(DriveKindOf(folder), io::Fs().IsFolder(folder));
    if (!drive) {
      ShowError(drive.message());
      return std::nullopt;
    }
  }
  auto counter = cam::CheckNumberSpace(folder, count);
  if (!counter) {
    ShowError(counter.message());
    return std::nullopt;
  }
  return *counter;
}

class WinDownloadView final : public cam::DownloadView {
 public:
  explicit WinDownloadView(HWND owner) : owner_(owner) { status_.status_window = owner; }
  ~WinDownloadView() override {
    ShowMovieMessage(movie_, false);
    ShowProgressDialog(status_, false);
  }

  bool OpenProgress() override { return ShowProgressDialog(status_, true); }
  void CloseProgress() override { ShowProgressDialog(status_, false); }
  void SetLines(std::string_view operation, std::string_view detail) override {
    if (status_.showing) SetProgressText(status_.status_window, operation, detail);
  }
  void SetMeter(int range, int position) override {
    if (!status_.showing) return;
    HWND meter = ProgressMeter(status_.status_window);
    if (MeterRange(meter) != range) SetMeterRange(meter, range);
    SetMeterPos(meter, position);
  }
  void OfferCancel(bool more_follow) override {
    if (status_.showing) win::OfferCancel(status_.status_window, more_follow);
  }
  bool AskYes(int question) override { return AskYesNo(question) == IDYES; }
  void ShowText(std::string_view text) override { ShowErrorText(text); }
  void MovieMessage(bool on) override {
    if (on) movie_.status_window = status_.showing ? status_.status_window : owner_;
    ShowMovieMessage(movie_, on);
  }
  bool NewAlbum() override {
    CameraSession& s = Camera();
    HWND album = NewUntitledAlbum(MdiClientOf(s.frame));
    if (!album) return false;
    s.receiving_album = album;
    NotifyWhenAlbumCloses(album, [](HWND closing) {
      CameraSession& c = Camera();
      if (c.receiving_album == closing) c.receiving_album = nullptr;
      c.filing.new_album = true;
    });
    return true;
  }
  bool AddToAlbum(const std::string& path, bool movie) override {
    CameraSession& s = Camera();
    if (!s.receiving_album || !IsWindow(s.receiving_album)) {
      if (!NewAlbum()) return false;
    }
    std::optional<ImageRecord> picture;
    if (movie) {
      picture = PictureFromMovie(path);
    } else {
      auto decoded = DecodeJpegSampled(path, [](int64_t w, int64_t h) {
        const album::FittedSize f = album::FitThumbnailSize(w, h);
        return SampledSize{f.width, f.height};
      });
      if (decoded) picture = std::move(*decoded);
    }
    if (!picture) {
      ShowError(err::kCreatingBitmap);
      return false;
    }
    return AddPictureToAlbum(s.receiving_album, path, *picture);
  }
  Status WriteMovie(std::span<const std::string> parts, uint8_t rate_mode,
                    const std::string& target) override {
    return WriteMovieFile(status_.showing ? status_.status_window : owner_, parts, rate_mode, target);
  }

 private:
  HWND owner_;
  StatusOwner status_;
  StatusOwner movie_;
};

}  // namespace

std::optional<std::string> SelectFolder(HWND owner, const std::string& start) {
  char file[MAX_PATH] = "";
  lstrcpynA(file, kPlaceholderName, sizeof file);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "*.*\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  ofn.lpstrTitle = kFolderSelectTitle;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_LONGNAMES | OFN_PATHMUSTEXIST |
              OFN_NOCHANGEDIR;
  ofn.lpfnHook = FolderHook;
  if (!GetSaveFileNameA(&ofn)) return std::nullopt;
  std::string folder = cam::FolderOfChosenPath(file);
  settings::Write(settings::Store(), settings::kDir, folder);
  return folder;
}

cam::DriveKind DriveKindOf(const std::string& folder) {
  std::string root;
  if (folder.size() >= 2 && folder[1] == ':') {
    root = folder.substr(0, 2) + "\\";
  } else if (folder.rfind("\\\\", 0) == 0) {
    return cam::DriveKind::kNetwork;
  } else {
    return cam::DriveKind::kOther;
  }
  const UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
  const UINT type = GetDriveTypeA(root.c_str());
  SetErrorMode(old);
  switch (type) {
    case DRIVE_REMOTE: return cam::DriveKind::kNetwork;
    case DRIVE_CDROM: return cam::DriveKind::kCdRom;
    default: return cam::DriveKind::kOther;
  }
}

std::optional<int> TransferPictures(HWND owner, std::vector<cam::TransferItem> items) {
  CameraSession& s = Camera();
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  std::string folder = settings::Read(settings::Store(), settings::kDir);
  if (folder.empty()) folder = current;
  std::optional<int> counter;
  while (!counter) {
    auto chosen = SelectFolder(owner, folder);
    if (!chosen) return std::nullopt;
    PathDialog path{*chosen};
    if (DialogBoxParamA(GetModuleHandleA(nullptr), "StatusDir", owner, StatusDirProc,
                        reinterpret_cast<LPARAM>(&path)) != IDOK)
      return std::nullopt;
    folder = path.folder;
    settings::Write(settings::Store(), settings::kDir, folder);
    counter = CheckFolder(folder, s.link.camera_type, static_cast<int>(items.size()));
  }
  cam::DownloadJob job;
  job.folder = folder;
  job.counter = *counter;
  job.items = std::move(items);
  job.filing = &s.filing;
  WinDownloadView view(owner);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const int code = cam::DownloadSelected(s.link, job, view);
  SetCursor(old);
  return code;
}

}  // namespace fq::win
