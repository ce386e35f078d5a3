// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the week windows share: Frame1 with the drop-down list of names and
// the previous / next buttons that step through it, and the status panel that
// reports the outcome of the last read or write.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <string>
#include <vector>

#include "core/database/week_marks.h"
#include "core/outcome.h"

namespace orv::ui {

class StatusPanels;

struct SelectorNames {
  const char* label;  // lblClass ...
  QString labelText;
  const char* combo;  // CmbClass ...
  const char* prev;
  QString prevText;
  const char* next;
  QString nextText;
};

// lblClass, CmbClass, CmdPrevClass and CmdNextClass: the class selector of
// the timetable windows.
const SelectorNames& ClassSelectorNames();

struct EntitySelector {
  QGroupBox* frame = nullptr;  // Frame1
  QLabel* label = nullptr;
  QComboBox* combo = nullptr;
  QPushButton* prev = nullptr;
  QPushButton* next = nullptr;
};

// The buttons step the list by one and do nothing at its ends; a change of
// the list's entry, by them or by the user, emits currentIndexChanged.
EntitySelector MakeEntitySelector(QWidget* parent, const SelectorNames& names);

// The names, each carrying its code, so that two entries with the same name
// still reach their own records. Selects nothing and emits nothing.
void FillEntitySelector(QComboBox* combo, const std::vector<NamedCode>& entities);
// The code of the selected entry; "" when none is selected.
std::string SelectedCode(const QComboBox* combo);

// `text` in the panel, `tip` as its tooltip.
void ShowPanel(StatusPanels* status, int panel, const QString& text, const QString& tip);
// `text` in the panel; a failure's reason as the panel's tooltip.
void ShowOutcome(StatusPanels* status, int panel, const QString& text, const Outcome& outcome);

}  // namespace orv::ui
