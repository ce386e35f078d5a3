// Placeholder until the editors land; the menu items stay disabled meanwhile.
#include "gui/editors/editor_windows.h"

namespace orv::ui {

void ShowClassList(UiContext&, QWidget*) {}
void ShowCourseList(UiContext&, QWidget*) {}
void ShowTeacherList(UiContext&, QWidget*) {}
void ShowClassRoomList(UiContext&, QWidget*) {}
void ShowClassPlan(UiContext&, QWidget*) {}

}  // namespace orv::ui
