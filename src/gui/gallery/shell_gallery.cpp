// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <filesystem>
#include <optional>

#include "core/model/school_model.h"
#include "core/rules/rule_index.h"
#include "gui/common/gui_support.h"
#include "gui/gallery/gallery.h"
#include "gui/scheduling/analysis_window.h"
#include "gui/scheduling/auto_build_window.h"
#include "gui/scheduling/complete_build_window.h"
#include "gui/scheduling/confirm_window.h"
#include "gui/shell/help_window.h"
#include "gui/shell/info_windows.h"
#include "gui/shell/lesson_of_day_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/shell_support.h"

namespace fs = std::filesystem;

namespace orv::ui {

void AddShellGallery(GalleryList& list) {
  // The start page as a newcomer first sees it: a program folder of its own
  // with an empty kb.mdb, kept until the gallery ends.
  list.push_back({"frmMain_empty", [](UiContext& ctx) -> QWidget* {
                    static std::optional<StartedProgram> empty;
                    static std::optional<UiContext> emptyCtx;
                    const fs::path dir = ctx.state.programDir / "empty";
                    std::error_code ec;
                    fs::create_directories(dir, ec);
                    if (!TimetableDb::Create(dir / kDefaultDatabaseName)) return nullptr;
                    Result<StartedProgram> started = StartUp(dir);
                    if (!started) return nullptr;
                    empty.emplace(std::move(started).value());
                    emptyCtx.emplace(UiContext{empty->state, ctx.prompter});
                    auto* w = new FrmMain(*emptyCtx);
                    w->setWindowTitle(Q(GetWindowTitle(empty->state.appTitle, empty->state.databasePath)));
                    return w;
                  }});
  list.push_back({"frmMain_demo", [](UiContext& ctx) -> QWidget* {
                    auto* w = new FrmMain(ctx);
                    w->setWindowTitle(Q(GetWindowTitle(ctx.state.appTitle, ctx.state.databasePath)));
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
  list.push_back({"frmCompleteBuild", [](UiContext& ctx) -> QWidget* {
                    auto* w = new FrmCompleteBuild(
                        ctx, [](const FrmCompleteBuild::Progress&, const std::atomic<bool>&) {
                          return Result<CompletionReport>(CompletionReport{});
                        });
                    // Every lesson placed, the optimiser some way into its time.
                    w->lblMissing->setText("尚未排入：0 节");
                    w->ShowOptimising();
                    w->ShowScore(4182);
                    w->ShowScore(1236);
                    w->prgOptimise->setValue(40);
                    for (int i = 0; i < 7; ++i) w->Tick();
                    return w;
                  }});
  list.push_back({"frmAnalysis", [](UiContext& ctx) -> QWidget* {
                    // The demo school has nothing to report. In memory only, its
                    // first teacher is made away from Monday to Thursday and its
                    // first class's Friday meeting falls in a "不排" cell, so the
                    // window shows what problems look like.
                    Result<SchoolModel> model = LoadIndexedSchool(*ctx.state.db, ctx.state.week);
                    std::vector<AnalysisFinding> findings;
                    if (model && !model->teachers.empty() && !model->classes.empty()) {
                      SchoolModel& m = *model;
                      m.teachers.front().marks.never |= ~DayBits(5);
                      m.classes.front().marks.never |= PeriodBit(PeriodOf(5, m.week.lessonsPerDay));
                      IndexRules(m);
                      findings = AnalyzeModel(m);
                    }
                    return new FrmAnalysis(ctx, std::move(findings));
                  }});
  // Open at a chapter with a picture, as F1 in the manual adjustment window opens it.
  list.push_back({"frmHelp", [](UiContext& ctx) -> QWidget* {
                    const auto manual = FindManual(ctx.state.programDir);
                    if (!manual) return nullptr;
                    auto* w = new FrmHelp(*manual);
                    w->ShowAnchor(ChapterOfWindow("frmManualSetLesson"));
                    // A long page is laid out a piece at a time while events run.
                    w->show();
                    QElapsedTimer laidOut;
                    laidOut.start();
                    while (laidOut.elapsed() < 400) QCoreApplication::processEvents();
                    return w;
                  }});
  list.push_back(
      {"frmSetLessonOfDay", [](UiContext& ctx) -> QWidget* { return new FrmSetLessonOfDay(ctx); }});
}

}  // namespace orv::ui
