// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/week_window_parts.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

#include "gui/common/editor_parts.h"

namespace orv::ui {

const SelectorNames& ClassSelectorNames() {
  static const SelectorNames kNames{"lblClass",
                                    QStringLiteral("班级"),
                                    "CmbClass",
                                    "CmdPrevClass",
                                    QStringLiteral("上一班级(&P)"),
                                    "CmdNextClass",
                                    QStringLiteral("下一班级(&N)")};
  return kNames;
}

EntitySelector MakeEntitySelector(QWidget* parent, const SelectorNames& names) {
  EntitySelector s;
  s.frame = new QGroupBox(parent);
  s.frame->setObjectName("Frame1");
  s.label = new QLabel(names.labelText, s.frame);
  s.label->setObjectName(names.label);
  s.combo = new QComboBox(s.frame);
  s.combo->setObjectName(names.combo);
  s.combo->setMinimumWidth(TwipsToPixels(2400));
  s.label->setBuddy(s.combo);
  s.prev = MakeCommandButton(s.frame, names.prev, names.prevText);
  s.next = MakeCommandButton(s.frame, names.next, names.nextText);
  auto* line = new QHBoxLayout(s.frame);
  line->addWidget(s.label);
  line->addWidget(s.combo, 1);
  line->addWidget(s.prev);
  line->addWidget(s.next);

  ConnectStepButtons(s.prev, s.next, s.combo);
  return s;
}

void FillEntitySelector(QComboBox* combo, const std::vector<NamedCode>& entities) {
  const QSignalBlocker block(combo);
  combo->clear();
  for (const NamedCode& e : entities) combo->addItem(Q(e.name), Q(e.code));
  combo->setCurrentIndex(-1);
}

std::string SelectedCode(const QComboBox* combo) {
  return combo->currentIndex() < 0 ? std::string() : S(combo->currentData().toString());
}

void ShowPanel(StatusPanels* status, int panel, const QString& text, const QString& tip) {
  status->SetPanel(panel, text);
  if (auto* label = status->findChild<QLabel*>(QString("staMsgPanel%1").arg(panel))) label->setToolTip(tip);
}

void ShowOutcome(StatusPanels* status, int panel, const QString& text, const Outcome& outcome) {
  ShowPanel(status, panel, text, Q(outcome.message()));
}

}  // namespace orv::ui
