// SPDX-License-Identifier: GPL-3.0-or-later
// Everything that blocks on the user goes through one Prompter: message boxes,
// Yes/No questions, file dialogs, popup menus and modal windows. The desktop
// program shows real dialogs; the tests script the answers.
#pragma once

#include <QString>

#include "core/outcome.h"

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

namespace orv::ui {

enum class MessageIcon { Information, Warning, Critical };

// A failure as a message box says it: the window's fixed first line, then on
// the next line the reason the core gave (nothing when it gave none).
QString FailureText(const QString& headline, const Outcome& outcome);

class Prompter {
 public:
  virtual ~Prompter() = default;

  virtual void Message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) = 0;
  // True for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
  // The same where Yes is the recommended answer, so that Enter gives it;
  // AskYesNo keeps No for questions whose Yes costs something.
  virtual bool AskYesNoDefaultYes(QWidget* parent, const QString& title, const QString& text) = 0;
  // The chosen path, or an empty text when the user cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                               const QString& suggestedPath = {}) = 0;
  // The chosen folder, or an empty text when the user cancelled.
  virtual QString FolderName(QWidget* parent, const QString& caption, const QString& startFolder) = 0;
  // The action picked from the popup menu, or nullptr when it was dismissed.
  virtual QAction* PopupMenu(QMenu& menu, const QPoint& globalPos) = 0;
  // Runs a window modally; returns its QDialog result code.
  virtual int RunModal(QDialog& dialog) = 0;
};

// The real dialogs.
class QtPrompter : public Prompter {
 public:
  void Message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
  bool AskYesNoDefaultYes(QWidget* parent, const QString& title, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& suggestedPath) override;
  QString FolderName(QWidget* parent, const QString& caption, const QString& startFolder) override;
  QAction* PopupMenu(QMenu& menu, const QPoint& globalPos) override;
  int RunModal(QDialog& dialog) override;
};

// For programs that show windows to no one (the screenshot gallery, the
// benchmarks): nothing may block, so every prompt is printed to stderr and
// answered with "no" or "cancel", and no modal window is run.
class PrintingPrompter : public Prompter {
 public:
  void Message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
  bool AskYesNoDefaultYes(QWidget* parent, const QString& title, const QString& text) override {
    return AskYesNo(parent, title, text);
  }
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString FolderName(QWidget*, const QString&, const QString&) override { return {}; }
  QAction* PopupMenu(QMenu&, const QPoint&) override { return nullptr; }
  int RunModal(QDialog&) override { return 0; }
};

}  // namespace orv::ui
