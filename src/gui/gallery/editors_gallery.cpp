#include "gui/editors/class_list_editor.h"
#include "gui/editors/class_plan_editor.h"
#include "gui/editors/code_list_editor.h"
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
}

}  // namespace orv::ui
