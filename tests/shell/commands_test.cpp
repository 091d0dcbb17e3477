#include "shell/commands.h"

#include <gtest/gtest.h>

#include <set>

#include "shell/frame_rules.h"

namespace fq::cmd {
namespace {

void CollectItems(std::span<const MenuEntry> entries, std::vector<int>& ids) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntryKind::kItem) ids.push_back(e.id);
    if (e.kind == MenuEntryKind::kPopup) CollectItems(e.children, ids);
  }
}

TEST(MenuLayout, PopupsAndPositionsOtherRulesAddress) {
  auto bar = MenuBar();
  ASSERT_EQ(bar.size(), 6u);
  EXPECT_EQ(bar[kFilePopup].text, "&File");
  EXPECT_EQ(bar[kWindowPopup].text, "&Window");
  EXPECT_EQ(bar[kHelpPopup].text, "&Help");
  auto file = bar[kFilePopup].children;
  ASSERT_EQ(file.size(), 21u);
  EXPECT_EQ(file[kFileCommunicationPosition].kind, MenuEntryKind::kPopup);
  EXPECT_EQ(file[kFileCommunicationPosition].text, "Communica&tion");
  EXPECT_EQ(file[kFileSchedulePosition].id, kSchedule);
  EXPECT_EQ(file[kFileSchedulePosition].text, "Sch&edule...");
  EXPECT_EQ(file[20].text, "E&xit");
  EXPECT_EQ(file[kFileCommunicationPosition].children[0].text, "Data &in from Camera");
  EXPECT_EQ(CommunicationPopupIndex(false), 0);
  EXPECT_EQ(CommunicationPopupIndex(true), 1);
}

TEST(MenuLayout, EveryCommandAppearsOnceWithItsTexts) {
  std::vector<int> ids;
  CollectItems(MenuBar(), ids);
  std::set<int> unique(ids.begin(), ids.end());
  EXPECT_EQ(unique.size(), ids.size());
  EXPECT_EQ(ids.size(), Commands().size());
  for (int id : ids) {
    const CommandText* c = FindCommand(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_FALSE(c->menu.empty() || c->status.empty()) << id;
  }
  EXPECT_EQ(FindCommand(kZoom50)->menu, " &50% Size");
  EXPECT_EQ(FindCommand(kSlideShowStart)->status, "\"Slide Show\" start.");
  EXPECT_EQ(FindCommand(kClose)->greyed, "Cannot select!! There is no file to close.");
  EXPECT_EQ(FindCommand(999), nullptr);
}

TEST(Toolbar, EntriesButtonsAndCommands) {
  auto tb = Toolbar();
  ASSERT_EQ(tb.size(), 19u);
  int buttons = 0;
  std::set<int> own;
  for (const ToolbarEntry& e : tb) {
    if (e.id == 0) continue;
    ++buttons;
    auto command = ButtonCommand(e.id);
    ASSERT_TRUE(command) << e.id;
    EXPECT_NE(FindCommand(*command), nullptr);
    EXPECT_TRUE((e.own_image >= 0) != (e.standard != StandardImage::kNone)) << e.id;
    if (e.own_image >= 0) own.insert(e.own_image);
  }
  EXPECT_EQ(buttons, 13);
  EXPECT_EQ(own.size(), static_cast<size_t>(kOwnImageCount));
  EXPECT_EQ(tb[2].id, kButtonSaveAs);
  EXPECT_TRUE(tb[2].initially_greyed);
  EXPECT_EQ(tb[18].id, kButtonHelp);
  EXPECT_EQ(tb[18].tooltip, "Help");
  EXPECT_EQ(ButtonCommand(kButtonHelp), kHelpContents);
  EXPECT_EQ(ButtonCommand(kButtonSaveAs), kSaveAs);
  EXPECT_FALSE(ButtonCommand(kSaveAs));
  EXPECT_TRUE(ButtonTextWithoutBorder(kButtonAddToAlbum));
  EXPECT_FALSE(ButtonTextWithoutBorder(kButtonOpen));
}

TEST(DialogTemplates, ByRegion) {
  EXPECT_EQ(DialogTemplate(kImageInformation, 0), "EXIF_DIALOG_US");
  EXPECT_EQ(DialogTemplate(kImageInformation, 2), "EXIF_DIALOG_EU");
  EXPECT_EQ(DialogTemplate(kImageInformation, 3), "EXIF_DIALOG_JAPAN");
  EXPECT_EQ(DialogTemplate(kComPortSetup, 3), "CommParaSet");
  EXPECT_EQ(DialogTemplate(kWindowCapture, 1), "CAPTURE_EU");
  EXPECT_EQ(DialogTemplate(kOpen, 0), "");
}

TEST(FrameRules, StatusBarPartsAndBars) {
  using fq::shell::StatusBarPartEdges;
  EXPECT_EQ(StatusBarPartEdges(0, 800), (std::array<int, 5>{468, 554, 629, 715, 790}));
  EXPECT_EQ(StatusBarPartEdges(2, 800), (std::array<int, 5>{436, 538, 613, 715, 790}));
  EXPECT_EQ(StatusBarPartEdges(3, 800), (std::array<int, 5>{500, 570, 645, 715, 790}));
  using fq::shell::BarsFromSettings;
  EXPECT_TRUE(BarsFromSettings(0, 0).toolbar && BarsFromSettings(0, 0).status_bar);
  EXPECT_TRUE(BarsFromSettings(0, 1).toolbar && !BarsFromSettings(0, 1).status_bar);
  EXPECT_TRUE(!BarsFromSettings(1, 0).toolbar && BarsFromSettings(1, 0).status_bar);
  for (auto [t, s] : {std::pair{1, 1}, {2, 0}, {0, 5}, {-1, -1}})
    EXPECT_FALSE(BarsFromSettings(t, s).toolbar || BarsFromSettings(t, s).status_bar) << t << s;
}

}  // namespace
}  // namespace fq::cmd
