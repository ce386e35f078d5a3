#include "gui/gallery/gallery.h"
#include "gui/timetable/set_lesson_window.h"

namespace orv::ui {

void AddTimetableGallery(GalleryList& list) {
  list.push_back({"frmSetLesson", [](UiContext& ctx) -> QWidget* { return new FrmSetLesson(ctx); }});
}

}  // namespace orv::ui
