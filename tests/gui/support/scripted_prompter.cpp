// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>

namespace orv::test {

const RecordedMessage& ScriptedPrompter::lastMessage() const {
  static const RecordedMessage kNone{ui::MessageIcon::Information, {}, {}};
  return messages_.empty() ? kNone : messages_.back();
}

void ScriptedPrompter::Message(QWidget*, ui::MessageIcon icon, const QString& title, const QString& text) {
  const QCursor* cursor = QApplication::overrideCursor();
  messages_.push_back({icon, title, text, cursor != nullptr && cursor->shape() == Qt::WaitCursor});
}

bool ScriptedPrompter::AskYesNo(QWidget*, const QString& title, const QString& text) {
  questions_.push_back(text);
  if (yesNo_.empty()) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return false;
  }
  const bool yes = yesNo_.front();
  yesNo_.pop_front();
  return yes;
}

QString ScriptedPrompter::OpenFileName(QWidget*, const QString& caption, const QString& filter) {
  return NextFile(caption, filter);
}

QString ScriptedPrompter::SaveFileName(QWidget*, const QString& caption, const QString& filter,
                                       const QString& suggestedPath) {
  const QString chosen = NextFile(caption, filter);
  fileDialogs_.back().suggestedPath = suggestedPath;
  return chosen;
}

QString ScriptedPrompter::FolderName(QWidget*, const QString& caption, const QString&) {
  return NextFile(caption, "folder");
}

QString ScriptedPrompter::NextFile(const QString& caption, const QString& filter) {
  fileDialogs_.push_back({caption, filter, {}});
  if (files_.empty()) {
    ADD_FAILURE() << "unexpected file dialog: " << caption.toStdString();
    return {};
  }
  QString f = files_.front();
  files_.pop_front();
  return f;
}

QAction* ScriptedPrompter::PopupMenu(QMenu& menu, const QPoint&) {
  if (menuItems_.empty()) {
    ADD_FAILURE() << "unexpected popup menu";
    return nullptr;
  }
  const QString item = menuItems_.front();
  menuItems_.pop_front();
  if (item.isEmpty()) return nullptr;
  for (QAction* a : menu.actions())
    if (a->objectName() == item || a->text() == item) return a;
  ADD_FAILURE() << "popup menu has no item " << item.toStdString();
  return nullptr;
}

int ScriptedPrompter::RunModal(QDialog& dialog) {
  if (modals_.empty()) {
    ADD_FAILURE() << "unexpected modal window " << dialog.objectName().toStdString();
    return QDialog::Rejected;
  }
  auto handler = std::move(modals_.front());
  modals_.pop_front();
  dialog.show();
  handler(dialog);
  if (dialog.isVisible()) dialog.hide();
  return dialog.result();
}

}  // namespace orv::test
