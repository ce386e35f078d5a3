// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo of the window's changes: exact, in order, and refused
// without a trace when the timetable moved on underneath.
#include "core/editing/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "manual_edit_fixture.h"

namespace orv {
namespace {

constexpr const char* kTimetable = "101/1/1/01/T1/0 101/1/4/02/T2/1 101/2/1/06/T3/2 102/1/2/01/T1/1";

class EditHistoryTest : public test::ManualEditSchool {
 protected:
  void SetUp() override {
    ManualEditSchool::SetUp();
    Timetable(kTimetable);
  }
  EditHistory history{t.db(), 6};
};

TEST_F(EditHistoryTest, UndoReturnsWhatItWroteAndANewChangeDropsTheRedo) {
  ASSERT_TRUE(history.Swap("101", 1, 1, 3, 3).ok());
  EXPECT_EQ(history.UndoLabel(), "撤销：移动 一（1）班 语文 星期一第1节 到 星期三第3节");
  Result<LessonEdit> undone = history.Undo();
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone->classCode, "101");
  EXPECT_EQ(undone->periods[0].after, (StoredLesson{"01", "T1", LessonOrigin::Fixed}));
  EXPECT_EQ(undone->periods[1].before, (StoredLesson{"01", "T1", LessonOrigin::Manual}));
  EXPECT_EQ(history.Undo().message(), "没有可以撤销的操作");
  EXPECT_FALSE(history.Swap("101", 1, 1, 1, 1).ok());  // not recorded, redo kept
  EXPECT_EQ(history.RedoLabel(), "重做：移动 一（1）班 语文 星期一第1节 到 星期三第3节");
  ASSERT_TRUE(history.Delete("101", 1, 4).ok());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Redo().message(), "没有可以重做的操作");
}

// What happened underneath, then what the refusal says. The tables stay as
// they were, the change stays in the history, and once the obstacle is gone
// the undo (or redo) goes through.
TEST_F(EditHistoryTest, AnUndoOrRedoOverSomethingChangedSinceIsRefusedAndChangesNothing) {
  struct Case {
    std::function<Result<LessonEdit>(EditHistory&)> change;
    bool redo;  // undo first, then redo over the obstacle
    const char* obstacle;
    const char* removal;
    const char* message;
  };
  const Case cases[] = {
      {[](EditHistory& h) { return h.Place("101", 2, 2, "01", "T1"); }, false,
       "update LessonListtb set SetFlag=0 where Day=2", "update LessonListtb set SetFlag=2 where Day=2",
       "无法撤销：星期二第2节 的课程已改变"},
      {[](EditHistory& h) { return h.Delete("101", 1, 1); }, false,
       "insert into LessonListtb values('101',1,1,'02','T2',2)",
       "delete from LessonListtb where Day=1 and LessonNo=1", "无法撤销：星期一第1节 已有其他课程"},
      {[](EditHistory& h) { return h.Delete("101", 1, 1); }, false,
       "insert into LessonListtb values('103',1,1,'01','T1',2)",
       "delete from LessonListtb where ClassCode='103'", "无法撤销：教师王伟 星期一第1节 已在一（3）班上课"},
      {[](EditHistory& h) { return h.Swap("101", 1, 1, 3, 3); }, false,
       "delete from LessonListtb where Day=3", "insert into LessonListtb values('101',3,3,'01','T1',2)",
       "无法撤销：星期三第3节 已没有语文这节课"},
      {[](EditHistory& h) { return h.Place("101", 2, 2, "01", "T1"); }, true,
       "insert into LessonListtb values('101',2,2,'03','T2',2)",
       "delete from LessonListtb where Day=2 and LessonNo=2", "无法重做：星期二第2节 已有其他课程"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Timetable(kTimetable);
    EditHistory h(t.db(), 6);
    ASSERT_TRUE(c.change(h).ok());
    if (c.redo) {
      ASSERT_TRUE(h.Undo().ok());
    }
    Exec(c.obstacle);
    const std::string before = State();
    EXPECT_EQ((c.redo ? h.Redo() : h.Undo()).message(), c.message);
    EXPECT_EQ(State(), before);
    Exec(c.removal);
    EXPECT_TRUE((c.redo ? h.Redo() : h.Undo()).ok());
  }
}

}  // namespace
}  // namespace orv
