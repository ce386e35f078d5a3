// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/output/output_window.h"

#include <QGridLayout>

#include "gui/common/editor_parts.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

namespace {

// The frame, with its previous/next buttons wired.
SelectorFrame MakeSelectorFrame(QWidget* parent, const OutputSelectorNames& n) {
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
  ConnectStepButtons(f.prev, f.next, f.combo);
  return f;
}

// A failing read leaves the list empty, so the commands that need a
// selection do nothing. Each entry carries its code: that, not the text, is
// what a command prints, since two entries may read alike but for the code.
void Fill(QComboBox* combo, const Result<std::vector<TimetableChoice>>& choices) {
  combo->clear();
  if (choices)
    for (const TimetableChoice& c : *choices) combo->addItem(Q(c.label), Q(c.code));
  combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

}  // namespace

OutputWindow::OutputWindow(UiContext& ctx, const char* name, const QString& caption,
                           const OutputSelectorNames& classes, const OutputSelectorNames& teachers,
                           QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
  setObjectName(name);
  setWindowTitle(caption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFont(QFont("宋体", 10));
  classes_ = MakeSelectorFrame(this, classes);
  teachers_ = MakeSelectorFrame(this, teachers);
  Frame1 = classes_.frame;
  lblClass = classes_.label;
  CmbClass = classes_.combo;
  CmdPrevClass = classes_.prev;
  CmdNextClass = classes_.next;
  Frame2 = teachers_.frame;
  Label1 = teachers_.label;
  CmbTeacher = teachers_.combo;
  CmdPrevTeacher = teachers_.prev;
  CmdNextTeacher = teachers_.next;
}

void OutputWindow::Connect(QPushButton* total, QPushButton* ok) {
  connect(classes_.one, &QPushButton::clicked, this, [this] { Command(TimetableScope::Class); });
  connect(classes_.all, &QPushButton::clicked, this, [this] { Command(TimetableScope::AllClasses); });
  connect(teachers_.one, &QPushButton::clicked, this, [this] { Command(TimetableScope::Teacher); });
  connect(teachers_.all, &QPushButton::clicked, this, [this] { Command(TimetableScope::AllTeachers); });
  connect(total, &QPushButton::clicked, this, [this] { Command(TimetableScope::School); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  Fill(classes_.combo, ReadClassChoices(*ctx_.state.db));
  Fill(teachers_.combo, ReadTeacherChoices(*ctx_.state.db));
}

void OutputWindow::Command(TimetableScope scope) {
  OutputChoice choice;
  const QComboBox* combo = scope == TimetableScope::Class     ? classes_.combo
                           : scope == TimetableScope::Teacher ? teachers_.combo
                                                              : nullptr;
  if (combo != nullptr) {
    if (combo->currentIndex() < 0) return;
    choice = {combo->currentData().toString(), combo->currentText()};
  }
  Execute(scope, choice);
}

std::optional<std::vector<TimetableRow>> OutputWindow::ReadRows(TimetableScope scope, const QString& code,
                                                                const QString& failed,
                                                                std::optional<WaitCursor>& wait) {
  Result<std::vector<TimetableRow>> rows = ReadTimetableRows(*ctx_.state.db, {scope, S(code)});
  if (rows) return std::move(*rows);
  wait.reset();
  Say(MessageIcon::Critical, failed + Q(rows.message()));
  return std::nullopt;
}

void OutputWindow::Say(MessageIcon icon, const QString& text) {
  ctx_.prompter.Message(this, icon, windowTitle(), text);
}

}  // namespace orv::ui
