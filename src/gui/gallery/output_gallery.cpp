#include "gui/gallery/gallery.h"
#include "gui/output/export_window.h"
#include "gui/output/print_window.h"

namespace orv::ui {

void AddOutputGallery(GalleryList& list) {
  list.push_back({"frmPrint", [](UiContext& ctx) -> QWidget* { return new FrmPrint(ctx); }});
  list.push_back({"frmExport", [](UiContext& ctx) -> QWidget* { return new FrmExport(ctx); }});
}

}  // namespace orv::ui
