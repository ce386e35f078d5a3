// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's standard dialogs speak Chinese like the rest of the program once its
// translations are installed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "gui/common/gui_support.h"

namespace orv::ui {
namespace {

TEST(QtTranslations, TheStandardButtonsReadInChinese) {
  const std::unique_ptr<QTranslator> translator = LoadQtTranslations();
  ASSERT_TRUE(translator) << "qt6-translations-l10n is not installed";
  QCoreApplication::installTranslator(translator.get());
  QMessageBox box(QMessageBox::Question, "", "是否立即自动补排？", QMessageBox::Yes | QMessageBox::No);
  const QString yes = box.button(QMessageBox::Yes)->text(), no = box.button(QMessageBox::No)->text();
  QCoreApplication::removeTranslator(translator.get());
  EXPECT_TRUE(yes.startsWith("是")) << yes.toStdString();
  EXPECT_TRUE(no.startsWith("否")) << no.toStdString();
}

}  // namespace
}  // namespace orv::ui
