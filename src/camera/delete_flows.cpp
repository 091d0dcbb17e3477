#include "camera/delete_flows.h"

#include <algorithm>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "camera/commands.h"
#include "camera/link_codes.h"

namespace fq::cam {
namespace {

constexpr uint8_t kLastShownMode = 3;

// The selected numbers that are rows of the list, without duplicates, in
// the order asked for.
std::vector<int> SortedNumbers(const std::vector<ListedPicture>& rows, const std::vector<int>& numbers,
                               bool descending) {
  std::vector<int> r;
  for (int n : numbers)
    if (std::any_of(rows.begin(), rows.end(), [n](const ListedPicture& p) { return p.number == n; }))
      r.push_back(n);
  std::sort(r.begin(), r.end());
  r.erase(std::unique(r.begin(), r.end()), r.end());
  if (descending) std::reverse(r.begin(), r.end());
  return r;
}

int RowOf(const CameraLink& link, int number) {
  const std::vector<ListedPicture> rows = TypeOneRows(link);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].number == number) return static_cast<int>(i);
  return -1;
}

// After a cancel request between two pictures: true when the user confirms
// that the loop ends; otherwise the request is dropped and Cancel offered
// again.
bool StopOnCancel(DeleteUi& ui, int question) {
  if (!CancelRequested()) return false;
  if (ui.Confirm(question)) return true;
  SetCancelRequested(false);
  ui.OfferCancel(true);
  return false;
}

int DeleteNumber(CameraLink& link, const GridPicture& p) {
  return link.camera_type == 4 ? SequencedDeleteFile(link, p.folder, p.file)
                               : SequencedDelete(link, p.number);
}

void Deleted(CameraLink& link, std::vector<int>& deleted, int number) {
  deleted.push_back(number);
  if (link.picture_count > 0) --link.picture_count;
}

}  // namespace

std::string ImageNumberLine(int number) { return "Image No." + std::to_string(number) + " "; }
std::string DeletingLine(int number) {
  return "Image No." + std::to_string(number) + " deleting.";
}

std::vector<ListedPicture> TypeOneRows(const CameraLink& link) {
  std::vector<ListedPicture> rows;
  for (const ListedPicture& p : link.listed)
    if (p.mode <= kLastShownMode) rows.push_back(p);
  std::sort(rows.begin(), rows.end(),
            [](const ListedPicture& a, const ListedPicture& b) { return a.number < b.number; });
  return rows;
}

void ForgetPicture(CameraLink& link, int number) {
  std::vector<ListedPicture> kept;
  for (const ListedPicture& p : link.listed) {
    if (p.number == number) continue;
    kept.push_back({p.number > number ? p.number - 1 : p.number, p.mode});
  }
  link.listed = std::move(kept);
  if (number >= 1 && number <= kMaxType1Pictures) {
    auto& m = link.picture_modes;
    std::move(m.begin() + number, m.end(), m.begin() + number - 1);
    m.back() = 255;
  }
  if (link.picture_count > 0) --link.picture_count;
}

int PreviewOnViewfinder(CameraLink& link, const std::vector<int>& selected, DeleteUi& ui) {
  const std::vector<int> order = SortedNumbers(TypeOneRows(link), selected, false);
  ui.Status(true);
  ui.Line303(kPreviewingText);
  int result = rc::kOk;
  for (size_t i = 0; i < order.size(); ++i) {
    const int number = order[i];
    ui.OfferCancel(i + 1 < order.size());
    ui.Line304(ImageNumberLine(number));
    if ((result = MarkerViewfinder(link, number))) break;
    if (!PumpWait(link, kViewfinderHoldMs)) break;
    if (StopOnCancel(ui, ask::kCancelPreview)) break;
  }
  ui.Status(false);
  return result;
}

int DeleteWithQuestions(CameraLink& link, const std::vector<int>& selected, DeleteUi& ui,
                        std::vector<int>& deleted) {
  deleted.clear();
  const std::vector<int> order = SortedNumbers(TypeOneRows(link), selected, true);
  ui.Status(true);
  ui.Line303(kDeletingText);
  int result = rc::kOk;
  // Highest first: a deletion renumbers only pictures above it, so the
  // numbers still to come stand.
  for (int number : order) {
    ui.Line304(ImageNumberLine(number));
    ui.Caret(RowOf(link, number));
    if ((result = MarkerViewfinder(link, number))) break;
    const uint64_t shown_at = link.clock.NowMillis();
    const DeleteAnswer answer = ui.AskDelete(number);
    if (answer == DeleteAnswer::kCancel) break;
    // The picture stays on the viewfinder for its 5 s either way.
    if (!PumpWait(link, kViewfinderHoldMs, shown_at)) break;
    if (answer != DeleteAnswer::kYes) continue;
    ui.Line304(DeletingLine(number));
    if ((result = MarkerDelete(link, number))) break;
    ForgetPicture(link, number);
    deleted.push_back(number);
    ui.RowsChanged();
  }
  ui.Status(false);
  return result;
}

int DeleteAll(CameraLink& link, const std::vector<int>& selected, DeleteUi& ui,
              std::vector<int>& deleted) {
  deleted.clear();
  const std::vector<int> order = SortedNumbers(TypeOneRows(link), selected, true);
  ui.Status(true);
  ui.Line303(kDeletingText);
  int result = rc::kOk;
  for (size_t i = 0; i < order.size(); ++i) {
    const int number = order[i];
    ui.OfferCancel(i + 1 < order.size());
    ui.Line304(ImageNumberLine(number));
    ui.Caret(RowOf(link, number));
    if ((result = MarkerDelete(link, number))) break;
    ForgetPicture(link, number);
    deleted.push_back(number);
    ui.RowsChanged();
    if (StopOnCancel(ui, ask::kCancelDelete)) break;
  }
  ui.Status(false);
  return result;
}

int DeleteSelected(CameraLink& link, std::vector<GridPicture> selection, DeleteUi& ui,
                   std::vector<int>& deleted) {
  deleted.clear();
  std::sort(selection.begin(), selection.end(),
            [](const GridPicture& a, const GridPicture& b) { return a.number > b.number; });
  selection.erase(std::unique(selection.begin(), selection.end(),
                              [](const GridPicture& a, const GridPicture& b) {
                                return a.number == b.number;
                              }),
                  selection.end());
  const bool type4 = link.camera_type == 4;
  const bool offer_all = selection.size() > 1;
  ui.Status(true);
  ui.Line303(kDeletingText);
  int result = rc::kOk;
  for (size_t i = 0; i < selection.size(); ++i) {
    const GridPicture& p = selection[i];
    ui.Line304(ImageNumberLine(p.number));
    const DeleteAnswer answer = ui.AskDeleteInDialog(p.number, offer_all);
    if (answer == DeleteAnswer::kNo) continue;
    if (answer == DeleteAnswer::kCancel) break;
    if (answer == DeleteAnswer::kYes) {
      ui.Line304(DeletingLine(p.number));
      result = DeleteNumber(link, p);
      if (result == rc::kCannotExecute && type4) {
        link.Show(err::kCommandCannotExecute);
        result = rc::kOk;
        break;
      }
      if (result) break;
      Deleted(link, deleted, p.number);
      continue;
    }
    // Delete All: this one and every one after it, without questions.
    for (size_t k = i; k < selection.size(); ++k) {
      const GridPicture& q = selection[k];
      ui.OfferCancel(k + 1 < selection.size());
      ui.Line304(DeletingLine(q.number));
      if (CancelRequested()) {
        if (ui.Confirm(ask::kCancelDelete)) break;
        SetCancelRequested(false);
      }
      result = DeleteNumber(link, q);
      if (result == rc::kCannotExecute && type4) {
        link.Show(err::kCommandCannotExecute);
        result = rc::kOk;
        break;
      }
      if (result) break;
      BusyWait(link, kDeleteAllPauseMs);
      Deleted(link, deleted, q.number);
    }
    break;
  }
  ui.Status(false);
  return result;
}

}  // namespace fq::cam
