#include "gui/shell/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <cstdio>

namespace orv::ui {

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

QString QtPrompter::OpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString QtPrompter::SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                                 const QString& suggestedPath) {
  return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
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
