#include "core/exchange/data_export.h"
#include "gui/gallery/gallery.h"
#include "gui/output/export_window.h"
#include "gui/output/import_window.h"
#include "gui/output/print_window.h"

namespace orv::ui {

void AddOutputGallery(GalleryList& list) {
  list.push_back({"frmPrint", [](UiContext& ctx) -> QWidget* { return new FrmPrint(ctx); }});
  list.push_back({"frmExport", [](UiContext& ctx) -> QWidget* { return new FrmExport(ctx); }});
  // The demo school's own export merged back, unchanged records shown, so the
  // picture has a filled table whatever the import finds to change.
  list.push_back({"frmImport", [](UiContext& ctx) -> QWidget* {
                    auto* window = new FrmImport(ctx);
                    const std::filesystem::path file = ctx.state.programDir / "基础数据.xlsx";
                    if (ExportBasicData(*ctx.state.db, file)) {
                      window->SetFile(Q(file.string()));
                      window->chkShowKept->setChecked(true);
                      window->Preview();
                    }
                    return window;
                  }});
}

}  // namespace orv::ui
