// SPDX-License-Identifier: GPL-3.0-or-later
// frmHelp: the user manual inside the program, with its pictures, a contents
// list and back/forward, so help works where the desktop has no browser to
// hand it to. F1 opens it at the chapter of the window it was pressed in.
#pragma once

#include <QDialog>
#include <QString>
#include <QTextBrowser>
#include <filesystem>
#include <utility>
#include <vector>

#include "gui/common/ui_context.h"

class QPushButton;
class QTreeWidget;

namespace orv::ui {

// The manual's chapter of each window, by the window's object name. Windows
// missing here open the manual at its beginning.
const std::vector<std::pair<QString, QString>>& WindowChapters();
// The anchor for a window, "" for none.
QString ChapterOfWindow(const QString& windowName);

// One heading of the manual: h2 (level 2) or h3 (level 3).
struct ManualHeading {
  int level = 0;
  QString anchor;
  QString title;
};

// The manual's headings, and its text with an id given to every heading that
// lacked one, so each section can be reached from the contents list and
// kept in the history.
struct ManualText {
  QString html;
  std::vector<ManualHeading> headings;
};
ManualText ReadManualText(const QString& html);

// Serves the manual page from ManualText; pictures load from beside the file.
class ManualBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  ManualBrowser(QUrl manualUrl, QString html, QWidget* parent);
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QUrl manualUrl_;
  QString html_;
};

class FrmHelp : public QDialog {
  Q_OBJECT
 public:
  FrmHelp(const std::filesystem::path& manual, QWidget* parent = nullptr);

  // The chapter or section by its anchor; "" is the manual's beginning.
  void ShowAnchor(const QString& anchor);
  QString CurrentAnchor() const;

  QTreeWidget* lstContents;
  ManualBrowser* txtManual;
  QPushButton* cmdBack;
  QPushButton* cmdForward;
  QPushButton* cmdHome;

 private:
  void SelectContentsItem(const QString& anchor);

  QUrl manualUrl_;
};

// Opens the help window over `from`'s window at the anchor, reusing the one
// already open there; says so through the prompter when no manual is found.
void OpenHelp(UiContext& ctx, QWidget* from, const QString& anchor);

}  // namespace orv::ui
