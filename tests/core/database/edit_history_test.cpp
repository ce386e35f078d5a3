// Undo and redo of the window's changes: exact, in order, and refused
// without a trace when the timetable moved on underneath.
#include "core/database/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manual_edit_fixture.h"

namespace orv {
namespace {

class EditHistoryTest : public test::ManualEditSchool {
 protected:
  void SetUp() override {
    ManualEditSchool::SetUp();
    Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1 101/2/1/06/T3/2 102/1/2/01/T1/1");
  }
  EditHistory history{t.db(), 6};
};

TEST_F(EditHistoryTest, UndoAndRedoRestoreEveryStepExactlyFlagsAndCountsIncluded) {
  const std::function<Result<LessonEdit>()> steps[] = {
      [&] { return history.Place("101", 3, 3, "01", "T1"); },
      [&] { return history.Swap("101", 1, 4, 2, 1); },  // two lessons with flags 1 and 2
      [&] { return history.Swap("101", 1, 1, 5, 6); },  // a fixed lesson moved
      [&] { return history.Delete("101", 3, 3); },      // the placed lesson again
      [&] { return history.Delete("101", 5, 6); },      // the moved one, now manual
      [&] { return history.Place("101", 5, 6, "01", "T1"); },
  };
  std::vector<std::string> states = {State()};
  for (const auto& step : steps) {
    Result<LessonEdit> r = step();
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(history.UndoLabel(), "撤销：" + r->description);
    states.push_back(State());
    EXPECT_NE(states.back(), states[states.size() - 2]);
  }
  EXPECT_EQ(history.UndoLabel(), "撤销：安排 一（1）班 星期五第6节 语文");
  for (size_t i = states.size() - 1; i > 0; --i) {
    Result<LessonEdit> r = history.Undo();
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(State(), states[i - 1]) << "undo to step " << i - 1;
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Undo().message(), "没有可以撤销的操作");
  EXPECT_EQ(history.RedoLabel(), "重做：安排 一（1）班 星期三第3节 语文");
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(history.Redo().ok());
    EXPECT_EQ(State(), states[i]) << "redo to step " << i;
  }
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
}

TEST_F(EditHistoryTest, UndoTellsTheWindowWhatItWrote) {
  ASSERT_TRUE(history.Swap("101", 1, 1, 3, 3).ok());
  Result<LessonEdit> undone = history.Undo();
  ASSERT_TRUE(undone.ok());
  EXPECT_EQ(undone->classCode, "101");
  EXPECT_EQ(undone->kind, EditKind::Move);
  ASSERT_EQ(undone->periods.size(), 2u);
  EXPECT_EQ(undone->periods[0].after, (StoredLesson{"01", "T1", LessonOrigin::Fixed}));
  EXPECT_EQ(undone->periods[1].before, (StoredLesson{"01", "T1", LessonOrigin::Manual}));
  EXPECT_EQ(At("101", 1, 1), "01/T1/0");
}

// What happened underneath, then what the refusal says; the tables stay as
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
       "update LessonListtb set SetFlag=0 where Day=2 and LessonNo=2",
       "update LessonListtb set SetFlag=2 where Day=2 and LessonNo=2", "无法撤销：星期二第2节 的课程已改变"},
      {[](EditHistory& h) { return h.Delete("101", 1, 1); }, false,
       "insert into LessonListtb values('101',1,1,'02','T2',2)",
       "delete from LessonListtb where ClassCode='101' and Day=1 and LessonNo=1",
       "无法撤销：星期一第1节 已有其他课程"},
      {[](EditHistory& h) { return h.Delete("101", 1, 1); }, false,
       "insert into LessonListtb values('103',1,1,'01','T1',2)",
       "delete from LessonListtb where ClassCode='103'", "无法撤销：教师王伟 星期一第1节 已在一（3）班上课"},
      {[](EditHistory& h) { return h.Swap("101", 1, 1, 3, 3); }, false,
       "delete from LessonListtb where Day=3 and LessonNo=3",
       "insert into LessonListtb values('101',3,3,'01','T1',2)", "无法撤销：星期三第3节 已没有语文这节课"},
      {[](EditHistory& h) { return h.Place("101", 2, 2, "01", "T1"); }, true,
       "insert into LessonListtb values('101',2,2,'03','T2',2)",
       "delete from LessonListtb where Day=2 and LessonNo=2", "无法重做：星期二第2节 已有其他课程"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EditHistory h(t.db(), 6);
    ASSERT_TRUE(c.change(h).ok());
    if (c.redo) ASSERT_TRUE(h.Undo().ok());
    Exec(c.obstacle);
    const std::string before = State();
    Result<LessonEdit> r = c.redo ? h.Redo() : h.Undo();
    EXPECT_EQ(r.message(), c.message);
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(c.redo ? h.CanRedo() : h.CanUndo());
    Exec(c.removal);
    EXPECT_TRUE((c.redo ? h.Redo() : h.Undo()).ok());
    Timetable("101/1/1/01/T1/0 101/1/4/02/T2/1 101/2/1/06/T3/2 102/1/2/01/T1/1");
  }
}

TEST_F(EditHistoryTest, ANewChangeDropsWhatCouldBeRedoneAndFailedChangesAreNotRecorded) {
  ASSERT_TRUE(history.Place("101", 2, 2, "01", "T1").ok());
  ASSERT_TRUE(history.Undo().ok());
  EXPECT_TRUE(history.CanRedo());
  EXPECT_FALSE(history.Swap("101", 1, 1, 1, 1).ok());
  EXPECT_TRUE(history.CanRedo());
  EXPECT_FALSE(history.CanUndo());
  ASSERT_TRUE(history.Delete("101", 1, 4).ok());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Redo().message(), "没有可以重做的操作");
  EXPECT_EQ(history.UndoLabel(), "撤销：删除 一（1）班 星期一第4节 数学");
}

}  // namespace
}  // namespace orv
