// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editors/editor_windows.h"

#include "gui/editors/class_list_editor.h"
#include "gui/editors/class_plan_editor.h"
#include "gui/editors/code_list_editor.h"

namespace orv::ui {

void ShowClassList(UiContext& ctx, QWidget* parent) {
  ClassListEditor window(ctx, parent);
  ctx.prompter.RunModal(window);
}

void ShowCourseList(UiContext& ctx, QWidget* parent) {
  CodeListEditor window(ctx, CourseListDesign(), parent);
  ctx.prompter.RunModal(window);
}

void ShowTeacherList(UiContext& ctx, QWidget* parent) {
  CodeListEditor window(ctx, TeacherListDesign(), parent);
  ctx.prompter.RunModal(window);
}

void ShowClassRoomList(UiContext& ctx, QWidget* parent) {
  CodeListEditor window(ctx, ClassRoomListDesign(), parent);
  ctx.prompter.RunModal(window);
}

void ShowClassPlan(UiContext& ctx, QWidget* parent) {
  ClassPlanEditor window(ctx, parent);
  ctx.prompter.RunModal(window);
}

}  // namespace orv::ui
