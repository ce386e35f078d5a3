// SPDX-License-Identifier: GPL-3.0-or-later
// orvandel-gallery OUT_DIR: renders every window, filled from a demo school
// built in a temporary program directory, to OUT_DIR/<window name>.png.
#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "core/demo/demo_school.h"
#include "core/scheduling/build_timetable.h"
#include "core/scheduling/random.h"
#include "core/session/startup.h"
#include "gui/common/gui_support.h"
#include "gui/common/prompter.h"
#include "gui/gallery/gallery.h"

namespace {

int Fail(const std::string& text) {
  std::fprintf(stderr, "orvandel-gallery: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orv::ui::ApplyProgramFont();
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvandel-gallery OUT_DIR\n");
    return 2;
  }
  const QString outDir = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(outDir)) return Fail("cannot create " + outDir.toStdString());

  QTemporaryDir temp;
  if (!temp.isValid()) return Fail("no temporary directory");
  const std::filesystem::path programDir = temp.path().toStdString();
  const orv::DemoOptions options;
  {
    const std::filesystem::path db = programDir / orv::kDefaultDatabaseName;
    if (orv::Outcome created = orv::TimetableDb::Create(db); !created)
      return Fail("create: " + created.message());
    auto conn = orv::TimetableDb::Open(db);
    if (!conn) return Fail("open: " + conn.message());
    if (orv::Outcome filled = orv::FillDemoSchool(**conn, options); !filled)
      return Fail("demo school: " + filled.message());
    const orv::Settings settings(programDir);
    orv::Outcome written = settings.SetSchoolName(options.schoolName);
    if (written) written = settings.SetLessonsPerDay(options.lessonsPerDay);
    if (!written) return Fail(written.message());
  }
  orv::Result<orv::StartedProgram> started = orv::StartUp(programDir);
  if (!started) return Fail(started.message());
  orv::AppState& state = started->state;
  const orv::Result<orv::BuildResult> built =
      orv::BuildTimetable(*state.db, state.week.lessonsPerDay, orv::ProgramRandom());
  if (!built) return Fail(built.message());
  std::fprintf(stderr, "demo timetable: %d%% complete\n", built->rate);

  orv::ui::PrintingPrompter prompter;
  orv::ui::UiContext ctx{state, prompter};
  orv::ui::GalleryList list;
  orv::ui::AddShellGallery(list);
  orv::ui::AddEditorGallery(list);
  orv::ui::AddLimitGallery(list);
  orv::ui::AddTimetableGallery(list);
  orv::ui::AddOutputGallery(list);
  orv::ui::AddQualityGallery(list);

  int failures = 0;
  for (const orv::ui::GalleryEntry& entry : list) {
    std::unique_ptr<QWidget> window(entry.make(ctx));
    if (!window) {
      ++failures;
      std::fprintf(stderr, "%s: not created\n", qPrintable(entry.name));
      continue;
    }
    // Shown, but no events are processed: a window that starts work when it
    // comes up (the progress window) is rendered before it begins.
    window->show();
    if (window->layout()) window->layout()->activate();
    const QString file = QDir(outDir).filePath(entry.name + ".png");
    if (!window->grab().save(file)) {
      ++failures;
      std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(entry.name), qPrintable(file));
      continue;
    }
    std::printf("%s\n", qPrintable(file));
  }
  return failures == 0 ? 0 : 1;
}
