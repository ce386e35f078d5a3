// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/maintenance.h"

#include <array>
#include <utility>
#include <vector>

#include "core/database/guard.h"
#include "core/database/plan_count.h"
#include "core/database/school_rules.h"
#include "core/database/week_marks.h"
#include "core/domain/week.h"

namespace orv {

long long MaintenanceReport::Repairs() const {
  return lessonsOutsideWeek + orphanLessons + orphanPlanRows + planRowsWithoutCount + planCountsFromLessons +
         planCountsCapped + restrictions + duplicateRestrictions + specialCourses + recountedPlanRows +
         schoolRules;
}

namespace {

// A stored day or lesson number that no week has: missing, not a whole
// number, or out of range. Text in an integer column compares above every
// number, so "between" rejects it too.
#define ORV_OUTSIDE_WEEK(day, lesson)                                            \
  day " is null or " lesson " is null or " day " not between 1 and 5 or " lesson \
      " not between 1 and 7 or " day "<>cast(" day " as integer) or " lesson "<>cast(" lesson " as integer)"
static_assert(kDaysPerWeek == 5 && kMaxLessonsPerDay == 7, "the week of ORV_OUTSIDE_WEEK");

// A stored weekly count that is no number at all, or below one.
constexpr const char* kUnusableCount =
    "(Count is null or typeof(Count) not in ('integer','real') or Count < 1)";

}  // namespace

Result<MaintenanceReport> MaintainData(TimetableDb& db) {
  return Guarded("", [&]() -> Result<MaintenanceReport> {
    MaintenanceReport report;
    Transaction tx(db);
    report.lessonsOutsideWeek =
        db.Execute("Delete from LessonListtb where " ORV_OUTSIDE_WEEK("Day", "LessonNo"));
    // "IS NULL" catches rows whose reference was never filled in: NOT IN
    // alone would keep them, since a comparison with NULL is never true.
    report.orphanLessons = db.Execute(
        "Delete from LessonListtb where ClassCode is null or CourseCode is null or TeacherCode is null"
        " or ClassCode not in (Select Code from Classtb where Code is not null)"
        " or CourseCode not in (Select Code from Coursetb where Code is not null)"
        " or TeacherCode not in (Select Code from Teachertb where Code is not null)");
    report.orphanPlanRows = db.Execute(
        "Delete from ClassPlantb where ClassCode is null or CourseCode is null or TeacherCode is null"
        " or ClassCode not in (Select Code from Classtb where Code is not null)"
        " or CourseCode not in (Select Code from Coursetb where Code is not null)"
        " or TeacherCode not in (Select Code from Teachertb where Code is not null)");
    // A row without a usable count whose lessons stand in the timetable keeps
    // them: the lessons say what the plan was. Without lessons nothing says
    // it, and the row goes.
    const std::string lessonsOfRow =
        "(Select Count(*) from LessonListtb L where L.ClassCode = ClassPlantb.ClassCode"
        " and L.CourseCode = ClassPlantb.CourseCode and L.TeacherCode = ClassPlantb.TeacherCode)";
    report.planCountsFromLessons =
        db.Execute("Update ClassPlantb set Count = min(" + std::to_string(kMaxWeeklyLessons) + "," +
                   lessonsOfRow + ") where " + kUnusableCount + " and " + lessonsOfRow + " > 0");
    report.planRowsWithoutCount = db.Execute(std::string("Delete from ClassPlantb where ") + kUnusableCount);
    report.planCountsCapped = db.Execute(
        "Update ClassPlantb set Count = min(?, cast(Count as integer))"
        " where Count > ? or Count <> cast(Count as integer)",
        kMaxWeeklyLessons, kMaxWeeklyLessons);
    report.recountedPlanRows = db.Execute("Update ClassPlantb set BuildCount = " + lessonsOfRow +
                                          " where BuildCount is not " + lessonsOfRow);
    report.restrictions = db.Execute(
        "Delete from Limittb where Code is null"
        " or (Kind = ? and Code not in (Select Code from Classtb where Code is not null))"
        " or (Kind = ? and Code not in (Select Code from Coursetb where Code is not null))"
        " or (Kind = ? and Code not in (Select Code from Teachertb where Code is not null))"
        " or (Kind = ? and Code not in (Select Code from ClassRoomtb where Code is not null))",
        DbValue(LimitKind::Class), DbValue(LimitKind::Course), DbValue(LimitKind::Teacher),
        DbValue(LimitKind::ClassRoom));
    // Of two rows on one cell the stricter mark counts everywhere; the row
    // stored first takes it and the others go.
    const char* sameCell =
        "L2.Kind = Limittb.Kind and L2.Code = Limittb.Code and L2.Day = Limittb.Day"
        " and L2.LessonNo = Limittb.LessonNo and L2.Attr between ? and ?";
    const int lowest = DbValue(LimitMark::Best), highest = DbValue(LimitMark::Never);
    db.Execute(std::string("Update Limittb set Attr = (Select max(L2.Attr) from Limittb L2 where ") +
                   sameCell + ") where Attr between ? and ? and (Select count(*) from Limittb L2 where " +
                   sameCell + ") > 1",
               lowest, highest, lowest, highest, lowest, highest);
    report.duplicateRestrictions = db.Execute(
        std::string("Delete from Limittb where Attr between ? and ? and rowid > (Select min(L2.rowid) from "
                    "Limittb L2 where ") +
            sameCell + ")",
        lowest, highest, lowest, highest);
    report.specialCourses = db.Execute(
        "Delete from CourseAttrtb where CourseCode is null"
        " or CourseCode not in (Select Code from Coursetb where Code is not null)");
    // After the special-course marks: a room count means nothing for a course
    // that is no longer special.
    report.schoolRules = db.Execute(
        "Delete from SchoolRuletb where"
        " (Scope = ? and Code not in (Select Code from Teachertb where Code is not null))"
        " or (Scope in (?,?) and Code not in (Select Code from Classtb where Code is not null))"
        " or (Scope = ? and Code not in (Select Code from Coursetb where Code is not null))"
        " or (Scope = ? and CourseCode not in (Select Code from Coursetb where Code is not null))"
        " or (RuleKey = ? and Scope = ? and Code not in"
        " (Select CourseCode from CourseAttrtb where CourseCode is not null))",
        static_cast<int>(RuleScope::kTeacher), static_cast<int>(RuleScope::kClass),
        static_cast<int>(RuleScope::kClassCourse), static_cast<int>(RuleScope::kCourse),
        static_cast<int>(RuleScope::kClassCourse), InfoOf(RuleKey::kRooms).text,
        static_cast<int>(RuleScope::kCourse));
    tx.Commit();
    return report;
  });
}

std::vector<std::string> MaintenanceLines(const MaintenanceReport& r) {
  std::vector<std::string> lines;
  auto line = [&](long long n, const char* what) {
    if (n > 0) lines.push_back(std::string(what) + "：" + std::to_string(n));
  };
  line(r.lessonsOutsideWeek, "删除星期或节次无效的课");
  line(r.orphanLessons, "删除班级、课程或教师已不存在的课");
  line(r.orphanPlanRows, "删除班级、课程或教师已不存在的教学计划");
  line(r.planRowsWithoutCount, "删除每周节数无效且未排课的教学计划");
  line(r.planCountsFromLessons, "每周节数无效、按已排的课重设节数的教学计划");
  line(r.planCountsCapped, "每周节数超过35或不是整数、已改为1到35之间整数的教学计划");
  line(r.restrictions, "删除对象已不存在的限制");
  line(r.duplicateRestrictions, "删除同一节次重复的限制（保留较严格的一项）");
  line(r.specialCourses, "删除课程已不存在的专用课程标记");
  line(r.recountedPlanRows, "重新计算已排节数的教学计划");
  line(r.schoolRules, "删除对象已不存在的排课规则（或非专用课程的专用教室数）");
  if (lines.empty()) lines.push_back("没有发现需要修复的数据");
  return lines;
}

Outcome DeleteAllLessons(TimetableDb& db) {
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    db.Execute("delete from LessonListtb");
    db.Execute("update ClassPlantb Set IsAutoBuild=0,BuildCount=0");
    tx.Commit();
    return Outcome::Ok();
  });
}

std::string PromoteClassName(std::string_view name) {
  static const std::array<std::pair<std::string_view, std::string_view>, 7> kNext = {{
      {"一", "二"},
      {"二", "三"},
      {"三", "四"},
      {"四", "五"},
      {"五", "六"},
      {"七", "八"},
      {"八", "九"},
  }};
  for (const auto& [from, to] : kNext) {
    if (name.substr(0, from.size()) == from) return std::string(to) + std::string(name.substr(from.size()));
  }
  return std::string(name);
}

namespace {

struct ClassRow {
  std::string code, name, fullName, shortName;
};

// Grades 6 and 9 end their school stages; a text comparison of the first
// character keeps codes such as "6a" or "60" in the right grade.
constexpr std::string_view kLeavingLessons =
    "delete from LessonListtb where substr(ClassCode,1,1)='6' or substr(ClassCode,1,1)='9'";
constexpr std::string_view kLeavingPlans =
    "delete from ClassPlantb where substr(ClassCode,1,1)='6' or substr(ClassCode,1,1)='9'";
constexpr std::string_view kLeavingCourseRules =
    "delete from SchoolRuletb where Scope=? and (substr(Code,1,1)='6' or substr(Code,1,1)='9')";
constexpr std::string_view kLeavingClasses =
    "delete from Classtb where substr(Code,1,1)='6' or substr(Code,1,1)='9'";

// A code above '0' that does not start with a grade digit cannot be moved up a
// grade; the whole upgrade is refused rather than half-done.
constexpr std::string_view kUnpromotable =
    "select c from (select ClassCode as c from LessonListtb union select ClassCode from ClassPlantb"
    " union select Code from Classtb) where substr(c,1,1)>'0' and substr(c,1,1) not between '1' and '9'"
    " limit 1";

}  // namespace

Outcome UpgradeSchoolYear(TimetableDb& db) {
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    if (auto bad = db.FirstText(kUnpromotable))
      return Outcome::Fail("班级代码 '" + *bad + "' 不以年级数字开头");
    db.Execute(kLeavingLessons);
    db.Execute(
        "update LessonListtb set ClassCode = (cast(substr(ClassCode,1,1) as integer)+1) || "
        "substr(ClassCode,2)"
        " where substr(ClassCode,1,1)>'0'");
    db.Execute(kLeavingPlans);
    db.Execute(
        "update ClassPlantb Set ClassCode = (cast(substr(ClassCode,1,1) as integer)+1) || substr(ClassCode,2)"
        " where substr(ClassCode,1,1)>'0'");
    const int classCourse = static_cast<int>(RuleScope::kClassCourse);
    db.Execute(kLeavingCourseRules, classCourse);
    // One class at a time, highest first: the table's key would refuse a code
    // the next grade still holds.
    std::vector<std::string> ruleClasses;
    {
      Cursor c = db.Query(
          "select distinct Code from SchoolRuletb where Scope=? and substr(Code,1,1) between '1' and '8'"
          " order by Code DESC",
          classCourse);
      while (c.Next()) ruleClasses.push_back(c.Text(0));
    }
    for (const std::string& code : ruleClasses)
      db.Execute("update SchoolRuletb Set Code=? where Scope=? and Code=?",
                 std::to_string(code[0] - '0' + 1) + code.substr(1), classCourse, code);
    db.Execute(kLeavingClasses);

    // Read first, then write: the loop visits the classes as they were, and
    // highest code first so that each new code is already free.
    std::vector<ClassRow> classes;
    {
      Cursor c = db.Query(
          "select Code,Name,FullName,ShortName from Classtb where substr(Code,1,1)>'0' order by Code DESC");
      while (c.Next()) classes.push_back({c.Text(0), c.Text(1), c.Text(2), c.Text(3)});
    }
    for (const ClassRow& row : classes) {
      const std::string newCode = std::to_string(row.code[0] - '0' + 1) + row.code.substr(1);
      db.Execute("update Classtb Set Code=?,Name=?,FullName=?,ShortName=? WHERE Code=?", newCode,
                 PromoteClassName(row.name), PromoteClassName(row.fullName), PromoteClassName(row.shortName),
                 row.code);
      if (row.code[0] == '1') {
        db.Execute("insert into Classtb(Code,Name,FullName,ShortName) values(?,?,?,?)", row.code, row.name,
                   row.fullName, row.shortName);
      }
    }
    tx.Commit();
    return Outcome::Ok();
  });
}

Result<UpgradeCounts> CountUpgrade(TimetableDb& db) {
  return Guarded("", [&]() -> Result<UpgradeCounts> {
    UpgradeCounts counts;
    counts.graduating =
        db.FirstInt("select count(*) from Classtb where substr(Code,1,1) in ('6','9')").value_or(0);
    counts.newFirstGrade = db.FirstInt("select count(*) from Classtb where substr(Code,1,1)='1'").value_or(0);
    counts.promoted = db.FirstInt("select count(*) from Classtb where substr(Code,1,1)>'0'").value_or(0) -
                      counts.graduating;
    return counts;
  });
}

}  // namespace orv
