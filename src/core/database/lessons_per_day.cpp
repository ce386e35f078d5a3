// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/lessons_per_day.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "core/database/guard.h"
#include "core/database/schema.h"
#include "core/database/week_marks.h"

namespace orv {

namespace {

constexpr const char* kName = "LessonsPerDay";
constexpr const char* kHasSettingTable = "select 1 from sqlite_master where type='table' and name=?";
constexpr const char* kSelectSetting = "select Value from SchoolSettingtb where Name=?";
constexpr const char* kWriteSetting = "insert or replace into SchoolSettingtb (Name,Value) values (?,?)";
// Only lessons inside some school week say how long the day is; a stray row
// with lesson 99 is the maintenance's business, not a reason for a longer day.
constexpr const char* kHighestLesson =
    "select max(LessonNo) from LessonListtb where Day between 1 and ? and LessonNo between 1 and ?";
constexpr const char* kCountBeyond =
    "select count(*),coalesce(sum(SetFlag=?),0) from LessonListtb where LessonNo>?";
constexpr const char* kCountBeyondByPlan =
    "select ClassCode,CourseCode,TeacherCode,count(*) from LessonListtb where LessonNo>?"
    " group by ClassCode,CourseCode,TeacherCode";
constexpr const char* kLowerBuildCount =
    "update ClassPlantb set BuildCount=max(0,BuildCount-?) where ClassCode=? and CourseCode=? and "
    "TeacherCode=?";
constexpr const char* kDeleteBeyond = "delete from LessonListtb where LessonNo>?";

constexpr bool IsDayLength(int n) { return n == 6 || n == kMaxLessonsPerDay; }

std::string DayText(int n) { return "每天" + std::to_string(n) + "节"; }

}  // namespace

Result<std::optional<int>> StoredLessonsPerDay(TimetableDb& db) {
  return Guarded("读取每天课时数失败：", [&]() -> Result<std::optional<int>> {
    if (!db.Exists(kHasSettingTable, kSchoolSettingTable)) return std::optional<int>();
    const std::optional<std::string> value = db.FirstText(kSelectSetting, kName);
    if (!value) return std::optional<int>();
    int n = 0;
    const auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), n);
    const bool whole = ec == std::errc() && end == value->data() + value->size();
    return whole && IsDayLength(n) ? std::optional<int>(n) : std::optional<int>();
  });
}

Result<int> DatabaseLessonsPerDay(TimetableDb& db, int settingLessonsPerDay) {
  const Result<std::optional<int>> stored = StoredLessonsPerDay(db);
  if (!stored) return stored.outcome();
  if (*stored) return **stored;
  return Guarded("读取每天课时数失败：", [&]() -> Result<int> {
    const int highest =
        static_cast<int>(db.FirstInt(kHighestLesson, kDaysPerWeek, kMaxLessonsPerDay).value_or(0));
    const int setting = IsDayLength(settingLessonsPerDay) ? settingLessonsPerDay : 6;
    return std::max(setting, highest > 6 ? kMaxLessonsPerDay : 6);
  });
}

Outcome RecordLessonsPerDay(TimetableDb& db, int lessonsPerDay) {
  if (!IsDayLength(lessonsPerDay)) return Outcome::Fail("每天课时数只能是 6 或 7");
  return Guarded("保存每天课时数失败：", [&]() -> Outcome {
    db.Execute(kWriteSetting, kName, std::to_string(lessonsPerDay));
    return Outcome::Ok();
  });
}

Result<LessonsBeyondDay> CountLessonsBeyondDay(TimetableDb& db, int lessonsPerDay) {
  return Guarded("统计课时失败：", [&]() -> Result<LessonsBeyondDay> {
    Cursor c = db.Query(kCountBeyond, DbValue(LessonOrigin::Fixed), lessonsPerDay);
    c.Next();
    return LessonsBeyondDay{c.Int(0), c.Int(1)};
  });
}

Outcome ChangeLessonsPerDay(TimetableDb& db, int lessonsPerDay,
                            const std::function<Outcome()>& alsoBeforeCommit) {
  if (!IsDayLength(lessonsPerDay)) return Outcome::Fail("每天课时数只能是 6 或 7");
  return Guarded("修改每天课时数失败：", [&]() -> Outcome {
    Transaction tx(db);
    struct PlanLessons {
      std::string classCode, courseCode, teacherCode;
      int count;
    };
    std::vector<PlanLessons> removed;
    {
      Cursor c = db.Query(kCountBeyondByPlan, lessonsPerDay);
      while (c.Next()) removed.push_back({c.Text(0), c.Text(1), c.Text(2), c.Int(3)});
    }
    for (const PlanLessons& p : removed)
      db.Execute(kLowerBuildCount, p.count, p.classCode, p.courseCode, p.teacherCode);
    db.Execute(kDeleteBeyond, lessonsPerDay);
    if (Outcome recorded = RecordLessonsPerDay(db, lessonsPerDay); !recorded) return recorded;
    if (alsoBeforeCommit) {
      if (Outcome also = alsoBeforeCommit(); !also) return also;
    }
    tx.Commit();
    return Outcome::Ok();
  });
}

Outcome AdoptLessonsPerDay(TimetableDb& db, int lessonsPerDay) {
  const Result<std::optional<int>> stored = StoredLessonsPerDay(db);
  if (!stored) return stored.outcome();
  if (*stored == lessonsPerDay) return Outcome::Ok();
  const Result<LessonsBeyondDay> beyond = CountLessonsBeyondDay(db, lessonsPerDay);
  if (!beyond) return beyond.outcome();
  if (beyond->lessons > 0)
    return Outcome::Fail("数据库中有 " + std::to_string(beyond->lessons) + " 节课（其中固定课 " +
                         std::to_string(beyond->fixed) + " 节）排在第" + std::to_string(lessonsPerDay) +
                         "节以后，不能按" + DayText(lessonsPerDay) + "排课；请先在“每天课时设置”中修改");
  return RecordLessonsPerDay(db, lessonsPerDay);
}

}  // namespace orv
