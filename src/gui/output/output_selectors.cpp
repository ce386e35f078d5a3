#include "gui/output/output_selectors.h"

#include <QGridLayout>

#include "gui/editors/editor_parts.h"

namespace orv::ui {

QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

SelectorFrame MakeSelectorFrame(QWidget* parent, const SelectorNames& n) {
  SelectorFrame f;
  f.frame = new QGroupBox(n.frameCaption, parent);
  f.frame->setObjectName(n.frame);
  f.label = new QLabel(n.labelCaption, f.frame);
  f.label->setObjectName(n.label);
  f.combo = new QComboBox(f.frame);
  f.combo->setObjectName(n.combo);
  f.combo->setMinimumWidth(TwipsToPixels(2400));
  f.label->setBuddy(f.combo);
  f.prev = MakeCommandButton(f.frame, n.prev, n.prevCaption);
  f.next = MakeCommandButton(f.frame, n.next, n.nextCaption);
  f.one = MakeCommandButton(f.frame, n.one, n.oneCaption);
  f.all = MakeCommandButton(f.frame, n.all, n.allCaption);

  auto* grid = new QGridLayout(f.frame);
  grid->addWidget(f.label, 0, 0);
  grid->addWidget(f.combo, 0, 1, 1, 2);
  grid->addWidget(f.prev, 1, 1);
  grid->addWidget(f.next, 1, 2);
  grid->addWidget(f.one, 0, 3);
  grid->addWidget(f.all, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  grid->setHorizontalSpacing(10);

  QComboBox* combo = f.combo;
  QObject::connect(f.prev, &QPushButton::clicked, combo, [combo] {
    if (combo->currentIndex() > 0) combo->setCurrentIndex(combo->currentIndex() - 1);
  });
  QObject::connect(f.next, &QPushButton::clicked, combo, [combo] {
    if (combo->currentIndex() + 1 < combo->count()) combo->setCurrentIndex(combo->currentIndex() + 1);
  });
  return f;
}

void FillSelector(QComboBox* combo, TimetableDb& db, bool teachers) {
  combo->clear();
  const Result<std::vector<std::string>> names = teachers ? ReadTeacherNames(db) : ReadClassNames(db);
  if (!names) return;
  for (const std::string& name : *names) combo->addItem(Q(name));
  combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

QString SelectedName(const SelectorFrame& classes, const SelectorFrame& teachers, TimetableScope scope) {
  if (scope == TimetableScope::Class) return classes.combo->currentText();
  if (scope == TimetableScope::Teacher) return teachers.combo->currentText();
  return {};
}

}  // namespace orv::ui
