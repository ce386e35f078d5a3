// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/data_sheets.h"

#include "core/database/class_list.h"
#include "core/database/school_rules.h"
#include "core/domain/marks.h"
#include "core/domain/week.h"

namespace orv {

namespace {

using V = ValueList;

// Guide: what the 说明 sheet's own columns are.
constexpr ColumnInfo kGuide[] = {
    {"工作表", "说明所在的工作表", "课程", false, V::None, false, 12},
    {"列", "该工作表的列标题", "名称", false, V::None, false, 14},
    {"必填", "该列是否必须填写", "是", false, V::None, false, 6},
    {"说明", "该列填写什么", "", false, V::None, false, 60},
    {"示例", "一个填写示例", "", false, V::None, false, 20},
};

// The code tells apart two records of one name; left empty, the import gives
// a new record the next free code.
constexpr ColumnInfo kCourses[] = {
    {"编号", "课程代码；留空则导入时自动编号，同名课程必须填写以区分", "01", false, V::None, false, 8},
    {"名称", "课程名称，课表中显示", "语文", true, V::None, false, 14},
    {"全称", "课程全称", "语文", false, V::None, false, 16},
    {"简称", "课程简称", "语", false, V::None, false, 8},
    {"专用教室", "是否需要专用教室（如微机、实验）：是或否", "否", false, V::YesNo, false, 10},
};

constexpr ColumnInfo kTeachers[] = {
    {"编号", "教师代码；留空则导入时自动编号，同名教师必须填写以区分", "001", false, V::None, false, 8},
    {"姓名", "教师姓名，课表中显示", "王伟", true, V::None, false, 12},
    {"全称", "教师全称", "王伟", false, V::None, false, 12},
    {"简称", "教师简称", "王", false, V::None, false, 8},
};

constexpr ColumnInfo kRooms[] = {
    {"编号", "教室代码；留空则导入时自动编号", "01", false, V::None, false, 8},
    {"名称", "公共教室名称", "微机室", true, V::None, false, 14},
    {"全称", "公共教室全称", "第一微机室", false, V::None, false, 16},
    {"简称", "公共教室简称", "微机", false, V::None, false, 8},
};

constexpr ColumnInfo kClasses[] = {
    {"编号", "班级代码：年级数字加班号，如 11、112；留空则由年级和班号得出", "11", false, V::None, false, 8},
    {"年级", "学前、一年级至九年级（初一为七年级）", "一年级", true, V::Grades, false, 10},
    {"班号", "年级中的第几班，1至20", "1", true, V::ClassNumbers, true, 6},
    {"名称", "班级名称；留空则由年级和班号组成", "一（1）班", false, V::None, false, 12},
    {"全称", "班级全称；留空则由年级和班号组成", "一年级（1）班", false, V::None, false, 16},
    {"简称", "班级简称；留空则由年级和班号组成", "一（1）", false, V::None, false, 10},
};

constexpr ColumnInfo kPlan[] = {
    {"班级", "班级名称", "一（1）班", true, V::None, false, 12},
    {"班级编号", "班级代码；同名班级必须填写以区分", "11", false, V::None, false, 8},
    {"课程", "课程名称", "语文", true, V::Courses, false, 12},
    {"课程编号", "课程代码；同名课程必须填写以区分", "01", false, V::None, false, 8},
    {"教师", "任课教师姓名", "王伟", true, V::Teachers, false, 12},
    {"教师编号", "教师代码；同名教师必须填写以区分", "001", false, V::None, false, 8},
    {"每周节数", "该课程每周的节数，1至35的整数", "5", true, V::None, true, 8},
};

constexpr ColumnInfo kRestrictions[] = {
    {"对象类型", "限制谁的时间：班级、课程、教师或教室", "教师", true, V::LimitKinds, false, 8},
    {"名称", "班级、课程、教师或教室的名称", "王伟", true, V::None, false, 12},
    {"编号", "对象的代码；同名时必须填写以区分", "001", false, V::None, false, 8},
    {"星期", "星期一至星期五", "星期一", true, V::Days, false, 8},
    {"节次", "第几节，1至7", "1", true, V::Lessons, true, 6},
    {"限制", "最佳位置、正常、尽量不排或不排；未列出的时间为正常", "不排", true, V::Marks, false, 10},
};

constexpr ColumnInfo kRules[] = {
    {"规则", "规则名称（见下拉列表）", "教师每天最多节数", true, V::RuleNames, false, 22},
    {"范围", "全校，或只对某位教师、班级、课程、班级中的课程", "全校", true, V::RuleScopes, false, 10},
    {"对象", "范围为教师、班级或课程时：其名称；班级课程时：班级名称", "", false, V::None, false, 12},
    {"对象编号", "对象的代码；同名时必须填写以区分", "", false, V::None, false, 8},
    {"课程", "范围为班级课程时：课程名称", "", false, V::Courses, false, 12},
    {"课程编号", "范围为班级课程时：课程代码", "", false, V::None, false, 8},
    {"值", "规则的值：整数，或是、否", "4", true, V::None, false, 8},
};

const std::array<SheetInfo, kSheetKindCount> kSheets = {{
    {SheetKind::Guide, "说明", "", kGuide},
    {SheetKind::Courses, "课程", "courses", kCourses},
    {SheetKind::Teachers, "教师", "teachers", kTeachers},
    {SheetKind::Rooms, "公共教室", "rooms", kRooms},
    {SheetKind::Classes, "班级", "classes", kClasses},
    {SheetKind::Plan, "教学计划", "plan", kPlan},
    {SheetKind::Restrictions, "上课时间限制", "restrictions", kRestrictions},
    {SheetKind::Rules, "排课规则", "rules", kRules},
}};

}  // namespace

const std::array<SheetInfo, kSheetKindCount>& ExchangeSheets() { return kSheets; }

const SheetInfo& SheetOf(SheetKind kind) { return kSheets[static_cast<size_t>(kind)]; }

std::optional<SheetKind> SheetKindFromKey(std::string_view key) {
  for (const SheetInfo& s : kSheets)
    if (!s.key.empty() && s.key == key) return s.kind;
  return std::nullopt;
}

std::optional<SheetKind> SheetKindFromName(std::string_view name) {
  for (const SheetInfo& s : kSheets)
    if (s.name == name) return s.kind;
  return std::nullopt;
}

std::optional<int> ColumnIndex(SheetKind kind, std::string_view header) {
  const std::span<const ColumnInfo> columns = SheetOf(kind).columns;
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i].header == header) return int(i);
  return std::nullopt;
}

std::vector<std::string> KnownValues(ValueList list) {
  std::vector<std::string> out;
  switch (list) {
    case V::Grades:
      for (int g = 0; g < kGradeCount; ++g) out.push_back(GradeEntryText(g));
      break;
    case V::ClassNumbers:
      for (int n = 1; n <= kClassNumberCount; ++n) out.push_back(std::to_string(n));
      break;
    case V::Marks:
      for (LimitMark m : kAllMarks) out.emplace_back(MarkText(m));
      break;
    case V::RuleNames:
      for (const RuleKeyInfo& r : AllRuleKeys()) out.emplace_back(r.name);
      break;
    case V::RuleScopes:
      out.assign(kRuleScopeNames.begin(), kRuleScopeNames.end());
      break;
    case V::YesNo:
      out = {std::string(kYes), std::string(kNo)};
      break;
    case V::LimitKinds:
      out.assign(kLimitKindNames.begin(), kLimitKindNames.end());
      break;
    case V::Days:
      out.assign(kDayNames.begin(), kDayNames.end());
      break;
    case V::Lessons:
      for (int l = 1; l <= kMaxLessonsPerDay; ++l) out.push_back(std::to_string(l));
      break;
    case V::None:
    case V::Courses:
    case V::Teachers:
      break;
  }
  return out;
}

}  // namespace orv
