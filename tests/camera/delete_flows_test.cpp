// Deleting pictures and showing them on the viewfinder, against the
// simulated camera: which pictures go, in which order, with which numbers,
// how long each stays shown, and what Cancel does.
#include <gtest/gtest.h>

#include <deque>

#include "base/cancel_flag.h"
#include "base/messages.h"
#include "camera/commands.h"
#include "camera/connection.h"
#include "camera/delete_flows.h"
#include "camera/sim_rig.h"

namespace fq::cam {
namespace {

using testing::SimOf;
using testing::SimRig;
using Names = std::vector<std::string>;

class ScriptedUi final : public DeleteUi {
 public:
  void Status(bool on) override { status.push_back(on); }
  void Line303(std::string_view t) override { line303.emplace_back(t); }
  void Line304(std::string_view t) override { line304.emplace_back(t); }
  void OfferCancel(bool more) override {
    offers.push_back(more);
    if (cancel_at_offer && static_cast<int>(offers.size()) == cancel_at_offer) SetCancelRequested(true);
    if (!more) SetCancelRequested(false);
  }
  bool Confirm(int question) override {
    questions.push_back(question);
    return confirm;
  }
  DeleteAnswer AskDelete(int number) override { return Next(number, true); }
  DeleteAnswer AskDeleteInDialog(int number, bool all) override {
    offered_all.push_back(all);
    return Next(number, all);
  }
  void Caret(int row) override { carets.push_back(row); }
  void RowsChanged() override { ++rows_changed; }

  DeleteAnswer Next(int number, bool) {
    asked.push_back(number);
    if (answers.empty()) return DeleteAnswer::kNo;
    DeleteAnswer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::deque<DeleteAnswer> answers;
  std::vector<bool> status, offers, offered_all;
  std::vector<std::string> line303, line304;
  std::vector<int> questions, asked, carets;
  int rows_changed = 0;
  int cancel_at_offer = 0;
  bool confirm = true;
};

Names Held(const SimRig& r) {
  Names n;
  for (const auto& f : r.sim.content().media[0].folders)
    for (const auto& e : f.entries) n.push_back(e.name);
  return n;
}

// A type-1 camera with pictures p1..p5, p2 in a mode the list does not
// show.
SimRig& TypeOne(std::unique_ptr<SimRig>& holder) {
  camsim::CameraContent c = testing::NamedPictures(5);
  c.media[0].folders[0].entries[1].mode = 6;
  holder = std::make_unique<SimRig>(SimOf(1), std::move(c));
  SimRig& r = *holder;
  EXPECT_EQ(OpenPort(r.link), rc::kOk);
  EXPECT_EQ(ConnectForDownload(r.link), rc::kOk);
  return r;
}

std::vector<int> Numbers(const std::vector<ListedPicture>& rows) {
  std::vector<int> n;
  for (const auto& p : rows) n.push_back(p.number);
  return n;
}

TEST(DeleteFlowsTest, TypeOneQuestionsUseTheCameraNumbersAndRenumber) {
  std::unique_ptr<SimRig> holder;
  SimRig& r = TypeOne(holder);
  // Rows 0..3 are pictures 1, 3, 4, 5 (2 is hidden).
  ASSERT_EQ(Numbers(TypeOneRows(r.link)), (std::vector<int>{1, 3, 4, 5}));
  ScriptedUi ui;
  ui.answers = {DeleteAnswer::kYes, DeleteAnswer::kNo, DeleteAnswer::kYes};
  std::vector<int> deleted;
  // Picture 2 is not a row: passed over.
  EXPECT_EQ(DeleteWithQuestions(r.link, {1, 4, 3, 4, 2}, ui, deleted), rc::kOk);
  EXPECT_EQ(ui.asked, (std::vector<int>{4, 3, 1}));
  EXPECT_EQ(deleted, (std::vector<int>{4, 1}));
  EXPECT_EQ(ui.carets, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(Held(r), (Names{"p2", "p3", "p5"}));
  // Each picture is shown before its question, and deleted no sooner than
  // 5 s after it was shown.
  EXPECT_EQ(r.LogWith("viewfinder").size(), 3u);
  EXPECT_GE(r.FirstLogMs("deleted picture 4 (p4)") - r.FirstLogMs("shows picture 4 (p4)"), 5000);
  EXPECT_GE(r.FirstLogMs("shows picture 3 (p3)") - r.FirstLogMs("shows picture 4 (p4)"), 5000);
  EXPECT_EQ(r.LogWith("deleted picture 1 (p1)").size(), 1u);
  // The camera renumbered: the hidden picture is now 1, p3 is 2, p5 is 3;
  // the rows follow, and agree with what the camera lists now.
  EXPECT_EQ(Numbers(TypeOneRows(r.link)), (std::vector<int>{2, 3}));
  EXPECT_EQ(r.link.picture_count, 3);
  ASSERT_EQ(MarkerPictureList(r.link), rc::kOk);
  EXPECT_EQ(Numbers(TypeOneRows(r.link)), (std::vector<int>{2, 3}));
  EXPECT_EQ(ui.line303, std::vector<std::string>{std::string(kDeletingText)});
  EXPECT_EQ(ui.line304.back(), "Image No.1 deleting.");
  EXPECT_EQ(ui.rows_changed, 2);
  EXPECT_EQ(ui.status, (std::vector<bool>{true, false}));

  // Cancel ends at once: nothing more is shown or deleted.
  ScriptedUi cancel;
  cancel.answers = {DeleteAnswer::kCancel};
  EXPECT_EQ(DeleteWithQuestions(r.link, {2, 3}, cancel, deleted), rc::kOk);
  EXPECT_EQ(cancel.asked, std::vector<int>{3});
  EXPECT_TRUE(deleted.empty());
  EXPECT_EQ(Held(r), (Names{"p2", "p3", "p5"}));
  EXPECT_TRUE(r.reporter.messages.empty());
}

TEST(DeleteFlowsTest, TypeOneDeleteAllAndViewfinderWithCancel) {
  std::unique_ptr<SimRig> holder;
  SimRig& r = TypeOne(holder);
  ScriptedUi ui;
  ui.cancel_at_offer = 2;  // asked to stop while the second picture goes
  ui.confirm = true;
  std::vector<int> deleted;
  EXPECT_EQ(DeleteAll(r.link, {1, 3, 4, 5}, ui, deleted), rc::kOk);
  EXPECT_EQ(ui.questions, std::vector<int>{ask::kCancelDelete});
  EXPECT_EQ(Held(r), (Names{"p1", "p2", "p3"}));  // 5 and 4 went, highest first
  EXPECT_EQ(deleted, (std::vector<int>{5, 4}));
  EXPECT_EQ(ui.carets, (std::vector<int>{3, 2}));
  EXPECT_EQ(ui.offers, (std::vector<bool>{true, true}));

  // Viewfinder in list order, 5 s apart; a cancel answered No goes on.
  ScriptedUi view;
  view.cancel_at_offer = 1;
  view.confirm = false;
  EXPECT_EQ(PreviewOnViewfinder(r.link, {3, 1}, view), rc::kOk);
  EXPECT_EQ(view.line304, (std::vector<std::string>{"Image No.1 ", "Image No.3 "}));
  EXPECT_EQ(view.questions, std::vector<int>{ask::kCancelPreview});
  EXPECT_GE(r.FirstLogMs("shows picture 3 (p3)") - r.FirstLogMs("shows picture 1 (p1)"), 5000);
  EXPECT_EQ(r.sim.viewfinder_picture(), 3);
  EXPECT_EQ(view.offers, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(CancelRequested());
}

TEST(DeleteFlowsTest, GridDeletesHighestFirstWithDialogAnswers) {
  SimRig r(SimOf(2), testing::NamedPictures(6));
  ASSERT_EQ(OpenPort(r.link), rc::kOk);
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  ScriptedUi ui;
  ui.answers = {DeleteAnswer::kYes, DeleteAnswer::kNo, DeleteAnswer::kYes};
  std::vector<int> deleted;
  // Clicks stored 3, 5, 3, 1: asked 5, 3, 1.
  EXPECT_EQ(DeleteSelected(r.link, {{3}, {5}, {3}, {1}}, ui, deleted), rc::kOk);
  EXPECT_EQ(ui.asked, (std::vector<int>{5, 3, 1}));
  EXPECT_EQ(deleted, (std::vector<int>{5, 1}));
  EXPECT_EQ(Held(r), (Names{"p2", "p3", "p4", "p6"}));
  EXPECT_EQ(r.link.picture_count, 4);

  // Delete All at the first question takes that one and all after it.
  ScriptedUi all;
  all.answers = {DeleteAnswer::kDeleteAll};
  EXPECT_EQ(DeleteSelected(r.link, {{1}, {4}, {2}}, all, deleted), rc::kOk);
  EXPECT_EQ(all.asked, std::vector<int>{4});
  EXPECT_EQ(deleted, (std::vector<int>{4, 2, 1}));
  EXPECT_EQ(Held(r), (Names{"p4"}));
  EXPECT_EQ(all.offers, (std::vector<bool>{true, true, false}));

  // One picture: Delete All is not offered.
  ScriptedUi one;
  EXPECT_EQ(DeleteSelected(r.link, {{1}}, one, deleted), rc::kOk);
  EXPECT_EQ(one.offered_all, std::vector<bool>{false});
  EXPECT_TRUE(deleted.empty());
  EXPECT_TRUE(r.reporter.messages.empty());
}

TEST(DeleteFlowsTest, TypeFourRefusalKeepsTheRest) {
  using camsim::FaultKind;
  SimRig r(SimOf(4, {testing::Fault(FaultKind::kBusy, 17, 2)}), camsim::DemoContent(4));
  ASSERT_EQ(OpenPort(r.link), rc::kOk);
  ASSERT_EQ(ConnectForDownload(r.link), rc::kOk);
  const size_t before = r.Folder(0).entries.size();
  ScriptedUi ui;
  ui.answers = {DeleteAnswer::kDeleteAll};
  std::vector<int> deleted;
  EXPECT_EQ(DeleteSelected(r.link, {{1, 100, 1}, {2, 100, 2}, {3, 100, 3}}, ui, deleted), rc::kOk);
  EXPECT_EQ(deleted, std::vector<int>{3});
  EXPECT_EQ(r.Folder(0).entries.size(), before - 1);
  EXPECT_EQ(r.reporter.messages, std::vector<int>{err::kCommandCannotExecute});
}

}  // namespace
}  // namespace fq::cam
