#include "image/win/save.h"

#include <commdlg.h>
// The window system defines `small`, a parameter name of the Exif header.
#undef small

#include <cstdio>
#include <optional>
#include <string>

#include "base/win/message_box.h"
#include "calendar/win/calendar_save.h"
#include "image/bmp_file.h"
#include "image/exif.h"
#include "image/image_view.h"
#include "image/jpeg_file.h"
#include "image/jpeg_segments.h"
#include "image/win/coding_meter.h"
#include "image/win/image_display.h"
#include "image/win/image_document.h"
#include "base/file_io.h"
#include "base/region.h"
#include "base/settings.h"

namespace fq::win {
namespace {

constexpr char kSaveAsTitle[] = "Save As";
constexpr char kPictureFilter[] =
    "JPEG(standard)(*.JPG)\0*.jpg\0JPEG(Low Quality)(*.JPG)\0*.jpg\0"
    "JPEG(High Quality)(*.JPG)\0*.jpg\0Full Color BMP(*.BMP)\0*.bmp\0"
    "256 Color BMP(*.BMP)\0*.bmp\0";
constexpr char kReplaceQuestion[] = "%s already exists.\nDo you want to replace it?";
constexpr char kOpenElsewhere[] =
    "Could not be saved on %s. \nFile may have already been opened.\nSave under a different "
    "name or close the file and execute again.";
constexpr int kFileNameField = 0x47C;  // the name box of the explorer-style dialog
constexpr int kFirstPictureKind = view::kSaveJpegStandard;

struct SaveAsState {
  view::SaveChoice choice;
  bool decided = false;
};

// The type list changed: the name follows with the type's extension.
void OnTypeChange(HWND hook, OPENFILENAMEA* ofn) {
  HWND dialog = GetParent(hook);
  char typed[MAX_PATH] = "";
  SendMessageA(dialog, CDM_GETSPEC, sizeof typed, reinterpret_cast<LPARAM>(typed));
  const int kind = static_cast<int>(ofn->nFilterIndex) - 1 + kFirstPictureKind;
  std::string name = view::WithExtension(typed, view::ExtensionFor(kind));
  SendMessageA(dialog, CDM_SETCONTROLTEXT, kFileNameField, reinterpret_cast<LPARAM>(name.c_str()));
}

// Save was pressed: the kind and final name are decided first, and only that
// final name is asked about. True keeps the dialog open.
bool OnFileOk(HWND hook, OPENFILENAMEA* ofn) {
  auto* state = reinterpret_cast<SaveAsState*>(ofn->lCustData);
  const int kind = static_cast<int>(ofn->nFilterIndex) - 1 + kFirstPictureKind;
  view::SaveChoice choice = view::DecideSaveKind(ofn->lpstrFile, kind);
  if (io::Fs().Exists(choice.path)) {
    char text[MAX_PATH + 100];
    std::snprintf(text, sizeof text, kReplaceQuestion, choice.path.c_str());
    if (MessageBoxA(GetParent(hook), text, kSaveAsTitle, MB_YESNO | MB_ICONWARNING) != IDYES)
      return true;
  }
  state->choice = choice;
  state->decided = true;
  return false;
}

UINT_PTR CALLBACK SaveAsHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hook, GWLP_USERDATA, lp);
    return TRUE;
  }
  if (msg != WM_NOTIFY) return FALSE;
  auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
  switch (note->hdr.code) {
    case CDN_TYPECHANGE:
      OnTypeChange(hook, note->lpOFN);
      return TRUE;
    case CDN_FILEOK:
      SetWindowLongPtrA(hook, DWLP_MSGRESULT, OnFileOk(hook, note->lpOFN) ? 1 : 0);
      return TRUE;
  }
  return FALSE;
}

// The Save As dialog for a picture; nothing when cancelled.
std::optional<view::SaveChoice> RunSaveAsDialog(HWND owner, const ImageDocument& doc, int kind) {
  char file[MAX_PATH] = "";
  lstrcpynA(file, doc.path.c_str(), sizeof file);
  std::string folder = settings::ReadLastFolder(settings::Store(), doc.folder);
  std::string template_name = region::Code() == 3 ? "FILESAVE_JAPAN" : "FILESAVE";
  SaveAsState state;
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = kPictureFilter;
  ofn.nFilterIndex = view::IsJpegKind(kind) || kind == view::kSaveBmpFull || kind == view::kSaveBmp256
                         ? kind - 10
                         : 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kSaveAsTitle;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_HIDEREADONLY |
              OFN_LONGNAMES | OFN_PATHMUSTEXIST;
  ofn.lpTemplateName = template_name.c_str();
  ofn.lpfnHook = SaveAsHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  if (!GetSaveFileNameA(&ofn) || !state.decided) return std::nullopt;
  settings::WriteLastFolder(settings::Store(), state.choice.path);
  return state.choice;
}

// Shows a failure of the generated-segment road: its box, then its code.
void ShowExifFailure(const ExifFailure& f) {
  if (f.box != ExifMessage::kNone)
    MessageBoxA(nullptr, std::string(ExifMessageText(f.box)).c_str(), nullptr,
                MB_OK | MB_TASKMODAL);
  ShowError(f.error);
}

HWND FrameOf(HWND window) { return GetParent(GetParent(window)); }

int QualityFor(int kind) {
  return kind == view::kSaveJpegLow    ? kJpegQualityLow
         : kind == view::kSaveJpegHigh ? kJpegQualityHigh
                                       : kJpegQualityStandard;
}

// JPEG through the dialog: the picture (re-encoded, or the file's own bytes
// when unchanged) with a freshly generated Exif segment and thumbnail.
bool SaveJpegAs(HWND window, ImageDocument& doc, const ImageRecord& picture, bool reencode,
                int kind, const std::string& path) {
  std::optional<ExifFailure> failure;
  if (reencode) {
    CodingMeter meter(FrameOf(window), kCompressingText, doc.display_name);
    failure = SaveJpegWithExif(picture, path, QualityFor(kind), LocalNow(), kSampling2x1,
                               meter.Progress());
  } else {
    // The picture in the window is the one the file was decoded into or
    // encoded from: the thumbnail is made from it.
    failure = CopyJpegWithExif(doc.path, path, LocalNow(), &picture);
  }
  if (failure) ShowExifFailure(*failure);
  return !failure;
}

// JPEG without the dialog: the kept segments go back in place of the APP0
// segments; an edited picture's Exif date and size are brought up to date.
bool SaveJpegInPlace(HWND window, ImageDocument& doc, const ImageRecord& picture, bool reencode,
                     int kind) {
  KeptSegments kept = doc.kept.segments;  // the document keeps its own until saved
  Status s;
  if (!reencode) {
    s = RewriteWithSegments(doc.path, kept);
  } else {
    CodingMeter meter(FrameOf(window), kCompressingText, doc.display_name);
    s = SaveJpegKeepingSegments(picture, doc.path, QualityFor(kind), kept, doc.modified(),
                                LocalNow(), meter.Progress());
  }
  if (!s) ShowError(s.message());
  return s.ok();
}

// After a successful save: the new name, unmodified, and what the new file
// holds from now on.
void AdoptSavedFile(HWND window, ImageDocument& doc, const std::string& path, bool jpeg) {
  doc.path = path;
  doc.folder = FolderPartOf(path);
  doc.display_name = FileNameOf(path);
  doc.edit_counter = 0;
  doc.untitled = false;
  // A picture saved as BMP is a BMP source from now on, so that a later
  // Save never copies its bytes into a JPEG.
  doc.source_kind = jpeg ? view::kSourceJpeg : view::kSourceBmp;
  doc.kept = {};
  if (jpeg)
    if (auto header = ReadHeaderSegments(path); header.ok()) doc.kept = KeepSegments(*header);
  RefreshImageWindow(window);
}

}  // namespace

bool SaveImageDocument(HWND window, bool save_as) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) return false;
  if (doc->source_kind == view::kSourceCalendar) return SaveCalendarDocument(window, save_as);
  int kind = view::DefaultSaveKind(doc->source_kind, doc->bit_count);
  std::string path = doc->path;
  const bool through_dialog = save_as || doc->untitled;
  if (through_dialog) {
    auto choice = RunSaveAsDialog(FrameOf(window), *doc, kind);
    if (!choice) return false;
    kind = choice->kind;
    path = choice->path;
    if (FindImageWindow(GetParent(window), path, window)) {
      char text[MAX_PATH + 200];
      std::snprintf(text, sizeof text, kOpenElsewhere, path.c_str());
      MessageBoxA(window, text, kAppCaption.data(), MB_OK | MB_ICONWARNING | MB_TASKMODAL);
      return false;
    }
  }
  const bool jpeg = view::IsJpegKind(kind);
  const bool reencode = !jpeg || doc->source_kind != view::kSourceJpeg || doc->modified() ||
                        kind == view::kSaveJpegLow;
  DeviceBitmapReader from_device = [doc](int bits) {
    return ImageFromDeviceBitmap(doc->device_bitmap.get(), doc->display_palette.get(), 0, bits);
  };
  // The picture as written; it replaces the document's only once saved.
  Converted converted = Converted::Same();
  if (reencode) {
    auto c = ConvertForSave(doc->picture, kind == view::kSaveBmp256 ? 8 : 24, from_device);
    if (!c) {
      ShowError(c.message());
      return false;
    }
    converted = std::move(*c);
  }
  const ImageRecord& picture = converted.Or(doc->picture);
  bool ok;
  if (!jpeg) {
    Status s = WriteBitmapFile(path, picture);
    if (!s) ShowError(s.message());
    ok = s.ok();
  } else if (through_dialog) {
    ok = SaveJpegAs(window, *doc, picture, reencode, kind, path);
  } else {
    ok = SaveJpegInPlace(window, *doc, picture, reencode, kind);
  }
  if (!ok) return false;
  if (!converted.same()) ReplacePicture(window, *doc, std::move(converted.record()));
  AdoptSavedFile(window, *doc, path, jpeg);
  return true;
}

}  // namespace fq::win
