// SPDX-License-Identifier: GPL-3.0-or-later
// The teaching-plan sheet: which class has which course with which teacher,
// how many lessons a week; checked against the class's week and the
// timetable it already has.
#include <map>
#include <set>

#include "core/database/class_plan.h"
#include "core/database/plan_count.h"
#include "core/exchange/import_detail.h"

namespace orv::import_detail {

namespace {

constexpr size_t kClass = 0, kClassCode = 1, kCourse = 2, kCourseCode = 3, kTeacher = 4, kTeacherCode = 5,
                 kCount = 6;

std::string Quoted(std::string_view s) { return "“" + std::string(s) + "”"; }

// A spreadsheet that took "5-1" or "3/4" for a date keeps its serial number
// (45047) or shows the date: the cell's format, not the count, is wrong.
bool LooksLikeDate(std::string_view text, const LessonCountText& parsed) {
  if (parsed.kind == LessonCountText::Kind::Number) return parsed.whole && parsed.value >= 367;
  for (std::string_view mark : {"-", "/", "年", "月", "日"})
    if (text.find(mark) != std::string_view::npos) return true;
  return false;
}

std::optional<int> Count(Problems& problems, const Sheet& sheet, const Row& row) {
  const std::string& text = row[kCount];
  const LessonCountText parsed = ParseLessonCount(text);
  if (parsed.kind == LessonCountText::Kind::Empty) {
    problems.Add(sheet, row, kCount, "没有填写");
    return std::nullopt;
  }
  if (parsed.kind == LessonCountText::Kind::Number && parsed.whole && parsed.value >= kMinWeeklyLessons &&
      parsed.value <= kMaxWeeklyLessons)
    return parsed.value;
  std::string reason = Quoted(text) + "不是" + std::to_string(kMinWeeklyLessons) + "至" +
                       std::to_string(kMaxWeeklyLessons) + "的整数";
  if (LooksLikeDate(text, parsed)) reason += "：像是日期，请把这一列的单元格格式设为“常规”或“数值”后重新填写";
  problems.Add(sheet, row, kCount, std::move(reason));
  return std::nullopt;
}

struct Final {
  std::string teacher;
  int count = 0;
  std::optional<std::string> storedTeacher;
  int storedCount = 0;
  int sheetRow = 0;
};

}  // namespace

void PlanTeaching(Work& work, Problems& problems, const Sheet& sheet) {
  using Key = std::pair<std::string, std::string>;  // class, course
  std::map<Key, Final> plan;
  for (const StoredPlanRow& r : work.storedPlan)
    plan.try_emplace({r.classCode, r.courseCode}, Final{r.teacherCode, r.count, r.teacherCode, r.count, 0});

  const bool create = work.options->createNamed;
  std::map<std::string, int> firstRowOfClass;
  std::vector<Key> order;
  for (const Row& row : sheet.rows) {
    Entry* cls = Resolve(work, problems, CodeTable::Class, sheet, row, kClass, kClassCode, create);
    Entry* course = Resolve(work, problems, CodeTable::Course, sheet, row, kCourse, kCourseCode, create);
    Entry* teacher = Resolve(work, problems, CodeTable::Teacher, sheet, row, kTeacher, kTeacherCode, create);
    const std::optional<int> count = Count(problems, sheet, row);
    if (!cls || !course || !teacher || !count) continue;
    Final& f = plan[{cls->record.code, course->record.code}];
    if (f.sheetRow) {
      problems.Add(sheet, row, kCourse,
                   "与第" + std::to_string(f.sheetRow) + "行重复：" + Label(*cls) + "的" + Label(*course) +
                       "只能有一行（一门课在一个班只由一位教师任教）");
      continue;
    }
    f.teacher = teacher->record.code;
    f.count = *count;
    f.sheetRow = row.number;
    firstRowOfClass.try_emplace(cls->record.code, row.number);
    order.push_back({cls->record.code, course->record.code});
  }

  // A class's plan, the rows the sheet leaves alone included, must fit its week.
  std::map<std::string, int> totals;
  for (const auto& [key, f] : plan) totals[key.first] += f.count;
  for (const auto& [cls, first] : firstRowOfClass)
    if (totals[cls] > work.week.Periods()) {
      const Entry* e = work.List(CodeTable::Class).ByCode(cls);
      problems.Add(sheet, first, "每周节数",
                   Label(*e) + "每周共" + std::to_string(totals[cls]) + "节，超过一周的" +
                       std::to_string(work.week.Periods()) + "节（每天" +
                       std::to_string(work.week.lessonsPerDay) + "节）");
    }

  // Lessons already placed follow their row's new teacher.
  std::map<std::tuple<std::string, std::string, std::string>, int> placed;  // class, course, teacher
  for (const StoredLesson& l : work.storedLessons) ++placed[{l.classCode, l.courseCode, l.teacherCode}];
  std::map<std::tuple<std::string, int, int>, int> busy;  // teacher, day, lesson -> lessons
  std::set<Key> moved;
  for (const Key& key : order) {
    const Final& f = plan.at(key);
    if (f.storedTeacher && *f.storedTeacher != f.teacher) moved.insert(key);
  }
  for (const StoredLesson& l : work.storedLessons) {
    const bool follows = moved.count({l.classCode, l.courseCode}) > 0 &&
                         l.teacherCode == *plan.at({l.classCode, l.courseCode}).storedTeacher;
    ++busy[{follows ? plan.at({l.classCode, l.courseCode}).teacher : l.teacherCode, l.day, l.lesson}];
  }

  Directory& classes = work.List(CodeTable::Class);
  Directory& courses = work.List(CodeTable::Course);
  Directory& teachers = work.List(CodeTable::Teacher);
  for (const Key& key : order) {
    const Final& f = plan.at(key);
    const std::string item = Label(*classes.ByCode(key.first)) + " " + Label(*courses.ByCode(key.second));
    const std::string teacherLabel = Label(*teachers.ByCode(f.teacher));
    if (!f.storedTeacher) {
      work.plan->planRows.push_back({key.first, key.second, f.teacher, f.count, std::nullopt});
      work.plan->changes.push_back({SheetKind::Plan, f.sheetRow, ImportAction::Add, item,
                                    teacherLabel + "，每周" + std::to_string(f.count) + "节"});
      continue;
    }
    std::string detail;
    if (*f.storedTeacher != f.teacher) {
      const Entry* old = teachers.ByCode(*f.storedTeacher);
      detail = "教师：" + (old ? Label(*old) : *f.storedTeacher) + "→" + teacherLabel;
    }
    if (f.storedCount != f.count)
      detail += (detail.empty() ? "" : "；") + std::string("每周节数：") + std::to_string(f.storedCount) +
                "→" + std::to_string(f.count);
    if (detail.empty()) {
      work.plan->changes.push_back({SheetKind::Plan, f.sheetRow, ImportAction::Keep, item, ""});
      continue;
    }
    work.plan->planRows.push_back({key.first, key.second, f.teacher, f.count, f.storedTeacher});
    work.plan->changes.push_back({SheetKind::Plan, f.sheetRow, ImportAction::Change, item, detail});

    const int have = placed[{key.first, key.second, *f.storedTeacher}];
    if (have > f.count)
      work.plan->warnings.push_back(item + "课表中已排" + std::to_string(have) + "节，多于新的每周节数" +
                                    std::to_string(f.count) + "节：导入后请在手工调课中删去多余的课");
    if (!moved.count(key)) continue;
    for (const StoredLesson& l : work.storedLessons)
      if (l.classCode == key.first && l.courseCode == key.second && l.teacherCode == *f.storedTeacher &&
          busy[{f.teacher, l.day, l.lesson}] > 1)
        work.plan->warnings.push_back(item + "在" + SlotLabel(l.day, l.lesson) + "的课改由" + teacherLabel +
                                      "任教后，与其另一节课冲突：导入后请在手工调课中调整");
  }
}

}  // namespace orv::import_detail
