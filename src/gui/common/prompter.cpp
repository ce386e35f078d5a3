// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <cstdio>

namespace orv::ui {

QString FailureText(const QString& headline, const Outcome& outcome) {
  if (outcome.message().empty()) return headline;
  return headline + "\n" + QString::fromStdString(outcome.message());
}

void QtPrompter::Message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) {
  switch (icon) {
    case MessageIcon::Information:
      QMessageBox::information(parent, title, text);
      break;
    case MessageIcon::Warning:
      QMessageBox::warning(parent, title, text);
      break;
    case MessageIcon::Critical:
      QMessageBox::critical(parent, title, text);
      break;
  }
}

bool QtPrompter::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

bool QtPrompter::AskYesNoDefaultYes(QWidget* parent, const QString& title, const QString& text) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

QString QtPrompter::OpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString QtPrompter::SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                 const QString& suggestedPath) {
  QFileDialog dialog(parent, caption, suggestedPath, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without its extension gets the filter's, before the dialog
  // asks whether to replace an existing file of that name.
  static const QRegularExpression kExtension(R"(\*\.(\w+))");
  if (const QRegularExpressionMatch m = kExtension.match(filter); m.hasMatch())
    dialog.setDefaultSuffix(m.captured(1));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

QString QtPrompter::FolderName(QWidget* parent, const QString& caption, const QString& startFolder) {
  return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

QAction* QtPrompter::PopupMenu(QMenu& menu, const QPoint& globalPos) { return menu.exec(globalPos); }

int QtPrompter::RunModal(QDialog& dialog) { return dialog.exec(); }

void PrintingPrompter::Message(QWidget*, MessageIcon, const QString& title, const QString& text) {
  std::fprintf(stderr, "message [%s]: %s\n", qPrintable(title), qPrintable(text));
}

bool PrintingPrompter::AskYesNo(QWidget*, const QString&, const QString& text) {
  std::fprintf(stderr, "question: %s\n", qPrintable(text));
  return false;
}

}  // namespace orv::ui
