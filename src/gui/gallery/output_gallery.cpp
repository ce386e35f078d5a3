// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>

#include "core/editing/timetable_edit.h"
#include "core/exchange/data_export.h"
#include "core/publish/publications.h"
#include "gui/gallery/gallery.h"
#include "gui/output/changes_window.h"
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
  // The demo published, then two lessons of its first class swapped by hand:
  // the notice a school prints for the two teachers.
  list.push_back(
      {"frmChanges", [](UiContext& ctx) -> QWidget* {
         TimetableDb& db = *ctx.state.db;
         const SchoolWeek week = ctx.state.week;
         Result<PublishedSchool> school = ReadPublishedSchool(db, week, "");
         if (!school || school->lessons.empty() || !RecordPublication(db, *school, "2026-09-01 08:00"))
           return nullptr;
         const std::string cls = school->lessons.front().classCode;
         std::vector<PublishedLesson> own;
         for (const PublishedLesson& l : school->lessons)
           if (l.classCode == cls) own.push_back(l);
         std::optional<LessonEdit> swap;
         for (size_t i = 0; i < own.size() && !swap; ++i)
           for (size_t j = own.size(); j-- > i + 1 && !swap;)
             if (own[i].courseCode != own[j].courseCode)
               if (Result<LessonEdit> done =
                       SwapLessons(db, cls, own[i].day, own[i].lesson, own[j].day, own[j].lesson, week))
                 swap = done.value();
         if (!swap) return nullptr;
         auto* window = new FrmChanges(ctx);
         // Swapped back once the window holds its notice, so the
         // windows pictured after it show the demo as generated.
         (void)ApplyEdit(db, Inverse(*swap), "");
         return window;
       }});
}

}  // namespace orv::ui
