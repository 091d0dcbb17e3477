#include "calendar/win/calendar_window.h"

#include <cstdio>
#include <memory>

#include "base/file_io.h"
#include "base/win/frame_link.h"
#include "base/win/message_box.h"
#include "base/win/window_class.h"
#include "base/win/window_slots.h"
#include "base_res.h"
#include "calendar/calendar_file.h"
#include "calendar/win/calendar_commands.h"
#include "calendar/win/calendar_page.h"
#include "image/image_view.h"
#include "image/win/image_document.h"
#include "image/win/image_window.h"

namespace fq::win {
namespace {

constexpr DWORD kChildStyle = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;

// A calendar page is read-only: no selection to cut out, so the left
// button does nothing; everything else is the image window's.
LRESULT CALLBACK CalendarWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return 0;
  }
  return ImageWindowProcedure(window, msg, wParam, lParam);
}

// Opens the MDI child of `class_name` on the document, zoomed and sized as
// any image window; the document passes to the window when it is made.
HWND CreateDocumentWindow(HWND mdi_client, const char* class_name,
                          std::unique_ptr<ImageDocument> doc) {
  RECT area{};
  GetClientRect(mdi_client, &area);
  doc->zoom = view::InitialZoom(doc->width, doc->height, area.right, area.bottom);
  RECT r{0, 0, view::Zoomed(doc->width, doc->zoom), view::Zoomed(doc->height, doc->zoom)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_MDICHILD);
  doc->window_rect = r;
  MDICREATESTRUCTA mcs = {};
  mcs.szClass = class_name;
  mcs.szTitle = doc->display_name.c_str();
  mcs.hOwner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mdi_client, GWLP_HINSTANCE));
  mcs.x = mcs.y = CW_USEDEFAULT;
  mcs.cx = r.right - r.left;
  mcs.cy = r.bottom - r.top;
  mcs.style = kChildStyle;
  mcs.lParam = reinterpret_cast<LPARAM>(doc.get());
  HWND window = reinterpret_cast<HWND>(
      SendMessageA(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  if (!window) return nullptr;
  doc.release();  // the window's now
  Frame().DocumentChanged(window);
  return window;
}

std::unique_ptr<ImageDocument> PageDocument(ImageRecord page, const cal::CalendarRecord& record) {
  auto doc = std::make_unique<ImageDocument>();
  doc->picture = std::move(page);
  doc->width = ImageWidth(doc->picture);
  doc->height = std::abs(ImageHeight(doc->picture));
  doc->source_kind = view::kSourceCalendar;
  doc->adjustment_mode = 1;
  doc->calendar = record;
  return doc;
}

}  // namespace

bool RegisterCalendarWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, {.name = kCalendarWindowClass,
                                        .procedure = CalendarWindowProc,
                                        .extra_bytes = kDocumentExtraBytes,
                                        .icon = IDI_CALENDAR,
                                        .cursor = IDC_ARROW,
                                        .background = SystemColorBrush(COLOR_APPWORKSPACE)});
}

HWND CreateCalendarWindow(HWND mdi_client, ImageRecord page, const cal::CalendarRecord& record) {
  auto doc = PageDocument(std::move(page), record);
  char title[32];
  std::snprintf(title, sizeof title, "Untitled %d", NextUntitledNumber());
  doc->display_name = title;
  doc->folder = io::FolderOf(cal::FieldText(record.FullPath));
  doc->path = doc->folder + title;
  // Never saved: Save goes through Save As, and closing asks first.
  doc->untitled = true;
  doc->edit_counter = 1;
  return CreateDocumentWindow(mdi_client, kCalendarWindowClass, std::move(doc));
}

bool OpenCalendarFile(HWND mdi_client, const std::string& path, const std::string& name) {
  auto record = cal::ReadCalendarRecord(path);
  if (!record) {
    ShowError(record.message());
    return false;
  }
  PageRequest request;
  request.own_file = path;  // the file's own photograph, never FullPath
  auto page = MakeCalendarImage(*record, request);
  if (!page) {
    ShowError(page.message());
    return false;
  }
  auto doc = PageDocument(std::move(*page), *record);
  doc->path = path;
  doc->folder = FolderPartOf(path);
  doc->display_name = name;
  return CreateDocumentWindow(mdi_client, kImageWindowClass, std::move(doc)) != nullptr;
}

cal::CalendarRecord* CalendarOf(HWND window) {
  ImageDocument* doc = DocumentOf(window);
  return doc && doc->calendar ? &*doc->calendar : nullptr;
}

}  // namespace fq::win
