// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/database/week_marks.h"
#include "gui/editors/limit_window.h"
#include "gui/gallery/gallery.h"

namespace orv::ui {

namespace {

// The demo school restricts only courses; the other windows get a few marks on
// their first entry so that their screenshots show every colour.
void MarkFirstEntry(TimetableDb& db, LimitKind kind, int lessonsPerDay) {
  Result<std::vector<NamedCode>> names = LoadEntityNames(db, kind);
  if (!names || names->empty()) return;
  WeekMarks marks;
  for (int lessonNo : {1, 2}) marks.Set(1, lessonNo, LimitMark::Never);
  for (int lessonNo : {5, 6}) marks.Set(3, lessonNo, LimitMark::Avoid);
  for (int day : {2, 4}) marks.Set(day, 1, LimitMark::Best);
  (void)SaveWeekMarks(db, kind, names->front().code, marks, lessonsPerDay);
}

}  // namespace

void AddLimitGallery(GalleryList& list) {
  for (LimitKind kind : {LimitKind::Class, LimitKind::Course, LimitKind::Teacher, LimitKind::ClassRoom})
    list.push_back({LimitDesign(kind).objectName, [kind](UiContext& ctx) -> QWidget* {
                      if (kind != LimitKind::Course)
                        MarkFirstEntry(*ctx.state.db, kind, ctx.state.week.lessonsPerDay);
                      return new LimitWindow(ctx, kind);
                    }});
}

}  // namespace orv::ui
