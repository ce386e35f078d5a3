// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/editor_parts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "core/database/record_names.h"

namespace orv::ui {

void ConnectStepButtons(QPushButton* prev, QPushButton* next, QComboBox* combo) {
  QObject::connect(prev, &QPushButton::clicked, combo, [combo] {
    if (combo->currentIndex() > 0) combo->setCurrentIndex(combo->currentIndex() - 1);
  });
  QObject::connect(next, &QPushButton::clicked, combo, [combo] {
    if (combo->currentIndex() + 1 < combo->count()) combo->setCurrentIndex(combo->currentIndex() + 1);
  });
}

QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

void MarkInput(QWidget* input, bool invalid) {
  if (!invalid) {
    // Back to the desktop's own colours, light or dark, rather than white.
    input->setPalette(QPalette());
    input->setAutoFillBackground(false);
    return;
  }
  QPalette p = input->palette();
  // Line edits paint Base; styles paint a closed drop-down list with Button.
  p.setColor(QPalette::Base, kInvalidColor);
  p.setColor(QPalette::Button, kInvalidColor);
  input->setPalette(p);
  input->setAutoFillBackground(true);
}

RecordList::RecordList(const QString& objectName, const QStringList& headers,
                       const std::vector<int>& widthsTwips, QWidget* parent)
    : QTreeWidget(parent) {
  setObjectName(objectName);
  setColumnCount(static_cast<int>(headers.size()));
  setHeaderLabels(headers);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int i = 0; i < static_cast<int>(widthsTwips.size()); ++i)
    setColumnWidth(i, TwipsToPixels(widthsTwips[i]));
  header()->setSectionsClickable(true);
  header()->setStretchLastSection(false);
  connect(header(), &QHeaderView::sectionClicked, this, &RecordList::SortByColumn);
}

QTreeWidgetItem* RecordList::AddRow(const QStringList& texts) {
  auto* item = new QTreeWidgetItem(texts);
  addTopLevelItem(item);
  if (sortKey_ >= 0) sortItems(sortKey_, order_);
  return item;
}

QTreeWidgetItem* RecordList::FindRow(const QString& text) const {
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->text(0) == text) return topLevelItem(i);
  return nullptr;
}

QTreeWidgetItem* RecordList::SelectedRow() const {
  const QList<QTreeWidgetItem*> items = selectedItems();
  return items.isEmpty() ? nullptr : items.front();
}

void RecordList::SelectRow(QTreeWidgetItem* item) {
  clearSelection();
  if (item == nullptr) return;
  setCurrentItem(item);
  item->setSelected(true);
  scrollToItem(item);
}

void RecordList::SortByColumn(int column) {
  if (column == sortKey_)
    order_ = order_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  else
    sortKey_ = column;
  header()->setSortIndicatorShown(true);
  header()->setSortIndicator(sortKey_, order_);
  sortItems(sortKey_, order_);
}

void RecordList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    emit deletePressed();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

StatusPanels::StatusPanels(int panels, QWidget* parent) : QStatusBar(parent) {
  setObjectName("staMsg");
  setSizeGripEnabled(false);
  for (int i = 1; i <= panels; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("staMsgPanel%1").arg(i));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    // Wide enough for a class name or "99 门" without clipping.
    label->setMinimumWidth(i == 2 ? 100 : 64);
    // The first panel carries the messages and takes the spare width.
    addPermanentWidget(label, i == 1 ? 1 : 0);
    panels_.push_back(label);
  }
}

// The whole text in the tooltip too, for a panel too narrow to show it.
void StatusPanels::SetPanel(int number, const QString& text) {
  panels_.at(number - 1)->setText(text);
  panels_.at(number - 1)->setToolTip(text);
}
QString StatusPanels::Panel(int number) const { return panels_.at(number - 1)->text(); }

QTreeWidgetItem* SelectedRowOrWarn(RecordList* list, Prompter& prompter, QWidget* editor,
                                   const QString& caption) {
  QTreeWidgetItem* selected = list->SelectedRow();
  if (selected == nullptr) prompter.Message(editor, MessageIcon::Warning, caption, kSelectFirst);
  return selected;
}

void ReportAddFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const Outcome& why) {
  status->SetPanel(1, QStringLiteral("添加记录失败"));
  prompter.Message(editor, MessageIcon::Information, QStringLiteral("添加失败"),
                   FailureText(QStringLiteral("添加记录失败"), why));
}

void ReportModifyFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const QString& code,
                        const Outcome& why) {
  status->SetPanel(1, QStringLiteral("修改记录失败"));
  prompter.Message(editor, MessageIcon::Information, QStringLiteral("更修改失败"),
                   FailureText(QStringLiteral("修改记录失败,代码为%1的记录未被修改").arg(code), why));
}

void ReportDeleteFailed(StatusPanels* status, Prompter& prompter, QWidget* editor, const QString& name,
                        const Outcome& why) {
  status->SetPanel(1, QStringLiteral("删除记录失败"));
  prompter.Message(editor, MessageIcon::Information, QStringLiteral("删除失败"),
                   FailureText(QStringLiteral("删除记录失败, '%1' 未被删除").arg(name), why));
}

void LayOutListEditor(QWidget* editor, QWidget* dataFrame, QWidget* buttons, RecordList* list,
                      StatusPanels* status) {
  auto* top = new QHBoxLayout;
  top->addWidget(dataFrame, 1);
  top->addWidget(buttons);
  auto* layout = new QVBoxLayout(editor);
  layout->addLayout(top);
  layout->addWidget(list, 1);
  layout->addWidget(status);
  editor->resize(TwipsToPixels(8400), TwipsToPixels(7200));
}

OpButtons MakeOpButtons(QWidget* parent) {
  OpButtons b{};
  b.frame = new QGroupBox(parent);
  b.frame->setObjectName("fraOp");
  auto* layout = new QVBoxLayout(b.frame);
  auto make = [&](const char* name, const QString& text) {
    QPushButton* button = MakeCommandButton(b.frame, name, text);
    layout->addWidget(button);
    return button;
  };
  b.append = make("cmdAppend", QStringLiteral("添加(&A)"));
  b.modify = make("cmdModify", QStringLiteral("修改(&M)"));
  b.remove = make("cmdDelete", QStringLiteral("删除(&D)"));
  b.ok = make("cmdOK", QStringLiteral("退出(&Q)"));
  layout->addStretch();
  return b;
}

void KeyRouter::On(QWidget* widget, int key, std::function<void()> action) {
  if (actions_.empty() ||
      std::none_of(actions_.begin(), actions_.end(), [&](const auto& a) { return a.first.first == widget; }))
    widget->installEventFilter(this);
  actions_[{widget, key}] = std::move(action);
  if (key == Qt::Key_Return) actions_[{widget, Qt::Key_Enter}] = actions_[{widget, key}];
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto it = actions_.find({watched, key->key()});
    if (it != actions_.end()) {
      // Copied: the action may rebuild the routes.
      const std::function<void()> action = it->second;
      action();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

bool ConfirmSharedName(Prompter& prompter, QWidget* editor, const QString& title, TimetableDb& db,
                       CodeTable table, const CodeRecord& trimmed) {
  const Result<std::vector<NamedRecord>> others = OtherRecordsNamed(db, table, trimmed.name, trimmed.code);
  if (!others || others->empty()) return true;
  const QString noun = Q(std::string(RecordNoun(table)));
  return prompter.AskYesNo(
      editor, title,
      QStringLiteral("已有同名的%1：%2。\n保存后，打印和导出时在名称后加代码区分。\n"
                     "确定要保存 %3 吗？(Y/N)？")
          .arg(noun, Q(RecordLabels(*others)), Q(RecordLabel(trimmed.name, trimmed.code))));
}

}  // namespace orv::ui
