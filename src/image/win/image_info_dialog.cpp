#include "image/win/image_info_dialog.h"
// The window system defines `small`, a parameter name of the Exif header.
#undef small

#include "base/win/message_box.h"
#include "image/image_information.h"
#include "image/win/image_document.h"
#include "image_res.h"
#include "base/region.h"

namespace fq::win {
namespace {

static_assert(IDC_INFO_FILE_NAME == exif_dialog::kFileName && IDC_INFO_HEIGHT == exif_dialog::kHeight &&
              IDC_INFO_WIDTH == exif_dialog::kWidth && IDC_INFO_MODIFIED == exif_dialog::kModified);

struct Field {
  int id;
  std::string ImageInformationTexts::*text;
};
constexpr Field kFields[] = {
    {exif_dialog::kFileName, &ImageInformationTexts::file_name},
    {exif_dialog::kLocation, &ImageInformationTexts::location},
    {exif_dialog::kManufacture, &ImageInformationTexts::manufacture},
    {exif_dialog::kModel, &ImageInformationTexts::model},
    {exif_dialog::kCreated, &ImageInformationTexts::created},
    {exif_dialog::kModified, &ImageInformationTexts::modified},
    {exif_dialog::kWidth, &ImageInformationTexts::width},
    {exif_dialog::kHeight, &ImageInformationTexts::height},
};

ExifDateTime FromFileTime(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME t;
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

FileTimes TimesOf(const std::string& path) {
  FileTimes times;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    times.created = FromFileTime(data.ftCreationTime);
    times.modified = FromFileTime(data.ftLastWriteTime);
  }
  return times;
}

INT_PTR CALLBACK InformationProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* texts = reinterpret_cast<const ImageInformationTexts*>(lp);
      SetWindowTextA(dialog, kImageInformationCaption);
      for (const Field& f : kFields) SetDlgItemTextA(dialog, f.id, (texts->*f.text).c_str());
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
      }
      // Clicking into a field leaves no text selected.
      if (HIWORD(wp) == EN_SETFOCUS) SendMessageA(reinterpret_cast<HWND>(lp), EM_SETSEL, -1, 0);
      return FALSE;
    }
  }
  return FALSE;
}

void ShowInformation(HWND owner, const Result<ImageInformation>& info) {
  if (!info.ok()) {
    ShowError(info.message());
    return;
  }
  const int region = region::Code();
  ImageInformationTexts texts = FormatImageInformation(*info, region);
  DialogBoxParamA(GetModuleHandleA(nullptr), ExifDialogName(region).c_str(), owner, InformationProc,
                  reinterpret_cast<LPARAM>(&texts));
}

}  // namespace

void ShowImageInformation(HWND window) {
  const ImageDocument* doc = DocumentOf(window);
  if (!doc) {
    ShowError(err::kUnexpected);
    return;
  }
  const FileTimes times = TimesOf(doc->path);
  Result<ImageInformation> info = Failure{err::kUnexpected};
  if (doc->source_kind == 4) {
    info = CalendarPageInformation(doc->path, times);
  } else {
    info = ReadImageInformation(doc->path, times);
  }
  ShowInformation(GetParent(GetParent(window)), info);
}

void ShowImageInformationFor(HWND owner, const std::string& path) {
  ShowInformation(owner, ReadImageInformation(path, TimesOf(path)));
}

}  // namespace fq::win
