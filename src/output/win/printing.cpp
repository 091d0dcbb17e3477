#include "output/win/printing.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "album/win/album_cell.h"
#include "album/win/album_window.h"
#include "base/win/gdi.h"
#include "base/win/message_box.h"
#include "calendar/win/calendar_page.h"
#include "image/bmp_file.h"
#include "image/jpeg_checks.h"
#include "image/jpeg_file.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"
#include "output/print_layout.h"
#include "output/win/print_dialog.h"
#include "output/win/print_draw.h"
#include "output/win/print_job.h"
#include "show/win/movie_picture.h"

namespace fq::win {
namespace {

constexpr char kAlbumJobName[] = "Fotaquill";

print::Captions CaptionsOf(const settings::PrintOptions& o) { return {o.name, o.date}; }

// The selection when one is shown, else the whole picture.
print::Box SourceOf(HWND window, const ImageDocument& doc) {
  const print::Box whole{0, 0, doc.width, doc.height};
  auto sel = ShownSelection(window);
  if (!sel) return whole;
  const int l = std::clamp<int>(std::min(sel->start.x, sel->end.x), 0, doc.width);
  const int r = std::clamp<int>(std::max(sel->start.x, sel->end.x), 0, doc.width);
  const int t = std::clamp<int>(std::min(sel->start.y, sel->end.y), 0, doc.height);
  const int b = std::clamp<int>(std::max(sel->start.y, sel->end.y), 0, doc.height);
  if (r <= l || b <= t) return whole;
  return {l, t, r - l, b - t};
}

bool StartsWith(const std::string& path, const char* bytes, size_t n, size_t at = 0) {
  KernelHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr));
  if (!f) return false;
  char head[16] = {};
  DWORD got = 0;
  if (!ReadFile(f.get(), head, sizeof head, &got, nullptr) || got < at + n) return false;
  return std::equal(bytes, bytes + n, head + at);
}

// A picture of the album by its type; nothing when it cannot be loaded. A
// JPEG goes through a temporary bitmap file that is gone again afterwards,
// whatever happens; its decoding stops when the job is cancelled.
std::optional<ImageRecord> LoadAlbumPicture(const std::string& path, PrintJob& job) {
  if (StartsWith(path, "RIFF", 4) && StartsWith(path, "AVI ", 4, 8)) {
    auto frame = ReadMovieFrame(path);
    if (!frame) return std::nullopt;
    return std::move(*frame);
  }
  Result<BitmapRead> read = Failure{err::kUnexpected};
  if (IsJpegFile(path)) {
    read = LoadJpeg(path, [&job](int, int) { return job.KeepAlive(); });
  } else {
    read = ReadBitmapFile(path);
  }
  if (!read) return std::nullopt;
  auto normal = NormalizeImage(read->record);
  if (!normal) return std::nullopt;
  normal->ApplyTo(read->record);
  return std::move(read->record);
}

}  // namespace

void PrintImageDocument(HWND frame, HWND window, const settings::PrintOptions& options) {
  ImageDocument* doc = DocumentOf(window);
  if (!doc) {
    ShowError(err::kCannotPrint);
    return;
  }
  if (doc->picture.empty()) {
    ShowError(err::kUnexpected);
    return;
  }
  PrinterDC dc(CreateKeptPrinterDC());
  if (!dc) {
    ShowError(err::kPrintFailed);
    return;
  }
  WaitCursor wait;
  const PrinterPage pp = MeasurePrinterPage(dc.get());
  const bool calendar = doc->calendar.has_value();
  const std::string date = !calendar && options.date ? PictureDateText(doc->path) : std::string();
  print::ImageJob layout{static_cast<print::Placement>(options.image_placement), CaptionsOf(options),
                         calendar, !date.empty(), pp.m_width};
  const print::Box source = calendar ? print::Box{0, 0, doc->width, doc->height} : SourceOf(window, *doc);
  auto placed = print::PlaceImage(pp.page, layout, source);
  if (!placed) {
    ShowError(err::kPrintFailed);
    return;
  }
  PrintJob job;
  if (!job.BeginPrintJob(frame, dc.get(), doc->path) || !job.StartPage()) return;
  if (calendar) {
    // Drawn again at the printer's resolution, on the white sheet.
    cal::CalendarRecord record = *doc->calendar;
    auto photo = LoadPhotoForPage(record, doc->untitled ? std::string() : doc->path);
    if (!photo || !RenderCalendar(record, dc.get(), placed->picture.left, placed->picture.top,
                                  placed->picture.width, false, *photo ? &**photo : nullptr, true,
                                  false)) {
      job.EndPrintJob();
      ShowError(photo ? err::kUnexpected : photo.message());
      return;
    }
  } else {
    DrawPicture(dc.get(), doc->picture, placed->source, placed->picture);
    if (placed->date) DrawCaption(dc.get(), *placed->date, date);
    if (placed->name) DrawCaption(dc.get(), *placed->name, FileNameOf(doc->path));
  }
  job.EndPage();
  job.EndPrintJob();
}

void PrintAlbum(HWND frame, HWND album, const settings::PrintOptions& options) {
  AlbumRecord* record = AlbumOf(album);
  if (!record) {
    ShowError(err::kCannotPrint);
    return;
  }
  std::vector<std::string> paths;
  for (HWND cell = record->first; cell;) {
    const AlbumEntry* entry = EntryOf(cell);
    if (!entry) break;
    if (options.album_all || entry->ticked) paths.push_back(entry->path);
    cell = entry->next;
  }
  PrinterDC dc(CreateKeptPrinterDC());
  if (!dc) {
    ShowError(err::kPrintFailed);
    return;
  }
  WaitCursor wait;
  const PrinterPage pp = MeasurePrinterPage(dc.get());
  auto grid = print::MakeAlbumGrid(pp.page, static_cast<print::AlbumLayout>(options.album_layout),
                                   CaptionsOf(options), pp.m_width);
  if (!grid) {
    ShowError(err::kPrintFailed);
    return;
  }
  PrintJob job;
  if (!job.BeginPrintJob(frame, dc.get(), kAlbumJobName) || !job.StartPage()) return;
  int sheet = 0;
  for (size_t i = 0; i < paths.size(); ++i) {
    const int index = static_cast<int>(i);
    if (print::SheetOf(*grid, index) != sheet) {
      if (!job.EndPage() || !job.StartPage()) break;
      ++sheet;
    }
    if (!job.KeepAlive()) break;
    auto picture = LoadAlbumPicture(paths[i], job);
    if (job.cancelled()) break;
    if (!picture) continue;  // its cell stays empty
    const std::string date = options.date ? PictureDateText(paths[i]) : std::string();
    const print::Placed placed = print::PlaceAlbumPicture(*grid, index, ImageWidth(*picture),
                                                          ImageHeight(*picture), !date.empty());
    DrawPicture(dc.get(), *picture, placed.source, placed.picture);
    if (placed.date) DrawCaption(dc.get(), *placed.date, date);
    if (placed.name) DrawCaption(dc.get(), *placed.name, FileNameOf(paths[i]));
  }
  job.EndPage();
  job.EndPrintJob();
}

}  // namespace fq::win
