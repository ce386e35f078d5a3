#include <QLineEdit>

#include "gui/gallery/gallery.h"
#include "gui/scheduling/auto_build_window.h"
#include "gui/scheduling/confirm_window.h"
#include "gui/shell/info_windows.h"
#include "gui/shell/lesson_of_day_window.h"
#include "gui/shell/main_window.h"

namespace orv::ui {

void AddShellGallery(GalleryList& list) {
  list.push_back({"frmMain", [](UiContext& ctx) -> QWidget* {
                    auto* w = new FrmMain(ctx);
                    w->setWindowTitle(
                        QString::fromStdString(GetWindowTitle(ctx.state.appTitle, ctx.state.databasePath)));
                    return w;
                  }});
  list.push_back({"frmAbout", [](UiContext&) -> QWidget* { return new FrmAbout; }});
  list.push_back({"frmSimpleManual", [](UiContext&) -> QWidget* { return new FrmSimpleManual; }});
  list.push_back({"frmConfirm", [](UiContext&) -> QWidget* {
                    auto* w = new FrmConfirm;
                    w->SetWarning(ClearTimetableWarning("自动生成课表将会清除您以前排好的课表！"));
                    w->Text1->setText("OK");
                    return w;
                  }});
  list.push_back({"frmAutoBuild", [](UiContext& ctx) -> QWidget* {
                    auto* w = new FrmAutoBuild(ctx, [](const BuildProgress&) { return BuildResult{}; });
                    for (int i = 0; i < 9; ++i) w->Tick();
                    return w;
                  }});
  list.push_back(
      {"frmSetLessonOfDay", [](UiContext& ctx) -> QWidget* { return new FrmSetLessonOfDay(ctx); }});
}

}  // namespace orv::ui
