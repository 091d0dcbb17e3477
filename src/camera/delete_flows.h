// Deleting pictures in the camera and showing chosen ones on its own
// viewfinder, started from the memory list. The flows are portable: the
// status dialog, the questions and the list they act on are reached through
// DeleteUi.
//
// Type 1 works on the pictures of its list by their camera numbers, as the
// camera gave them (pictures in modes 4 and above are held by the camera but
// not shown in the list); every command and every text uses that number.
// When the camera deletes picture n, each picture above n moves down one
// number, hidden ones too: the link's list follows at once, and the rows
// are made again from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "camera/camera_link.h"

namespace fq::cam {

inline constexpr std::string_view kPreviewingText =
    "Now displaying image preview on Camera Viewfinder.";
inline constexpr std::string_view kDeletingText = "Now deleting images.";
inline constexpr uint32_t kViewfinderHoldMs = 5000;
inline constexpr uint32_t kDeleteAllPauseMs = 300;

// "Image No.%d " and "Image No.%d deleting."
std::string ImageNumberLine(int number);
std::string DeletingLine(int number);

// The answers of the per-picture questions.
enum class DeleteAnswer { kYes, kNo, kCancel, kDeleteAll };

class DeleteUi {
 public:
  virtual ~DeleteUi() = default;
  // The status dialog ("DscStatusDlg") and its two lines (303, 304).
  virtual void Status(bool on) = 0;
  virtual void Line303(std::string_view text) = 0;
  virtual void Line304(std::string_view text) = 0;
  // Cancel is shown before each picture but the last; for the last it is
  // hidden and a pending request dropped.
  virtual void OfferCancel(bool more_follow) = 0;
  // A yes/no question of the question table (messages.h); true for Yes.
  virtual bool Confirm(int question) = 0;
  // Type 1: "Are you sure you want to delete Image No.%d?" with Yes, No
  // and Cancel.
  virtual DeleteAnswer AskDelete(int number) { (void)number; return DeleteAnswer::kNo; }
  // Types 2 and 4: the "DSCSTATUSDLGDEL" dialog with Yes, Delete All (only
  // offered when more than one picture was selected), No and Cancel.
  virtual DeleteAnswer AskDeleteInDialog(int number, bool delete_all_offered) {
    (void)number, (void)delete_all_offered;
    return DeleteAnswer::kNo;
  }
  // Type 1: the list caret moves to a row; the rows changed after a
  // deletion (made again from the link's list by TypeOneRows).
  virtual void Caret(int row) { (void)row; }
  virtual void RowsChanged() {}
};

// ---- Type 1 ----

// The rows of the type-1 list: the listed pictures in recording modes 0 to
// 3, by number.
std::vector<ListedPicture> TypeOneRows(const CameraLink& link);
// The camera deleted picture `number`: it leaves the link's list (and its
// modes), the pictures above it move down one number, the count goes down.
void ForgetPicture(CameraLink& link, int number);

// The selected pictures (camera numbers of rows of the list; others are
// passed over) one after another on the viewfinder, each for 5 s, in list
// order.
int PreviewOnViewfinder(CameraLink& link, const std::vector<int>& numbers, DeleteUi& ui);
// Deletes the selected pictures from the last row to the first, each shown
// on the viewfinder and asked about first. `deleted` receives the numbers
// deleted, as they were before any deletion, in that order.
int DeleteWithQuestions(CameraLink& link, const std::vector<int>& numbers, DeleteUi& ui,
                        std::vector<int>& deleted);
// The same without questions (after "Delete all images?" was answered Yes).
int DeleteAll(CameraLink& link, const std::vector<int>& numbers, DeleteUi& ui,
              std::vector<int>& deleted);

// ---- Types 2 and 4 ----

// A picture of the grid: its number as shown ("Image %d"); type 4 also its
// folder and file number, by which the camera deletes it.
struct GridPicture {
  int number = 0;
  int folder = 0;
  int file = 0;
  friend bool operator==(const GridPicture&, const GridPicture&) = default;
};

// Deletes the selection, highest number first (duplicates dropped),
// asking before each picture unless Delete All was chosen. `deleted`
// receives the numbers the camera deleted, in that order. A type-4 camera
// that refuses one ("Command cannot be executed.") keeps it and the rest,
// and the result is 0; other failures end with their code.
int DeleteSelected(CameraLink& link, std::vector<GridPicture> selection, DeleteUi& ui,
                   std::vector<int>& deleted);

}  // namespace fq::cam
