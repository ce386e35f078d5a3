// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the basic-data editors share: the sortable record list, the status
// bar with numbered panels, the four operation buttons, the red/white marking
// of input controls and key routing between boxes.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/database/code_lists.h"
#include "gui/common/gui_support.h"
#include "gui/common/prompter.h"

namespace orv::ui {

inline int TwipsToPixels(int twips) { return twips / 15; }

inline const QColor kInvalidColor{255, 0, 0};

// Red marks an input the user still has to fill; clearing the mark gives the
// input back the palette's own background.
void MarkInput(QWidget* input, bool invalid);

// Previous / next buttons of a drop-down list: they move its selection by one
// and do nothing at the first or last entry, so a click never wraps around.
void ConnectStepButtons(QPushButton* prev, QPushButton* next, QComboBox* combo);

// A named button that never becomes the default button: Enter belongs to the
// input boxes and lists.
QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption);

inline const QString kSelectFirst = QStringLiteral("请先选择一条记录。");

// A report-style list whose headers sort it as text: the header of the column
// that is the sort key reverses the order, another header makes its column
// the key in the order in force. Once sorted, rows added later take their
// sorted place. The Delete key asks for the selected record to be deleted.
class RecordList : public QTreeWidget {
  Q_OBJECT
 public:
  RecordList(const QString& objectName, const QStringList& headers, const std::vector<int>& widthsTwips,
             QWidget* parent);

  QTreeWidgetItem* AddRow(const QStringList& texts);
  // The row whose first column is exactly `text` (no prefix matching).
  QTreeWidgetItem* FindRow(const QString& text) const;
  QTreeWidgetItem* SelectedRow() const;
  void SelectRow(QTreeWidgetItem* item);
  void SortByColumn(int column);
  int sortKey() const { return sortKey_; }
  Qt::SortOrder sortOrder() const { return order_; }

 signals:
  void deletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int sortKey_ = -1;  // unsorted: rows stay in table order
  Qt::SortOrder order_ = Qt::AscendingOrder;
};

// A status bar whose numbered panels (from 1) are labels "staMsgPanel<n>".
class StatusPanels : public QStatusBar {
 public:
  StatusPanels(int panels, QWidget* parent);
  void SetPanel(int number, const QString& text);
  QString Panel(int number) const;

 private:
  std::vector<QLabel*> panels_;
};

// fraOp with cmdAppend, cmdModify, cmdDelete and cmdOK stacked.
struct OpButtons {
  QGroupBox* frame;
  QPushButton* append;
  QPushButton* modify;
  QPushButton* remove;
  QPushButton* ok;
};
OpButtons MakeOpButtons(QWidget* parent);

// The selected row, or nullptr after warning (titled `caption`) that modify
// and delete need one: with nothing selected they must write nothing.
QTreeWidgetItem* SelectedRowOrWarn(RecordList* list, Prompter& prompter, QWidget* editor,
                                   const QString& caption);

// The list editors' reports of a write the store refused, with its reason:
// "添加记录失败", "修改记录失败,代码为<code>的记录未被修改" and
// "删除记录失败, '<name>' 未被删除".
void ReportAddFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const Outcome& why);
void ReportModifyFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const QString& code,
                        const Outcome& why);
void ReportDeleteFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const QString& name,
                        const Outcome& why);

// The list editors' common arrangement: the input frame and the buttons side
// by side above the record list, the status bar below.
// Before a course, teacher or classroom name is stored that other records
// already carry: the user is asked, naming them with their codes, and may go
// ahead, since a large school really has two teachers called 张伟 (the
// printouts then tell them apart by code). True when the name may be stored;
// a failing lookup does not stand in the way of the save, which reports it.
bool ConfirmSharedName(Prompter& prompter, QWidget* editor, const QString& title, TimetableDb& db,
                       CodeTable table, const CodeRecord& trimmed);

void LayOutListEditor(QWidget* editor, QWidget* dataFrame, QWidget* buttons, RecordList* list,
                      StatusPanels* status);

// Runs an action for a key pressed in a watched widget and swallows the key,
// so Enter never reaches the dialog's default button.
class KeyRouter : public QObject {
 public:
  explicit KeyRouter(QObject* parent) : QObject(parent) {}
  void On(QWidget* widget, int key, std::function<void()> action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::map<std::pair<QObject*, int>, std::function<void()>> actions_;
};

}  // namespace orv::ui
