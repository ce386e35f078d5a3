#include "gui/editors/limit_window.h"
#include "gui/gallery/gallery.h"

namespace orv::ui {

void AddLimitGallery(GalleryList& list) {
  for (LimitKind kind : {LimitKind::Class, LimitKind::Course, LimitKind::Teacher, LimitKind::ClassRoom})
    list.push_back({LimitDesign(kind).objectName,
                    [kind](UiContext& ctx) -> QWidget* { return new LimitWindow(ctx, kind); }});
}

}  // namespace orv::ui
