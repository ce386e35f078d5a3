#include "core/exchange/data_export.h"
#include "gui/gallery/gallery.h"
#include "gui/output/export_window.h"
#include "gui/output/import_window.h"
#include "gui/output/print_window.h"
#include "gui/output/publish_window.h"

namespace orv::ui {

void AddOutputGallery(GalleryList& list) {
  list.push_back({"frmPrint", [](UiContext& ctx) -> QWidget* { return new FrmPrint(ctx); }});
  list.push_back({"frmExport", [](UiContext& ctx) -> QWidget* { return new FrmExport(ctx); }});
  // Published once, so the window shows its last version and can open it.
  list.push_back({"frmPublish", [](UiContext& ctx) -> QWidget* {
                    auto* window = new FrmPublish(ctx);
                    window->txtBaseUrl->setText("https://www.example.edu.cn/kebiao/");
                    window->Publish();
                    return window;
                  }});
  // The demo school's own export as a school would bring it back: a teacher
  // joined, another's full name mended, two counts changed, so the preview
  // shows additions and changes above the unchanged records.
  list.push_back({"frmImport", [](UiContext& ctx) -> QWidget* {
                    auto* window = new FrmImport(ctx);
                    const std::filesystem::path file = ctx.state.programDir / "基础数据.xlsx";
                    Result<ExchangeRows> rows = ReadExchangeRows(*ctx.state.db);
                    if (rows) {
                      auto& teachers = rows->rows[size_t(SheetKind::Teachers)];
                      teachers.insert(teachers.begin(), {"", "赵敏", "赵敏", "赵"});
                      if (teachers.size() > 1) teachers[1][2] += "（教研组长）";
                      auto& plan = rows->rows[size_t(SheetKind::Plan)];
                      for (size_t i = 0; i < plan.size() && i < 2; ++i)
                        plan[i][6] = std::to_string(std::stoi(plan[i][6]) - 1);
                    }
                    if (rows && WriteExchangeWorkbook(file, *rows)) {
                      window->SetFile(Q(file.string()));
                      window->Preview();
                      window->chkShowKept->setChecked(false);
                    }
                    return window;
                  }});
}

}  // namespace orv::ui
