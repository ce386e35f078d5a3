// SPDX-License-Identifier: GPL-3.0-or-later
// Entry points the main window uses to open the basic-data editors modally.
#pragma once

#include "gui/common/ui_context.h"

class QWidget;

namespace orv::ui {

void ShowClassList(UiContext& ctx, QWidget* parent);      // frmClassInput
void ShowCourseList(UiContext& ctx, QWidget* parent);     // frmCourseInput
void ShowTeacherList(UiContext& ctx, QWidget* parent);    // frmTeacherInput
void ShowClassRoomList(UiContext& ctx, QWidget* parent);  // frmClassRoomInput
void ShowClassPlan(UiContext& ctx, QWidget* parent);      // frmClassPlanInput

}  // namespace orv::ui
