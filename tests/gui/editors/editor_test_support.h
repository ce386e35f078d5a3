// A window-test bench for the basic-data editors: a fresh database behind an
// AppState, a scripted prompter, and the moves a user makes in a window.
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
#include <QTest>
#include <QTreeWidget>
#include <stdexcept>
#include <string>

#include "core/settings/startup.h"
#include "gui/shell/ui_context.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace orv::test {

class EditorBench {
 public:
  EditorBench() {
    const std::string path = (dir_ / "kb.mdb").string();
    std::string why;
    if (!TimetableDb::Create(path, &why) || !OpenTimetableDb(state_, path))
      throw std::runtime_error("database: " + why);
    state_.programDir = dir_.Path();
    state_.appTitle = "育才学校排课软件系统";
  }
  TimetableDb& db() { return *state_.db; }
  ui::UiContext& ctx() { return ctx_; }
  ScriptedPrompter& prompter() { return prompter_; }
  AppState& state() { return state_; }

  long long Count(const std::string& sql) { return db().FirstInt(sql).value_or(-1); }
  void Exec(const std::string& sql) { db().Execute(sql); }

 private:
  TempDir dir_;
  AppState state_;
  ScriptedPrompter prompter_;
  ui::UiContext ctx_{state_, prompter_};
};

template <class T>
T* Child(QWidget& window, const char* name) {
  T* w = window.findChild<T*>(name);
  if (w == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return w;
}

inline void Show(QWidget& window) {
  window.show();
  window.activateWindow();
  (void)QTest::qWaitForWindowExposed(&window);
}

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

inline void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

inline void ClickRow(QTreeWidget* list, int row) {
  QTreeWidgetItem* item = list->topLevelItem(row);
  if (item == nullptr) throw std::runtime_error("no list row " + std::to_string(row));
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

inline int RowWithText(QTreeWidget* list, const QString& text) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(0) == text) return i;
  return -1;
}

inline void ClickHeader(QTreeWidget* list, int column) {
  QHeaderView* h = list->header();
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                    QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
}

inline void Choose(QComboBox* combo, const QString& text) {
  const int i = combo->findText(text);
  if (i < 0) throw std::runtime_error("no entry " + text.toStdString());
  combo->setCurrentIndex(i);
}

inline QStringList Column(QTreeWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

inline QStringList Row(QTreeWidget* list, int row) {
  QStringList texts;
  for (int c = 0; c < list->columnCount(); ++c) texts << list->topLevelItem(row)->text(c);
  return texts;
}

inline bool IsRed(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(255, 0, 0); }
inline bool IsWhite(QWidget* w) { return w->palette().color(QPalette::Base) == QColor(255, 255, 255); }

inline QString Panel(QWidget& window, int n) {
  return Child<QLabel>(window, QString("staMsgPanel%1").arg(n).toUtf8().constData())->text();
}

}  // namespace orv::test
