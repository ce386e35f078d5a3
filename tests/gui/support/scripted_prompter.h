// SPDX-License-Identifier: GPL-3.0-or-later
// A Prompter for window tests: records every message and question, and gives
// the answers queued beforehand. A prompt with no queued answer fails the test.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "gui/common/prompter.h"

namespace orv::test {

struct RecordedMessage {
  ui::MessageIcon icon;
  QString title;
  QString text;
  bool waitCursor = false;  // the hourglass was up when the message came
};

struct RecordedFileDialog {
  QString caption;
  QString filter;
  QString suggestedPath;  // where a save dialog starts
};

class ScriptedPrompter : public ui::Prompter {
 public:
  // Queue the next answers.
  void QueueYesNo(bool yes) { yesNo_.push_back(yes); }
  void QueueFileName(const QString& path) { files_.push_back(path); }
  // The menu item to pick, by object name or text; "" dismisses the menu.
  void QueueMenuItem(const QString& item) { menuItems_.push_back(item); }
  // What to do with the next modal window: interact with it, then close it
  // (accept(), reject() or a button click). The result code is returned.
  void QueueModal(std::function<void(QDialog&)> handler) { modals_.push_back(std::move(handler)); }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  const std::vector<QString>& questions() const { return questions_; }
  // Those of the questions asked with Yes as the default answer.
  const std::vector<QString>& defaultYesQuestions() const { return defaultYesQuestions_; }
  const std::vector<RecordedFileDialog>& fileDialogs() const { return fileDialogs_; }
  const RecordedMessage& lastMessage() const;
  void ClearRecords() {
    messages_.clear();
    questions_.clear();
    defaultYesQuestions_.clear();
    fileDialogs_.clear();
  }
  // True when every queued answer has been used.
  bool AllAnswersUsed() const {
    return yesNo_.empty() && files_.empty() && menuItems_.empty() && modals_.empty();
  }

  void Message(QWidget* parent, ui::MessageIcon icon, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
  bool AskYesNoDefaultYes(QWidget* parent, const QString& title, const QString& text) override {
    defaultYesQuestions_.push_back(text);
    return AskYesNo(parent, title, text);
  }
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& suggestedPath) override;
  // Answered from the file names' queue, recorded with the filter "folder".
  QString FolderName(QWidget* parent, const QString& caption, const QString& startFolder) override;
  QAction* PopupMenu(QMenu& menu, const QPoint& globalPos) override;
  int RunModal(QDialog& dialog) override;

 private:
  QString NextFile(const QString& caption, const QString& filter);

  std::deque<bool> yesNo_;
  std::deque<QString> files_;
  std::deque<QString> menuItems_;
  std::deque<std::function<void(QDialog&)>> modals_;
  std::vector<RecordedMessage> messages_;
  std::vector<QString> questions_;
  std::vector<QString> defaultYesQuestions_;
  std::vector<RecordedFileDialog> fileDialogs_;
};

}  // namespace orv::test
