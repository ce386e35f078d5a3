// What the print and export windows share: a frame that picks one class or
// teacher (label, drop-down list, previous and next buttons) with the buttons
// for that one and for all of them, and the outcome-to-message mapping pieces.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <vector>

#include "core/output/timetable_rows.h"

namespace orv::ui {

struct UiContext;

// Object names and captions of one selector frame.
struct SelectorNames {
  const char* frame;
  QString frameCaption;
  const char* label;
  QString labelCaption;
  const char* combo;
  const char* prev;
  QString prevCaption;
  const char* next;
  QString nextCaption;
  const char* one;
  QString oneCaption;
  const char* all;
  QString allCaption;
};

struct SelectorFrame {
  QGroupBox* frame = nullptr;
  QLabel* label = nullptr;
  QComboBox* combo = nullptr;
  QPushButton* prev = nullptr;
  QPushButton* next = nullptr;
  QPushButton* one = nullptr;
  QPushButton* all = nullptr;
};

// The frame, with its previous/next buttons wired: they move the selection
// by one and do nothing at the first or last entry.
SelectorFrame MakeSelectorFrame(QWidget* parent, const SelectorNames& names);

// Fills the list (class names in table order, teacher names in code order)
// and selects the first entry when there is one. A failing read leaves the
// list empty, so the commands that need a selection do nothing.
void FillSelector(QComboBox* combo, TimetableDb& db, bool teachers);

// A button of the command row: the program font and no default behaviour.
QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption);

// The name of the selected entry for the one-class and one-teacher scopes;
// "" for the others.
QString SelectedName(const SelectorFrame& classes, const SelectorFrame& teachers, TimetableScope scope);

}  // namespace orv::ui
