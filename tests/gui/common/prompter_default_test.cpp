// SPDX-License-Identifier: GPL-3.0-or-later
// The real question box gives the recommended answer to Enter: Yes where it
// was asked for, No everywhere else.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "gui/common/prompter.h"

namespace orv::ui {
namespace {

// The default button of the box the question shows; the box is answered No.
QMessageBox::StandardButton DefaultOf(bool yesByDefault) {
  QMessageBox::StandardButton found = QMessageBox::NoButton;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    found = box->standardButton(box->defaultButton());
    box->button(QMessageBox::No)->click();
  });
  QtPrompter prompter;
  const bool yes = yesByDefault ? prompter.AskYesNoDefaultYes(nullptr, "自动排课", "是否立即自动补排？")
                                : prompter.AskYesNo(nullptr, "删除", "确定删除吗？");
  EXPECT_FALSE(yes);
  return found;
}

TEST(QtPrompter, EnterGivesTheRecommendedAnswer) {
  EXPECT_EQ(DefaultOf(true), QMessageBox::Yes);
  EXPECT_EQ(DefaultOf(false), QMessageBox::No);
}

}  // namespace
}  // namespace orv::ui
