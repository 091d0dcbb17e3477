#include "shell/menu_state.h"

#include <gtest/gtest.h>

#include <set>

#include "shell/commands.h"

namespace fq::shell {
namespace {

using namespace fq::cmd;

std::set<int> Greyed(const std::vector<ItemState>& states) {
  std::set<int> out;
  for (const ItemState& s : states)
    if (s.greyed) out.insert(s.id);
  return out;
}

ShellState Image(std::string name = "C:\\DSC0001.jpg") {
  ShellState s;
  s.document_window = true;
  s.kind = WindowKind::kImage;
  s.image_name = std::move(name);
  return s;
}

ShellState Album() {
  ShellState s;
  s.document_window = true;
  s.kind = WindowKind::kAlbum;
  return s;
}

TEST(MenuState, NothingOpenGreysEverythingThatNeedsADocument) {
  ShellState none;
  EXPECT_EQ(Greyed(MenuItemStates(none)),
            (std::set<int>{kClose, kSave, kSaveAs, kPrint, kImageInformation, kSchedule,
                           kAddToAlbum, kCut, kCopy, kPaste, kUndo, kCascade, kTile,
                           kArrangeIcons, kCloseAll}));
  EXPECT_EQ(MenuHelpText(kSave, true, 0), "Cannot select!! There is no file to save.");
  EXPECT_EQ(MenuHelpText(kSave, false, 0), "Save the active file.");
  EXPECT_EQ(Greyed(ToolbarStates(none)),
            (std::set<int>{kButtonSaveAs, kButtonPrint, kButtonAddToAlbum, kButtonCut,
                           kButtonCopy, kButtonPaste, kButtonTile, kButtonCascade}));
}

TEST(MenuState, AlbumSelectionAndClipboard) {
  ShellState a = Album();
  auto g = Greyed(MenuItemStates(a));
  EXPECT_TRUE(g.count(kCut) && g.count(kCopy) && g.count(kPaste));
  EXPECT_FALSE(g.count(kAddToAlbum) || g.count(kSave) || g.count(kPrint) || g.count(kClose));
  EXPECT_TRUE(g.count(kUndo));

  a.album_selection = true;
  a.album_selection_path = "D:\\trip\\b.JPG";
  a.clipboard_picture = ClipboardHoldsPicture(false, true);  // a bitmap alone
  g = Greyed(MenuItemStates(a));
  EXPECT_FALSE(g.count(kCut) || g.count(kCopy) || g.count(kImageInformation));
  EXPECT_TRUE(g.count(kPaste));
  EXPECT_TRUE(IsGreyed(ToolbarStates(a), kButtonPaste));
  a.clipboard_picture = ClipboardHoldsPicture(true, true);
  EXPECT_FALSE(IsGreyed(MenuItemStates(a), kPaste));
  EXPECT_FALSE(IsGreyed(ToolbarStates(a), kButtonPaste));
  EXPECT_EQ(Greyed(ToolbarStates(a)), std::set<int>{});

  // The selection is the one made last in any album, and its name decides 570.
  a.album_selection_path = "D:\\trip\\clip.avi";
  EXPECT_TRUE(IsGreyed(MenuItemStates(a), kImageInformation));
}

TEST(MenuState, SaveFollowsModificationForImagesOnly) {
  ShellState img = Image();
  auto g = Greyed(MenuItemStates(img));
  EXPECT_TRUE(g.count(kSave));
  EXPECT_FALSE(g.count(kSaveAs) || g.count(kClose) || g.count(kPrint));
  EXPECT_TRUE(g.count(kAddToAlbum) && g.count(kCut) && g.count(kPaste));
  // Undo only where the last edit was made.
  EXPECT_TRUE(g.count(kUndo));
  img.image_undo_offered = true;
  EXPECT_FALSE(IsGreyed(MenuItemStates(img), kUndo));
  img.image_modified = true;
  EXPECT_FALSE(IsGreyed(MenuItemStates(img), kSave));
  // An album can always be saved.
  EXPECT_FALSE(IsGreyed(MenuItemStates(Album()), kSave));
  // Another document window: only Close and Save As.
  ShellState other;
  other.document_window = true;
  g = Greyed(MenuItemStates(other));
  EXPECT_FALSE(g.count(kClose) || g.count(kSaveAs) || g.count(kTile));
  EXPECT_TRUE(g.count(kSave) && g.count(kPrint));
}

TEST(MenuState, ImageInformationAndSchedule) {
  for (std::string name : {"a.jpg", "a.JPG", "a.bmp", "a.BMP", "noextjpg"})
    EXPECT_FALSE(IsGreyed(MenuItemStates(Image(name)), kImageInformation)) << name;
  for (std::string name : {"a.Jpg", "a.jpeg", "a.cal", ""})
    EXPECT_TRUE(IsGreyed(MenuItemStates(Image(name)), kImageInformation)) << name;
  ShellState cal = Image("Calendar");
  EXPECT_TRUE(IsGreyed(MenuItemStates(cal), kSchedule));
  cal.image_monthly_calendar = true;
  EXPECT_FALSE(IsGreyed(MenuItemStates(cal), kSchedule));
  // The drawing tools are off limits on any calendar page.
  EXPECT_FALSE(IsGreyed(MenuItemStates(cal), kToolOnOff));
  cal.image_calendar = true;
  EXPECT_TRUE(IsGreyed(MenuItemStates(cal), kToolOnOff));
  EXPECT_TRUE(IsGreyed(MenuItemStates(Album()), kToolOnOff));
  EXPECT_FALSE(IsGreyed(MenuItemStates(Image()), kToolOnOff));
}

TEST(MenuState, ArrangeIconsFollowsAnyMinimisedChild) {
  ShellState s = Image();
  EXPECT_TRUE(IsGreyed(MenuItemStates(s), kArrangeIcons));
  s.any_child_minimized = true;
  EXPECT_FALSE(IsGreyed(MenuItemStates(s), kArrangeIcons));
  ShellState movie_only;  // a minimised window without document
  movie_only.any_child_minimized = true;
  EXPECT_FALSE(IsGreyed(MenuItemStates(movie_only), kArrangeIcons));
  EXPECT_TRUE(IsGreyed(MenuItemStates(movie_only), kCloseAll));
}

TEST(MenuState, CameraButtonsDuringATransfer) {
  ShellState busy;
  busy.comm_busy = true;
  auto t = ToolbarStates(busy);
  EXPECT_TRUE(IsGreyed(t, kButtonDataIn));
  EXPECT_TRUE(IsGreyed(t, kButtonDataOut));
  EXPECT_EQ(ToolbarHelpText(kButtonDataIn, true), "Cannot select!! Already connected camera.");
  EXPECT_EQ(ToolbarHelpText(kButtonDataIn, false), "Data in from the camera.");
  EXPECT_FALSE(IsGreyed(ToolbarStates(ShellState{}), kButtonDataIn));
}

TEST(ToolbarHelp, TextsOfEnabledAndGreyedButtons) {
  EXPECT_EQ(ToolbarHelpText(kButtonSaveAs, false), "Save the active file with a new name.");
  EXPECT_EQ(ToolbarHelpText(kButtonSaveAs, true), "Cannot select!! There is no file to save.");
  EXPECT_EQ(ToolbarHelpText(kButtonHelp, false), "Contents.");
  EXPECT_EQ(ToolbarHelpText(kButtonCut, true),
            "Cannot Select!! Not open album or Not open image to album.");
  EXPECT_EQ(ToolbarHelpText(kButtonPaste, true), "Cannot Select!! Not open album or Not copy image.");
  EXPECT_EQ(ToolbarHelpText(kButtonTile, true), "Cannot Select!! Not open window.");
  EXPECT_FALSE(ToolbarHelpText(kButtonOpen, true));
  EXPECT_FALSE(ToolbarHelpText(kButtonNewAlbum, true));
  EXPECT_FALSE(ToolbarHelpText(kButtonHelp, true));
  EXPECT_FALSE(ToolbarHelpText(kCut, false));  // a menu id, not a button
  EXPECT_EQ(ReadyText(0), "Ready");
  EXPECT_EQ(ReadyText(3), "");
  EXPECT_EQ(MenuHelpText(0, false, 1), "Ready");
  EXPECT_EQ(MenuHelpText(0, false, 3), "");
  // Greyed without a greyed text of its own: the status text stays.
  EXPECT_EQ(MenuHelpText(kSchedule, true, 0), "Input schedule into monthly calendar.");
}

}  // namespace
}  // namespace fq::shell
