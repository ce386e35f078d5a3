// SPDX-License-Identifier: GPL-3.0-or-later
// A window-test bench for the basic-data editors: a fresh database behind an
// AppState, a scripted prompter, one open editor and the moves a user makes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "support/test_program.h"

namespace orv::test {

// Latin text arrives as key presses, Chinese as the input method's commit.
inline void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  for (QChar ch : text) {
    if (ch.unicode() < 128) {
      QTest::keyClicks(box, QString(ch));
    } else {
      QInputMethodEvent commit;
      commit.setCommitString(QString(ch));
      QApplication::sendEvent(box, &commit);
    }
  }
}

inline void TypeAndEnter(QLineEdit* box, const QString& text) {
  Type(box, text);
  QTest::keyClick(box, Qt::Key_Return);
}

inline void ClickRow(QTreeWidget* list, int row) {
  QTreeWidgetItem* item = list->topLevelItem(row);
  if (item == nullptr) throw std::runtime_error("no list row " + std::to_string(row));
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

inline void ClickHeader(QTreeWidget* list, int column) {
  QHeaderView* h = list->header();
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                    QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
}

// An empty text leaves the selector without a choice.
inline void Choose(QComboBox* combo, const QString& text) {
  const int i = text.isEmpty() ? -1 : combo->findText(text);
  if (i < 0 && !text.isEmpty()) throw std::runtime_error("no entry " + text.toStdString());
  combo->setCurrentIndex(i);
}

// Each row of the list, its columns joined by '|'.
inline QStringList Lines(QTreeWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->topLevelItem(i)->text(c);
    lines << texts.join('|');
  }
  return lines;
}

inline bool IsRed(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(255, 0, 0); }
inline bool IsWhite(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(255, 255, 255); }

class EditorTest : public ::testing::Test {
 protected:
  template <class Window, class... Args>
  Window& Open(Args&&... args) {
    auto* w = new Window(ctx, std::forward<Args>(args)...);
    window_.reset(w);
    w->show();
    w->activateWindow();
    (void)QTest::qWaitForWindowExposed(w);
    return *w;
  }
  QLineEdit* Box(const char* name) { return Child<QLineEdit>(*window_, name); }
  QComboBox* Combo(const char* name) { return Child<QComboBox>(*window_, name); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(*window_, name); }
  QTreeWidget* List(const char* name = "lstAllRecord") { return Child<QTreeWidget>(*window_, name); }
  QWidget* Focused() { return window_->focusWidget(); }
  QString Panel(int n) { return Child<QLabel>(*window_, QString("staMsgPanel%1").arg(n))->text(); }
  QString Said() { return prompter.lastMessage().text; }
  TimetableDb& db() { return *program.state().db; }
  void Exec(const std::string& sql) { db().Execute(sql); }
  long long Count(const std::string& sql) { return program.Count(sql); }

  TestProgram program;
  ScriptedPrompter& prompter = program.prompter();
  ui::UiContext& ctx = program.ctx();
  std::unique_ptr<QDialog> window_;
};

}  // namespace orv::test
