// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTreeWidget>

#include "gui/gallery/gallery.h"
#include "gui/timetable/manual_set_lesson_window.h"
#include "gui/timetable/set_lesson_window.h"

namespace orv::ui {

namespace {

// The adjustment window after the user picked the first missing lesson
// that still has lessons to place: its class with cyan periods.
QWidget* ManualPlacing(UiContext& ctx) {
  auto* window = new FrmManualSetLesson(ctx);
  auto* list = window->findChild<QTreeWidget*>("lstCourse");
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list->topLevelItem(i);
    if (item->text(2).toInt() < 1) continue;
    list->setCurrentItem(item);
    emit list->itemClicked(item, 0);
    break;
  }
  return window;
}

// The adjustment window after a left click on the first class's first
// lesson: red, with the yellow lessons it may swap with and its teacher's week.
QWidget* ManualSelected(UiContext& ctx) {
  auto* window = new FrmManualSetLesson(ctx);
  auto* grid = window->findChild<WeekGrid*>("MSFlexGrid1");
  for (int lessonNo = 1; lessonNo <= grid->lessons(); ++lessonNo)
    for (int day = 1; day <= 5; ++day) {
      const GridLesson at{day, lessonNo};
      if (grid->Text(at).isEmpty()) continue;
      grid->SetCurrent(at);
      emit grid->lessonReleased(Qt::LeftButton, at, {});
      return window;
    }
  return window;
}

}  // namespace

void AddTimetableGallery(GalleryList& list) {
  list.push_back({"frmSetLesson", [](UiContext& ctx) -> QWidget* { return new FrmSetLesson(ctx); }});
  list.push_back(
      {"frmManualSetLesson", [](UiContext& ctx) -> QWidget* { return new FrmManualSetLesson(ctx); }});
  list.push_back({"frmManualSetLesson_placing", ManualPlacing});
  list.push_back({"frmManualSetLesson_selected", ManualSelected});
}

}  // namespace orv::ui
