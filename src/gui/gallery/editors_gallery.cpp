// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/term_calendar.h"
#include "gui/editors/calendar_window.h"
#include "gui/editors/class_list_editor.h"
#include "gui/editors/class_plan_editor.h"
#include "gui/editors/code_list_editor.h"
#include "gui/editors/school_rules_window.h"
#include "gui/gallery/gallery.h"

namespace orv::ui {

void AddEditorGallery(GalleryList& list) {
  list.push_back({"frmCourseInput",
                  [](UiContext& ctx) -> QWidget* { return new CodeListEditor(ctx, CourseListDesign()); }});
  list.push_back({"frmTeacherInput",
                  [](UiContext& ctx) -> QWidget* { return new CodeListEditor(ctx, TeacherListDesign()); }});
  list.push_back({"frmClassRoomInput",
                  [](UiContext& ctx) -> QWidget* { return new CodeListEditor(ctx, ClassRoomListDesign()); }});
  list.push_back({"frmClassInput", [](UiContext& ctx) -> QWidget* { return new ClassListEditor(ctx); }});
  list.push_back({"frmClassPlanInput", [](UiContext& ctx) -> QWidget* { return new ClassPlanEditor(ctx); }});
  // The demo school states no rules of its own; a few show what the list holds.
  list.push_back({"frmSchoolRules", [](UiContext& ctx) -> QWidget* {
                    TimetableDb& db = *ctx.state.db;
                    (void)SetSchoolRule(db, {RuleKey::kMaxLessonsPerDay, RuleScope::kSchool, "", "", 4});
                    (void)SetSchoolRule(db, {RuleKey::kMaxInARow, RuleScope::kSchool, "", "", 3});
                    (void)SetSchoolRule(db, {RuleKey::kNoClassGaps, RuleScope::kSchool, "", "", 1});
                    const std::vector<CodeRecord> teachers = LoadCodeRecords(db, CodeTable::Teacher);
                    if (!teachers.empty())
                      (void)SetSchoolRule(
                          db, {RuleKey::kMaxGapsPerWeek, RuleScope::kTeacher, teachers.front().code, "", 3});
                    (void)SetSchoolRule(db, {RuleKey::kDoublesPerWeek, RuleScope::kCourse, "01", "", 1});
                    (void)SetSchoolRule(db, {RuleKey::kRooms, RuleScope::kCourse, "09", "", 2});
                    return new SchoolRulesWindow(ctx);
                  }});
  // The autumn term as a school enters it: the National Day week off, and
  // the two weekend days that make up for it.
  list.push_back({"frmCalendar", [](UiContext& ctx) -> QWidget* {
                    TimetableDb& db = *ctx.state.db;
                    const Result<TermCalendar> stored = LoadTermCalendar(db);
                    if (stored && !stored->start) {
                      TermCalendar c = DefaultTermCalendar({2026, 7, 1}, ctx.state.week.lessonsPerDay);
                      for (int day = 1; day <= 7; ++day) c.holidays.push_back({2026, 10, day});
                      c.holidays.push_back({2027, 1, 1});
                      c.makeUps = {{{2026, 9, 27}, 4}, {{2026, 10, 10}, 5}};
                      (void)SaveTermCalendar(db, c, ctx.state.week.lessonsPerDay);
                    }
                    return new CalendarWindow(ctx);
                  }});
}

}  // namespace orv::ui
