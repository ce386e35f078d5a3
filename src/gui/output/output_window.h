// SPDX-License-Identifier: GPL-3.0-or-later
// What the print and export windows share: a frame that picks one class or
// teacher (label, drop-down list, previous and next buttons) with the buttons
// for that one and for all of them, the guard of the selected-entry commands,
// and reading a command's rows under the hourglass.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <optional>
#include <vector>

#include "core/output/timetable_rows.h"
#include "gui/common/gui_support.h"
#include "gui/common/prompter.h"

namespace orv::ui {

struct UiContext;

// Object names and captions of one selector frame.
struct OutputSelectorNames {
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

// The one class or teacher a command is for (empty for the others): the
// code it reads by and the text the list shows for it.
struct OutputChoice {
  QString code;
  QString label;
};

class OutputWindow : public QDialog {
  Q_OBJECT
 public:
  // The controls both windows have under the same names.
  QGroupBox* Frame1;
  QLabel* lblClass;
  QComboBox* CmbClass;
  QPushButton* CmdPrevClass;
  QPushButton* CmdNextClass;
  QGroupBox* Frame2;
  QLabel* Label1;
  QComboBox* CmbTeacher;
  QPushButton* CmdPrevTeacher;
  QPushButton* CmdNextTeacher;

  // One command, as its button runs it: a selected-entry command with
  // nothing selected does nothing at all.
  void Command(TimetableScope scope);

 protected:
  OutputWindow(UiContext& ctx, const char* name, const QString& caption, const OutputSelectorNames& classes,
               const OutputSelectorNames& teachers, QWidget* parent);

  // Wires the selector buttons, `total` and `ok`, and fills the lists: classes
  // in table order, teachers in code order, the first selected; a name that
  // two records share shows with its code.
  void Connect(QPushButton* total, QPushButton* ok);

  virtual void Execute(TimetableScope scope, const OutputChoice& choice) = 0;

  // The selection's rows, read under the hourglass that `wait` holds. A
  // database failure is reported (`failed` and the reason, once the
  // hourglass is gone) and gives nothing.
  std::optional<std::vector<TimetableRow>> ReadRows(TimetableScope scope, const QString& code,
                                                    const QString& failed, std::optional<WaitCursor>& wait);

  // A message titled with the window's caption.
  void Say(MessageIcon icon, const QString& text);

  UiContext& ctx_;
  SelectorFrame classes_;
  SelectorFrame teachers_;
};

}  // namespace orv::ui
