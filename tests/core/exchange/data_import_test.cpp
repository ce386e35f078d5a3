// SPDX-License-Identifier: GPL-3.0-or-later
// The importer on sheets as schools type them: which stored record a row
// means, which it adds and with what code, what every bad value is told, and
// that nothing is written while any problem remains.
#include <gtest/gtest.h>

#include "core/database/school_rules.h"
#include "import_test_support.h"

namespace orv {
namespace {

using test::Cells;
using test::SheetOfRows;

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.AddClass("11", "一（1）班", "一年级（1）班", "一（1）");
    t.AddClass("12", "一（2）班", "一年级（2）班", "一（2）");
    t.AddClass("71", "七（1）班", "七年级（1）班", "七（1）");
    t.AddCourse("01", "语文");
    t.AddCourse("02", "数学");
    t.AddCourse("09", "信息技术");
    t.AddSpecialCourse("09");
    t.AddTeacher("001", "王伟");
    t.AddTeacher("002", "李娜");
    t.AddTeacher("003", "张伟");
    t.AddTeacher("004", "张伟");
    t.AddPlan("11", "01", "001", 5);
    t.AddPlan("12", "02", "002", 4);
    t.AddLesson("11", 1, 1, "01", "001", 1);
    t.AddLesson("11", 2, 1, "01", "001", 1);
    t.AddLesson("12", 1, 1, "02", "002", 1);
    test::RecountBuildCounts(t.db());
  }

  ImportPlan Plan(std::vector<ImportSheet> sheets, ImportOptions options = {}) {
    return test::Planned(t.db(), sheets, options);
  }

  // The sheets must be refused with a problem that says `expected`, and the
  // database must stay as it was.
  void ExpectRefused(std::vector<ImportSheet> sheets, const std::string& expected) {
    const std::string before = test::Dump(t.db());
    const ImportPlan plan = Plan(std::move(sheets));
    EXPECT_NE(test::ProblemsText(plan).find(expected), std::string::npos)
        << "wanted: " << expected << "\ngot:\n"
        << test::ProblemsText(plan);
    EXPECT_FALSE(ApplyImport(t.db(), plan));
    EXPECT_EQ(test::Dump(t.db()), before);
  }

  std::string Text(const std::string& sql) { return t.db().FirstText(sql).value_or("<none>"); }

  test::TestDb t;
};

TEST_F(ImportTest, RecordsAreMatchedByCodeOrNameUpdatedAndTheRestAddedWithTheNextFreeCodes) {
  const ImportPlan plan = Plan(
      {SheetOfRows(SheetKind::Teachers, {{"全称", "教师姓名", "编号"},  // another order, another name
                                         {"王伟老师", "王伟", ""},
                                         {"", "赵敏", ""},
                                         {"", "张伟", "004"},
                                         {},
                                         {"", "孙丽", "ｔ９"}}),
       SheetOfRows(SheetKind::Courses,
                   {{"名称", "专用教室"}, {"英语", "否"}, {"信息技术", "否"}, {"科学", "是"}}),
       SheetOfRows(SheetKind::Classes, {{"年级", "班号", "名称"}, {"初一", "2", ""}, {"一年级", "１", ""}})});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.CountsOf(SheetKind::Teachers), (ImportCounts{2, 1, 1}));
  EXPECT_EQ(plan.CountsOf(SheetKind::Courses), (ImportCounts{2, 1, 0}));
  EXPECT_EQ(plan.CountsOf(SheetKind::Classes), (ImportCounts{1, 0, 1}));
  ASSERT_TRUE(ApplyImport(t.db(), plan));

  EXPECT_EQ(Text("select FullName from Teachertb where Code='001'"), "王伟老师");
  EXPECT_EQ(Text("select Name||FullName||ShortName from Teachertb where Code='005'"), "赵敏赵敏赵敏");
  EXPECT_EQ(Text("select Name from Teachertb where Code='t9'"), "孙丽");
  // Courses continue after the highest code, keep their width, and carry the special mark.
  EXPECT_EQ(Text("select Code from Coursetb where Name='英语'"), "10");
  EXPECT_EQ(Text("select Code from Coursetb where Name='科学'"), "11");
  EXPECT_EQ(t.Count("select count(*) from CourseAttrtb where CourseCode in ('09')"), 0);
  EXPECT_EQ(t.Count("select count(*) from CourseAttrtb where CourseCode='11'"), 1);
  // A class gets its code and names from grade and number, as the class editor forms them.
  EXPECT_EQ(Text("select Name||FullName||ShortName from Classtb where Code='72'"),
            "七（2）班七年级（2）班七（2）");
  EXPECT_EQ(Text("select Name from Classtb where Code='11'"), "一（1）班");
  // What no sheet names stays.
  EXPECT_EQ(t.Count("select count(*) from Teachertb where Code in ('002','003')"), 2);
}

TEST_F(ImportTest, PlanRowsFindClassesInEveryCommonFormAndNeedACodeWhereTwoShareAName) {
  const ImportPlan plan =
      Plan({SheetOfRows(SheetKind::Plan, {{"班级", "课程", "任课教师", "教师编号", "周课时"},
                                          {"一(1)班", "数学", "李娜", "", "4"},
                                          {"1年级2班", "语文", "张伟", "004", "6"},
                                          {"初一（1）班", "语文", "王伟", "", "5"},
                                          {"七年级1班", "数学", "李娜", "", "５"}})});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.CountsOf(SheetKind::Plan), (ImportCounts{4, 0, 0}));
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  EXPECT_EQ(Text("select TeacherCode||Count from ClassPlantb where ClassCode='12' and CourseCode='01'"),
            "0046");
  EXPECT_EQ(t.Count("select count(*) from ClassPlantb where ClassCode='71'"), 2);
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);

  ExpectRefused(
      {SheetOfRows(SheetKind::Plan,
                   {{"班级", "课程", "教师", "每周节数"}, {"一(2)班", "语文", "张伟", "3"}})},
      "教学计划 第2行 教师：有2个教师名为“张伟”（张伟（003）、张伟（004）），请在“教师编号”列填写编号以区分");
  ExpectRefused({SheetOfRows(SheetKind::Plan,
                             {{"班级", "课程", "教师", "每周节数"}, {"一(2)班", "语文", "王玮", "3"}})},
                "教学计划 第2行 教师：没有名为“王玮”的教师，是不是“王伟”？");
  ExpectRefused({SheetOfRows(SheetKind::Plan, {{"班级", "课程", "教师", "教师编号", "每周节数"},
                                               {"一(2)班", "语文", "王伟", "002", "3"}})},
                "编号“002”是教师“李娜”，与名称“王伟”不符");
}

TEST_F(ImportTest, ANewTeacherTakesThePlacedLessonsAlongAndBuildCountStaysTrue) {
  const ImportPlan plan = Plan({SheetOfRows(
      SheetKind::Plan, {{"班级", "课程", "教师", "每周节数"}, {"一（1）班", "语文", "李娜", "1"}})});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  ASSERT_EQ(plan.changes.size(), 1u);
  EXPECT_EQ(plan.changes[0].detail, "教师：王伟（001）→李娜（002）；每周节数：5→1");
  // Monday's first lesson of 一（1）班 now clashes with 李娜's lesson in 一（2）班,
  // and two placed lessons are more than the new count.
  ASSERT_EQ(plan.warnings.size(), 2u);
  EXPECT_NE(plan.warnings[0].find("已排2节，多于新的每周节数1节"), std::string::npos) << plan.warnings[0];
  EXPECT_NE(plan.warnings[1].find("星期一第1节"), std::string::npos) << plan.warnings[1];
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb where ClassCode='11' and TeacherCode='002'"), 2);
  EXPECT_EQ(t.BuildCount("11", "01"), 2);
  EXPECT_EQ(test::WrongBuildCounts(t.db()), 0);
}

TEST_F(ImportTest, EveryBadValueIsToldWithSheetRowAndColumnAndNothingIsWritten) {
  const std::vector<std::string> header = {"班级", "课程", "教师", "每周节数"};
  const auto plan = [&](std::vector<std::string> row) {
    Cells rows = {header};
    rows.push_back(std::move(row));
    return std::vector<ImportSheet>{SheetOfRows(SheetKind::Plan, rows)};
  };
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "0"}), "教学计划 第2行 每周节数：“0”不是1至35的整数");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "36"}), "“36”不是1至35的整数");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "2.5"}), "“2.5”不是1至35的整数");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "五"}), "“五”不是1至35的整数");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", ""}), "每周节数：没有填写");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "45047"}), "像是日期");
  ExpectRefused(plan({"一(2)班", "语文", "王伟", "5月1日"}), "像是日期");
  ExpectRefused(plan({"一(9)班", "语文", "王伟", "3"}), "班级：没有名为“一(9)班”的班级");
  ExpectRefused(plan({"二年级", "语文", "王伟", "3"}), "班级可写作");
  ExpectRefused({SheetOfRows(SheetKind::Plan,
                             {header, {"一(2)班", "语文", "王伟", "3"}, {"一(2)班", "语文", "李娜", "2"}})},
                "教学计划 第3行 课程：与第2行重复");
  // 35 + the stored 5 of 语文 is more than a week of seven lessons a day holds.
  ExpectRefused(plan({"一(1)班", "数学", "王伟", "31"}),
                "教学计划 第2行 每周节数：一（1）班（11）每周共36节，超过一周的35节（每天7节）");
  ExpectRefused({SheetOfRows(SheetKind::Plan, {{"班级", "课程", "每周节数"}})},
                "教学计划 第1行 教师：缺少这一必填列");
  ExpectRefused({SheetOfRows(SheetKind::Plan, {{"甲", "乙"}, {"1", "2"}})}, "找不到列标题");

  const std::vector<std::string> limitHeader = {"对象类型", "名称", "星期", "节次", "限制"};
  ExpectRefused(
      {SheetOfRows(SheetKind::Restrictions, {limitHeader, {"教师", "王伟", "星期一", "1", "最好不排"}})},
      "上课时间限制 第2行 限制：“最好不排”不是限制：应为最佳位置、正常、尽量不排、不排");
  ExpectRefused(
      {SheetOfRows(SheetKind::Restrictions, {limitHeader, {"教师", "王伟", "星期六", "1", "不排"}})},
      "星期：“星期六”不是星期一至星期五");
  ExpectRefused(
      {SheetOfRows(SheetKind::Restrictions, {limitHeader, {"老师", "王伟", "星期一", "1", "不排"}})},
      "对象类型：“老师”不是对象类型");
  ExpectRefused({SheetOfRows(SheetKind::Restrictions, {limitHeader,
                                                       {"教师", "王伟", "周一", "1", "不排"},
                                                       {"教师", "王伟", "1", "第1节", "正常"}})},
                "上课时间限制 第3行 节次：与第2行重复");

  const std::vector<std::string> ruleHeader = {"规则", "范围", "对象", "值"};
  ExpectRefused({SheetOfRows(SheetKind::Rules, {ruleHeader, {"教师每天最多节数", "全校", "", "9"}})},
                "“9”不是教师每天最多节数的值");
  ExpectRefused({SheetOfRows(SheetKind::Rules, {ruleHeader, {"专用教室数", "课程", "语文", "2"}})},
                "专用教室数只能为专用课程设置");
  ExpectRefused({SheetOfRows(SheetKind::Rules, {ruleHeader, {"每天最多", "全校", "", "4"}})},
                "“每天最多”不是规则");

  ExpectRefused({SheetOfRows(SheetKind::Teachers, {{"姓名"}, {"赵敏"}, {"赵敏"}})},
                "教师 第3行 姓名：与第2行同名；同名的教师请都填写编号以区分");
  ExpectRefused({SheetOfRows(SheetKind::Teachers, {{"姓名"}, {"张伟"}})},
                "有2个教师名为“张伟”，请填写编号以区分");
  ExpectRefused({SheetOfRows(SheetKind::Classes, {{"年级", "班号"}, {"十年级", "1"}, {"一年级", "21"}})},
                "班级 第2行 年级：“十年级”不是年级");
  ExpectRefused({SheetOfRows(SheetKind::Classes, {{"年级", "班号"}, {"一年级", "21"}})},
                "“21”不是1至20的班号");
  ExpectRefused({SheetOfRows(SheetKind::Courses, {{"名称", "专用教室"}, {"物理", "也许"}})},
                "“也许”应为“是”或“否”");
  // A sheet the reader could not read faithfully is reported, not guessed at.
  ExpectRefused(
      {{SheetKind::Plan, Table{"教学计划", {}, "第2行有合并的单元格（A2:B2），请取消合并后重新导入"}}},
      "教学计划：第2行有合并的单元格");
}

TEST_F(ImportTest, RestrictionsAndRulesAreComparedCellByCellAndRuleByRule) {
  t.AddLimit(DbValue(LimitKind::Teacher), "001", 1, 1, DbValue(LimitMark::Never));
  t.AddLimit(DbValue(LimitKind::Teacher), "001", 1, 2, DbValue(LimitMark::Avoid));
  ASSERT_TRUE(SetSchoolRule(t.db(), {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4}));
  const ImportPlan plan =
      Plan({SheetOfRows(SheetKind::Restrictions, {{"对象类型", "名称", "编号", "星期", "节次", "限制"},
                                                  {"教师", "王伟", "", "星期一", "1", "不排"},
                                                  {"教师", "", "001", "星期一", "2", "正常"},
                                                  {"班级", "初一(1)班", "", "星期五", "第7节", "尽量不排"},
                                                  {"公共教室", "微机室", "", "星期五", "1", "不排"}}),
            SheetOfRows(SheetKind::Rooms, {{"名称"}, {"微机室"}}),
            SheetOfRows(SheetKind::Rules, {{"规则", "范围", "对象", "对象编号", "课程", "值"},
                                           {"教师每天最多节数", "全校", "", "", "", "5"},
                                           {"教师每天最多节数", "教师", "张伟", "003", "", "3"},
                                           {"连堂课", "班级课程", "一(1)班", "", "语文", "1"},
                                           {"班级课表无空节", "班级", "一(2)班", "", "", "是"}})});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.CountsOf(SheetKind::Restrictions), (ImportCounts{2, 1, 1}));
  EXPECT_EQ(plan.CountsOf(SheetKind::Rules), (ImportCounts{3, 1, 0}));
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  // 正常 is no row at all.
  EXPECT_EQ(t.Count("select count(*) from Limittb where Code='001'"), 1);
  EXPECT_EQ(t.Count("select Attr from Limittb where Kind=0 and Code='71' and Day=5 and LessonNo=7"),
            DbValue(LimitMark::Avoid));
  EXPECT_EQ(t.Count("select count(*) from Limittb where Kind=3 and Code='01'"), 1);
  const Result<std::vector<SchoolRule>> rules = LoadSchoolRules(t.db());
  ASSERT_TRUE(rules);
  EXPECT_EQ(rules->size(), 4u);
  EXPECT_EQ(t.Count("select Value from SchoolRuletb where Scope=0"), 5);
  EXPECT_EQ(t.Count("select Value from SchoolRuletb where Scope=1 and Code='003'"), 3);
}

TEST_F(ImportTest, ReplaceClearsTheSchoolAndItsTimetableFirst) {
  const ImportPlan plan = Plan({SheetOfRows(SheetKind::Teachers, {{"姓名"}, {"王伟"}}),
                                SheetOfRows(SheetKind::Courses, {{"名称"}, {"语文"}}),
                                SheetOfRows(SheetKind::Classes, {{"年级", "班号"}, {"一年级", "1"}}),
                                SheetOfRows(SheetKind::Plan, {{"班级", "课程", "教师", "每周节数"},
                                                              {"一(1)班", "语文", "王伟", "6"}})},
                               {ImportMode::Replace, false});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.clearing.classes, 3);
  EXPECT_EQ(plan.clearing.teachers, 4);
  EXPECT_EQ(plan.clearing.lessons, 3);
  EXPECT_EQ(plan.Total(), (ImportCounts{4, 0, 0}));
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  EXPECT_EQ(t.Count("select count(*) from LessonListtb"), 0);
  EXPECT_EQ(t.Count("select count(*) from CourseAttrtb"), 0);
  EXPECT_EQ(Text("select group_concat(Code||Name) from Teachertb"), "001王伟");
  EXPECT_EQ(Text("select ClassCode||CourseCode||TeacherCode||Count||BuildCount from ClassPlantb"),
            "11010016"
            "0");
}

TEST_F(ImportTest, APlanAloneMayCreateTheCoursesTeachersAndClassesItNames) {
  const std::vector<ImportSheet> sheets = {SheetOfRows(SheetKind::Plan, {{"班级", "课程", "教师", "每周节数"},
                                                                         {"二年级3班", "语文", "钱红", "7"},
                                                                         {"二(3)班", "美术", "钱红", "2"}})};
  EXPECT_EQ(test::ProblemsText(Plan(sheets)).find("没有名为“钱红”的教师") != std::string::npos, true);
  const ImportPlan plan = Plan(sheets, {ImportMode::Merge, true});
  ASSERT_TRUE(plan.Ok()) << test::ProblemsText(plan);
  EXPECT_EQ(plan.CountsOf(SheetKind::Classes).added, 1);
  EXPECT_EQ(plan.CountsOf(SheetKind::Courses).added, 1);
  EXPECT_EQ(plan.CountsOf(SheetKind::Teachers).added, 1);
  ASSERT_TRUE(ApplyImport(t.db(), plan));
  EXPECT_EQ(Text("select Name||FullName from Classtb where Code='23'"), "二（3）班二年级（3）班");
  EXPECT_EQ(Text("select Code from Teachertb where Name='钱红'"), "005");
  EXPECT_EQ(Text("select Code from Coursetb where Name='美术'"), "10");
  EXPECT_EQ(t.Count("select sum(Count) from ClassPlantb where ClassCode='23'"), 9);
}

}  // namespace
}  // namespace orv
