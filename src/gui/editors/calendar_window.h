// SPDX-License-Identifier: GPL-3.0-or-later
// frmCalendar (作息时间与校历): the term's first day and weeks, the bell
// times of each lesson, the holidays and the make-up days. Everything is
// edited in the window and stored together by 保存, after the calendar check,
// so a half-entered calendar never reaches the published timetable. A school
// without a calendar finds a usable one filled in, to adjust and save.
#pragma once

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>
#include <vector>

#include "core/calendar/term_calendar.h"
#include "gui/common/ui_context.h"

namespace orv::ui {

class StatusPanels;

class CalendarWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CalendarWindow(UiContext& ctx, QWidget* parent = nullptr);

  // The calendar as the controls show it.
  TermCalendar Current() const;
  // True when stored; otherwise the reason was told and nothing written.
  bool Save();
  bool AddHoliday();
  bool RemoveHoliday();
  bool AddMakeUp();
  bool RemoveMakeUp();

  // Closing with unsaved changes asks first.
  void reject() override;

 private:
  void Fill(const TermCalendar& calendar);
  void ShowHolidays();
  void ShowMakeUps();
  void Refresh();
  // Takes the changed calendar when the change brings no new problem;
  // otherwise tells the problem and keeps the old one.
  bool Accept(const TermCalendar& changed);
  void Tell(const QString& text);

  UiContext& ctx_;
  int lessonsPerDay_ = 6;
  TermCalendar saved_;  // as stored, or the default shown for a school with none
  std::vector<CivilDate> holidays_;
  std::vector<MakeUpDay> makeUps_;
  QDateEdit* termStart_ = nullptr;
  QSpinBox* weeks_ = nullptr;
  QTableWidget* bells_ = nullptr;
  std::vector<QTimeEdit*> starts_, ends_;
  QListWidget* holidayList_ = nullptr;
  QDateEdit* holidayFrom_ = nullptr;
  QDateEdit* holidayTo_ = nullptr;
  QListWidget* makeUpList_ = nullptr;
  QDateEdit* makeUpDate_ = nullptr;
  QComboBox* makeUpWeekday_ = nullptr;
  QLabel* summary_ = nullptr;
  StatusPanels* status_ = nullptr;
};

void ShowCalendar(UiContext& ctx, QWidget* parent);

}  // namespace orv::ui
