#include "core/exchange/data_export.h"
#include "gui/gallery/gallery.h"
#include "gui/output/export_window.h"
#include "gui/output/import_window.h"
#include "gui/output/print_window.h"

namespace orv::ui {

void AddOutputGallery(GalleryList& list) {
  list.push_back({"frmPrint", [](UiContext& ctx) -> QWidget* { return new FrmPrint(ctx); }});
  list.push_back({"frmExport", [](UiContext& ctx) -> QWidget* { return new FrmExport(ctx); }});
  // The demo school's own export merged back: what it would change, or the
  // unchanged records when it changes nothing, so the table is never empty.
  list.push_back({"frmImport", [](UiContext& ctx) -> QWidget* {
                    auto* window = new FrmImport(ctx);
                    const std::filesystem::path file = ctx.state.programDir / "基础数据.xlsx";
                    if (ExportBasicData(*ctx.state.db, file)) {
                      window->SetFile(Q(file.string()));
                      window->Preview();
                      bool shown = false;
                      for (int row = 0; row < window->grdPreview->rowCount(); ++row)
                        shown = shown || !window->grdPreview->isRowHidden(row);
                      window->chkShowKept->setChecked(!shown);
                    }
                    return window;
                  }});
}

}  // namespace orv::ui
