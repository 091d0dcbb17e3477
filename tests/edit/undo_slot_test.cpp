#include <gtest/gtest.h>

#include "edit/undo_slot.h"

namespace fq::edit {
namespace {

template <class T>
T Take(Result<T> r) {
  return std::move(r).value();
}

// A tiny picture that tells which one it is by its width.
ImageRecord Pic(int width, int height = 2) { return Take(ImageRecord::Create(width, height, 24)); }

constexpr WindowId kA = 0x1000, kB = 0x2000;

TEST(UndoSlot, UndoThenRedoOfASizeChange) {
  UndoSlot slot;
  // The document after a size change from 40 x 30 to 80 x 60, edited once.
  ImageRecord picture = Pic(80, 60);
  UndoFields doc{.width = 80, .height = 60, .edit_counter = 1};
  slot.RecordSize(kA, Pic(40, 30), 40, 30);
  ASSERT_TRUE(slot.Offers(kA));

  ASSERT_TRUE(slot.Undo(kA, picture, doc));
  EXPECT_EQ(ImageWidth(picture), 40);
  EXPECT_EQ(doc.width, 40);
  EXPECT_EQ(doc.height, 30);
  EXPECT_EQ(doc.edit_counter, 0);  // back to the file's picture: unmodified
  EXPECT_TRUE(slot.undone());

  ASSERT_TRUE(slot.Undo(kA, picture, doc));  // redo
  EXPECT_EQ(ImageWidth(picture), 80);
  EXPECT_EQ(doc.width, 80);
  EXPECT_EQ(doc.height, 60);
  EXPECT_EQ(doc.edit_counter, 1);
  EXPECT_FALSE(slot.undone());
  EXPECT_EQ(ImageWidth(slot.kept()), 40);
}

TEST(UndoSlot, AfterASaveUndoMarksModifiedAndRedoClears) {
  UndoSlot slot;
  ImageRecord picture = Pic(5);
  UndoFields doc{.width = 5, .height = 2, .adjustment_mode = 1, .edit_counter = 0};  // saved
  slot.Record(kA, Pic(6), kEditContent);
  ASSERT_TRUE(slot.Undo(kA, picture, doc));
  EXPECT_EQ(doc.edit_counter, -1);  // differs from the saved file
  EXPECT_EQ(doc.adjustment_mode, 0);
  ASSERT_TRUE(slot.Undo(kA, picture, doc));
  EXPECT_EQ(doc.edit_counter, 0);
  EXPECT_EQ(doc.adjustment_mode, 1);
}

TEST(UndoSlot, RotationStepsBackAndRedoTurnsAgain) {
  for (int start : {90, 180, 270, 360}) {
    UndoSlot slot;
    // Rotate right from `start`: the document holds the turned picture.
    const int turned = TurnedRight(start);
    ImageRecord picture = Pic(2, 3);
    UndoFields doc{.width = 2, .height = 3, .rotation = turned,
                   .last_edit_kind = kLastEditRight, .edit_counter = 1};
    slot.Record(kA, Pic(3, 2), turned);
    ASSERT_TRUE(slot.Undo(kA, picture, doc));
    EXPECT_EQ(doc.rotation, start) << start;
    EXPECT_EQ(doc.width, 3);
    EXPECT_EQ(doc.height, 2);
    EXPECT_EQ(doc.last_edit_kind, kLastEditLeft);
    ASSERT_TRUE(slot.Undo(kA, picture, doc));
    EXPECT_EQ(doc.rotation, turned) << start;
    EXPECT_EQ(doc.last_edit_kind, kLastEditRight);
    EXPECT_EQ(ImageWidth(picture), 2);
  }
  // Left turns wrap the other way.
  EXPECT_EQ(TurnedLeft(90), 360);
  EXPECT_EQ(TurnedLeft(0), 270);
  EXPECT_EQ(TurnedRight(360), 90);
  EXPECT_EQ(TurnedRight(0), 90);
  UndoSlot slot;
  ImageRecord picture = Pic(2, 3);
  UndoFields doc{.width = 2, .height = 3, .rotation = 360, .last_edit_kind = kLastEditLeft};
  slot.Record(kA, Pic(3, 2), 360);
  ASSERT_TRUE(slot.Undo(kA, picture, doc));
  EXPECT_EQ(doc.rotation, 90);
  EXPECT_EQ(doc.last_edit_kind, kLastEditRight);
}

TEST(UndoSlot, OnlyTheLastEditedWindowAndNeverAGoneOne) {
  UndoSlot slot;
  ImageRecord a = Pic(1), b = Pic(2);
  UndoFields fa{.width = 1, .edit_counter = 1}, fb{.width = 2, .edit_counter = 1};
  EXPECT_FALSE(slot.Undo(kA, a, fa));  // nothing kept yet
  slot.Record(kA, Pic(10), kEditContent);
  slot.Record(kB, Pic(20), kEditContent);  // frees A's step
  EXPECT_FALSE(slot.Offers(kA));
  EXPECT_FALSE(slot.Undo(kA, a, fa));
  EXPECT_EQ(ImageWidth(a), 1);
  EXPECT_EQ(fa.edit_counter, 1);
  EXPECT_TRUE(slot.Offers(kB));

  slot.Forget(kA);  // not A's: nothing happens
  EXPECT_TRUE(slot.Offers(kB));
  slot.Forget(kB);  // B closes; a new window with B's handle gets nothing
  EXPECT_FALSE(slot.Offers(kB));
  EXPECT_TRUE(slot.kept().empty());
  EXPECT_FALSE(slot.Undo(kB, b, fb));
  EXPECT_EQ(ImageWidth(b), 2);
}

}  // namespace
}  // namespace fq::edit
