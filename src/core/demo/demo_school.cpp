// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/demo/demo_school.h"

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "core/database/guard.h"
#include "core/database/lessons_per_day.h"
#include "core/database/school_rules.h"
#include "core/database/week_marks.h"

namespace orv {

namespace {

struct DemoCourse {
  const char* code;
  const char* name;
  const char* shortName;
};

constexpr std::array<DemoCourse, 15> kCourses = {{
    {"01", "语文", "语"},
    {"02", "数学", "数"},
    {"03", "英语", "英"},
    {"04", "科学", "科"},
    {"05", "道德与法治", "道法"},
    {"06", "体育", "体"},
    {"07", "音乐", "音"},
    {"08", "美术", "美"},
    {"09", "信息技术", "信"},
    {"10", "班会", "班会"},
    {"11", "物理", "物"},
    {"12", "化学", "化"},
    {"13", "生物", "生"},
    {"14", "历史", "史"},
    {"15", "地理", "地"},
}};

constexpr const char* kChinese = "01";
constexpr const char* kMaths = "02";
constexpr const char* kEnglish = "03";
constexpr const char* kScience = "04";
constexpr const char* kPe = "06";
constexpr const char* kMusic = "07";
constexpr const char* kArt = "08";
constexpr const char* kIt = "09";
constexpr const char* kClassMeeting = "10";
constexpr const char* kBiology = "13";
constexpr const char* kHistory = "14";

using WeeklyPlan = std::vector<std::pair<std::string, int>>;  // course code, lessons a week

// Weekly lessons of each grade for a six-lesson day, in the order the plan
// lists them; the class meeting comes last.
WeeklyPlan BasePlan(int grade) {
  if (grade <= 2)
    return {{"01", 8}, {"02", 5}, {"05", 2}, {"06", 3}, {"07", 2}, {"08", 2}, {"04", 1}, {"10", 1}};
  if (grade <= 6)
    return {{"01", 6}, {"02", 5}, {"03", 3}, {"04", 2}, {"05", 2},
            {"06", 3}, {"07", 2}, {"08", 2}, {"09", 1}, {"10", 1}};
  if (grade == 7)
    return {{"01", 5}, {"02", 5}, {"03", 4}, {"13", 2}, {"14", 2}, {"15", 2},
            {"05", 2}, {"06", 3}, {"07", 1}, {"08", 1}, {"10", 1}};
  if (grade == 8)
    return {{"01", 5}, {"02", 5}, {"03", 4}, {"11", 2}, {"13", 2}, {"14", 2},
            {"15", 1}, {"05", 2}, {"06", 2}, {"07", 1}, {"08", 1}, {"10", 1}};
  return {{"01", 5}, {"02", 5}, {"03", 4}, {"11", 3}, {"12", 3}, {"14", 2}, {"05", 2}, {"06", 2}, {"10", 1}};
}

// Brings the week to 80-95 % full for the lessons per day, or to exactly the
// share asked for: extra lessons go to the main courses, cuts come from the
// minor ones.
WeeklyPlan PlanFor(int grade, int lessonsPerDay, int fillPercent) {
  WeeklyPlan plan = BasePlan(grade);
  const int slots = 5 * lessonsPerDay;
  int target = 0, high = 0;
  if (fillPercent == 0) {
    const int low = (slots * 80 + 99) / 100;
    high = slots * 95 / 100;
    target = std::clamp(slots * 88 / 100, low, high);
  } else {
    target = (slots * fillPercent + 50) / 100;
    high = target;
  }
  auto total = [&] {
    int sum = 0;
    for (const auto& [course, count] : plan) sum += count;
    return sum;
  };
  for (size_t i = 0; total() < target; i = (i + 1) % 4) plan[i].second += 1;
  for (size_t i = plan.size() - 2; total() > high; i = (i == 0 ? plan.size() - 2 : i - 1))
    if (plan[i].second > 1) plan[i].second -= 1;
  return plan;
}

// A teacher's load stays ordinary: at most sixteen lessons and eight classes
// of one course a week.
constexpr int kMaxTeacherLessons = 16;
// With the stated rules, 语文 from this grade on has a double period a week.
constexpr int kFirstDoublesGrade = 5;
constexpr int kMaxTeacherClasses = 8;

bool StaysInGrade(const std::string& course) {
  return course == kChinese || course == kMaths || course == kEnglish;
}

constexpr std::array<const char*, 60> kSurnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡",
    "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹",
    "彭", "曾", "肖", "田", "董", "袁", "潘", "于", "蒋", "蔡", "余", "杜", "叶", "程", "苏",
    "魏", "吕", "丁", "任", "沈", "姚", "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金"};
constexpr std::array<const char*, 64> kGivenNames = {
    "伟",   "芳",   "娜",   "敏",   "静",   "丽",   "强",   "磊",   "军",   "洋",   "勇",   "艳",   "杰",
    "娟",   "涛",   "明",   "超",   "秀英", "霞",   "平",   "刚",   "桂英", "文",   "华",   "建华", "晓燕",
    "志强", "海燕", "红梅", "玉兰", "建国", "淑珍", "丽娟", "晓东", "春梅", "俊杰", "雪梅", "国庆", "立新",
    "小红", "婷婷", "慧敏", "宏伟", "海波", "亚楠", "思远", "子涵", "雨欣", "嘉怡", "晨曦", "振华", "明辉",
    "秋菊", "德胜", "玉珍", "书婷", "文静", "佳琪", "志刚", "红霞", "晓峰", "永强", "凤英", "海涛"};

class NamePicker {
 public:
  explicit NamePicker(std::uint64_t seed) : engine_(seed) {}
  std::string Next() {
    for (;;) {
      std::string name =
          std::string(kSurnames[Pick(kSurnames.size())]) + kGivenNames[Pick(kGivenNames.size())];
      if (used_.insert(name).second) return name;
    }
  }

 private:
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }
  std::mt19937_64 engine_;
  std::set<std::string> used_;
};

struct DemoClass {
  int grade;
  std::string code;
  WeeklyPlan plan;
  std::map<std::string, std::string> teacherOf;  // course code -> teacher code
};

}  // namespace

Outcome ValidateDemoOptions(const DemoOptions& o) {
  if (o.firstGrade < 1 || o.lastGrade > 9 || o.firstGrade > o.lastGrade)
    return Outcome::Fail("年级范围必须在 1-9 之间");
  if (o.classesPerGrade < 1 || o.classesPerGrade > 20) return Outcome::Fail("每个年级的班数必须在 1-20 之间");
  if (o.lessonsPerDay != 6 && o.lessonsPerDay != 7) return Outcome::Fail("每天课时数只能是 6 或 7");
  if (o.fillPercent != 0 && (o.fillPercent < 50 || o.fillPercent > 100))
    return Outcome::Fail("课时占满比例必须在 50-100 之间");
  return Outcome::Ok();
}

TermCalendar DemoTermCalendar(int lessonsPerDay) {
  TermCalendar c;
  c.start = CivilDate{2026, 9, 1};
  c.weeks = 20;
  // 40-minute lessons, the long break after the second, lunch after the fourth.
  const int starts[] = {8 * 60, 8 * 60 + 50, 9 * 60 + 50, 10 * 60 + 40, 14 * 60, 14 * 60 + 50, 15 * 60 + 40};
  for (int n = 1; n <= lessonsPerDay && n <= 7; ++n)
    c.bells.push_back({n, starts[n - 1], starts[n - 1] + 40});
  for (int day = 1; day <= 7; ++day) c.holidays.push_back({2026, 10, day});
  c.makeUps = {{{2026, 10, 11}, 3}};
  return c;
}

Outcome FillDemoSchool(TimetableDb& db, const DemoOptions& o) {
  if (Outcome valid = ValidateDemoOptions(o); !valid) return valid;
  return Guarded("", [&]() -> Outcome {
    Transaction tx(db);
    std::vector<DemoClass> classes;
    std::set<std::string> usedCourses;
    for (int grade = o.firstGrade; grade <= o.lastGrade; ++grade) {
      for (int n = 1; n <= o.classesPerGrade; ++n) {
        DemoClass c{grade, ClassCodeFor(grade, n), PlanFor(grade, o.lessonsPerDay, o.fillPercent), {}};
        const std::string g = GradeText(grade), num = std::to_string(n);
        db.Execute("insert into Classtb (Code,Name,FullName,ShortName) values (?,?,?,?)", c.code,
                   g + "（" + num + "）班", g + "年级（" + num + "）班", g + "（" + num + "）");
        for (const auto& [course, count] : c.plan) usedCourses.insert(course);
        classes.push_back(std::move(c));
      }
    }
    for (const DemoCourse& course : kCourses) {
      if (!usedCourses.count(course.code)) continue;
      db.Execute("insert into Coursetb (Code,Name,FullName,ShortName) values (?,?,?,?)", course.code,
                 course.name, course.name, course.shortName);
    }

    // Teachers: each course's classes are handed out in order, a teacher
    // taking classes until the load is full (main courses within one grade).
    NamePicker names(o.seed);
    int teacherCount = 0;
    auto newTeacher = [&] {
      char code[16];
      std::snprintf(code, sizeof code, "%03d", ++teacherCount);
      const std::string name = names.Next();
      db.Execute("insert into Teachertb (Code,Name,FullName,ShortName) values (?,?,?,?)", code, name, name,
                 name);
      return std::string(code);
    };
    for (const DemoCourse& course : kCourses) {
      if (course.code == std::string(kClassMeeting)) continue;
      std::string teacher;
      int taken = 0, load = 0, lastGrade = -1;
      for (DemoClass& c : classes) {
        auto it = std::find_if(c.plan.begin(), c.plan.end(), [&](auto& p) { return p.first == course.code; });
        if (it == c.plan.end()) continue;
        if (teacher.empty() || taken == kMaxTeacherClasses || load + it->second > kMaxTeacherLessons ||
            (StaysInGrade(course.code) && c.grade != lastGrade)) {
          teacher = newTeacher();
          taken = 0;
          load = 0;
        }
        c.teacherOf[course.code] = teacher;
        ++taken;
        load += it->second;
        lastGrade = c.grade;
      }
    }
    // The class meeting is held by the class's head teacher: one of its own
    // teachers who heads no other class, so the meetings never collide.
    std::set<std::string> heads;
    for (DemoClass& c : classes) {
      for (const auto& [course, count] : c.plan) {
        if (course == kClassMeeting) continue;
        const std::string& t = c.teacherOf[course];
        if (heads.insert(t).second) {
          c.teacherOf[kClassMeeting] = t;
          break;
        }
      }
      if (!c.teacherOf.count(kClassMeeting)) c.teacherOf[kClassMeeting] = newTeacher();
    }

    for (const DemoClass& c : classes) {
      for (const auto& [course, count] : c.plan)
        db.Execute("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values (?,?,?,?)",
                   c.code, course, c.teacherOf.at(course), count);
      db.Execute("insert into LessonListtb values (?,?,?,?,?,?)", c.code, 5, o.lessonsPerDay,
                 std::string(kClassMeeting), c.teacherOf.at(kClassMeeting), DbValue(LessonOrigin::Fixed));
      db.Execute("update ClassPlantb set BuildCount=BuildCount+1 where ClassCode=? and CourseCode=?", c.code,
                 std::string(kClassMeeting));
    }

    const std::vector<std::pair<const char*, const char*>> rooms = {
        {"01", "多媒体教室"}, {"02", "计算机房"}, {"03", "音乐教室"}, {"04", "美术教室"}, {"05", "风雨操场"}};
    for (const auto& [code, name] : rooms)
      db.Execute("insert into ClassRoomtb (Code,Name,FullName,ShortName) values (?,?,?,?)", code, name, name,
                 name);
    if (o.lastGrade >= 7)
      db.Execute("insert into ClassRoomtb (Code,Name,FullName,ShortName) values (?,?,?,?)", "06",
                 "理化实验室", "理化实验室", "实验室");

    // The computer room holds one class at a time. A school with more IT
    // lessons than the week has periods must have a second room, and the
    // lessons are then not bound to one. The sports ground holds several
    // classes at once, so PE is an ordinary course.
    if (usedCourses.count(kIt)) {
      int itLessons = 0;
      for (const DemoClass& c : classes)
        for (const auto& [course, count] : c.plan)
          if (course == kIt) itLessons += count;
      if (itLessons <= 5 * o.lessonsPerDay) db.Execute("insert into CourseAttrtb values (?)", kIt);
    }
    // Chinese and maths in the morning when possible; no PE in the first lesson.
    const char* insertLimit = "insert into Limittb values (?,?,?,?,?)";
    for (int day = 1; day <= 5; ++day) {
      for (int lesson = 1; lesson <= 4; ++lesson) {
        for (const char* course : {kChinese, kMaths})
          db.Execute(insertLimit, DbValue(LimitKind::Course), course, day, lesson, DbValue(LimitMark::Best));
      }
      if (usedCourses.count(kPe))
        db.Execute(insertLimit, DbValue(LimitKind::Course), kPe, day, 1, DbValue(LimitMark::Never));
    }
    if (o.teacherLimits) {
      // Teachers who head no class, so that no fixed class meeting falls in
      // their time away.
      auto teacherOf = [&](std::initializer_list<const char*> courses) -> std::string {
        for (const char* course : courses)
          for (const DemoClass& c : classes)
            if (auto it = c.teacherOf.find(course); it != c.teacherOf.end() && !heads.count(it->second))
              return it->second;
        return {};
      };
      auto mark = [&](const std::string& teacher, int day, int fromLesson, int toLesson, LimitMark m) {
        if (teacher.empty()) return;
        for (int lesson = fromLesson; lesson <= toLesson; ++lesson)
          db.Execute(insertLimit, DbValue(LimitKind::Teacher), teacher, day, lesson, DbValue(m));
      };
      const int afternoon = 5;
      // A part-time music teacher, away on Friday afternoons.
      mark(teacherOf({kMusic, kArt}), 5, afternoon, o.lessonsPerDay, LimitMark::Never);
      // A science teacher at the district teaching office on Wednesday afternoons.
      mark(teacherOf({kScience, kBiology, kHistory}), 3, afternoon, o.lessonsPerDay, LimitMark::Never);
      // A maths teacher who takes a child to school: not the first lesson on Monday and Tuesday.
      const std::string maths = teacherOf({kMaths});
      for (int day : {1, 2}) mark(maths, day, 1, 1, LimitMark::Never);
      // An English teacher who would rather not teach the last lesson.
      const std::string english = teacherOf({kEnglish, kChinese});
      for (int day = 1; day <= 5; ++day)
        mark(english, day, o.lessonsPerDay, o.lessonsPerDay, LimitMark::Avoid);
    }
    if (o.statedRules) {
      const char* insertRule =
          "insert into SchoolRuletb (RuleKey,Scope,Code,CourseCode,Value) values (?,?,?,?,?)";
      const int school = static_cast<int>(RuleScope::kSchool);
      db.Execute(insertRule, InfoOf(RuleKey::kMaxLessonsPerDay).text, school, "", "", 4);
      db.Execute(insertRule, InfoOf(RuleKey::kMaxInARow).text, school, "", "", 3);
      // Composition in the upper grades takes two lessons in one sitting.
      for (const DemoClass& c : classes)
        if (c.grade >= kFirstDoublesGrade && c.teacherOf.count(kChinese))
          db.Execute(insertRule, InfoOf(RuleKey::kDoublesPerWeek).text,
                     static_cast<int>(RuleScope::kClassCourse), c.code, kChinese, 1);
    }
    // The school's day goes with its file, whatever the computer's setting.
    if (Outcome recorded = RecordLessonsPerDay(db, o.lessonsPerDay); !recorded) return recorded;
    if (o.termCalendar)
      if (Outcome stated = SaveTermCalendar(db, DemoTermCalendar(o.lessonsPerDay), o.lessonsPerDay); !stated)
        return stated;
    tx.Commit();
    return Outcome::Ok();
  });
}

}  // namespace orv
